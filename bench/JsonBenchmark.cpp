// Writing JSON: a list nested 1,000 levels deep against a flat list of the same 1,000
// integers. Rendering into one buffer keeps the nested case linear in its text; a text per
// level copied into its parent would make it quadratic (hundreds of times the flat case).
#include <benchmark/benchmark.h>

#include <vector>

#include "COtxInt.h"
#include "COtxList.h"
#include "COtxString.h"

namespace {

constexpr int kCount = 1000;

CKesmar Flat() {
  std::vector<CKesmar> elements;
  for (int i = 0; i < kCount; ++i) elements.push_back(COtxInt(i));
  return COtxList(elements);
}

CKesmar Nested() {
  CKesmar inner = COtxList();
  for (int i = 0; i < kCount; ++i) inner = COtxList(std::vector<CKesmar>{COtxInt(i), inner});
  return inner;
}

void Write(benchmark::State& state, const CKesmar& value, bool objectForm) {
  value.SetOTXJSON(objectForm);
  for (auto _ : state) benchmark::DoNotOptimize(value.ToJSON());
}

void FlatPlain(benchmark::State& state) { Write(state, Flat(), false); }
void NestedPlain(benchmark::State& state) { Write(state, Nested(), false); }
void FlatObject(benchmark::State& state) { Write(state, Flat(), true); }
void NestedObject(benchmark::State& state) { Write(state, Nested(), true); }

BENCHMARK(FlatPlain)->Name("json plain:baseline flat list of 1000 integers");
BENCHMARK(NestedPlain)->Name("json plain:list nested 1000 deep");
BENCHMARK(FlatObject)->Name("json object:baseline flat list of 1000 integers");
BENCHMARK(NestedObject)->Name("json object:list nested 1000 deep");

}  // namespace
