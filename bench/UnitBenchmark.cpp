// Quantities: km + m and km < m against a plain double addition of the same numbers, measured
// in the same run (budget: under 300 ns each, i.e. two allocations and a few table lookups,
// no string work). Loading the default unit specification against loading an empty one.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "COtxQuantity.h"
#include "COtxUnit.h"
#include "OtxUnitSpec.h"

namespace {

// data/units.xml of the source tree this file belongs to.
std::string DefaultSpecification() {
  const std::string source = __FILE__;
  std::ifstream file(source.substr(0, source.rfind("bench/")) + "data/units.xml");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void Load(const std::string& text) {
  std::istringstream stream(text);
  OTX::Initialise(stream);
}

void DoubleAdd(benchmark::State& state) {
  double km = 1.0, m = 500.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(km);
    benchmark::DoNotOptimize(m);
    benchmark::DoNotOptimize(km * 1000.0 + m);
  }
}

template <class Operation>
void OnQuantities(benchmark::State& state, Operation operation) {
  Load(DefaultSpecification());
  const CKesmar km = COtxQuantity(1.0, COtxUnit("km"), 3);
  const CKesmar m = COtxQuantity(500.0, COtxUnit("m"), 0);
  for (auto _ : state) benchmark::DoNotOptimize(operation(km, m));
}

void QuantityAdd(benchmark::State& state) {
  OnQuantities(state, [](const CKesmar& a, const CKesmar& b) { return a + b; });
}
void QuantityLess(benchmark::State& state) {
  OnQuantities(state, [](const CKesmar& a, const CKesmar& b) { return a < b; });
}

void LoadSpecification(benchmark::State& state, const std::string& text) {
  for (auto _ : state) Load(text);
}
void LoadEmpty(benchmark::State& state) { LoadSpecification(state, "<unitSpec/>"); }
void LoadDefault(benchmark::State& state) { LoadSpecification(state, DefaultSpecification()); }

BENCHMARK(DoubleAdd)->Name("quantity:baseline double km * 1000 + m");
BENCHMARK(QuantityAdd)->Name("quantity:km + m");
BENCHMARK(QuantityLess)->Name("quantity:km < m");
BENCHMARK(LoadEmpty)->Name("unit spec:baseline load <unitSpec/>");
BENCHMARK(LoadDefault)->Name("unit spec:load data/units.xml");

}  // namespace
