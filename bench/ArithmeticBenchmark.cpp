// Integer a + b through handles against what it cannot avoid: one shared allocation of the
// sum (a bare std::make_shared<long long>), in the same run.
#include <benchmark/benchmark.h>

#include <memory>

#include "COtxInt.h"
#include "RatioReporter.h"

namespace {

void MakeSharedSum(benchmark::State& state) {
  long long a = 40, b = 2;
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    benchmark::DoNotOptimize(std::make_shared<long long>(a + b));
  }
}

void HandleSum(benchmark::State& state) {
  const CKesmar a = COtxInt(40);
  const CKesmar b = COtxInt(2);
  for (auto _ : state) benchmark::DoNotOptimize(a + b);
}

BENCHMARK(MakeSharedSum)->Name("int add:baseline std::make_shared<long long>(a + b)");
BENCHMARK(HandleSum)->Name("int add:a + b through handles");

const bool kBudget = kesmar::bench::AddBudget(
    "integer a + b <= 1.5x std::make_shared<long long>(a + b)", "int add:a + b through handles",
    "int add:baseline std::make_shared<long long>(a + b)", 1.5);

}  // namespace
