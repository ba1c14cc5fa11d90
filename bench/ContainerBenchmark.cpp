// The recursive container operations on a flat list of 100,000 integers and on a tree of
// about 20,000 small nested lists, each as a ratio to copying the flat list's 100,000
// handles. The nesting guard is entered once per container, so the flat list should not
// notice it at all and the tree only by a few per cent; release covers the iterative
// teardown of nested containers.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "COtxInt.h"
#include "COtxList.h"
#include "OtxGeneric.h"

namespace {

constexpr int kFlatCount = 100000;
constexpr int kFanOut = 4;
constexpr int kTreeDepth = 7;  // 4^7 = 16,384 leaves, 21,845 lists in all

std::vector<CKesmar> FlatElements() {
  std::vector<CKesmar> elements;
  elements.reserve(kFlatCount);
  for (int i = 0; i < kFlatCount; ++i) elements.push_back(COtxInt(i));
  return elements;
}

CKesmar Flat() { return COtxList(FlatElements()); }

// Every list: two integers and kFanOut child lists; the leaves hold the integers only.
CKesmar Tree(int depth = kTreeDepth) {
  std::vector<CKesmar> elements{COtxInt(depth), COtxInt(-depth)};
  if (depth > 0) {
    for (int i = 0; i < kFanOut; ++i) elements.push_back(Tree(depth - 1));
  }
  return COtxList(elements);
}

void Baseline(benchmark::State& state) {
  const std::vector<CKesmar> elements = FlatElements();
  for (auto _ : state) {
    std::vector<CKesmar> copy = elements;
    benchmark::DoNotOptimize(copy.data());
  }
}

template <CKesmar (*Make)()>
void WriteJson(benchmark::State& state) {
  const CKesmar value = Make();
  for (auto _ : state) {
    std::string text;
    value.WriteJSON(text);
    benchmark::DoNotOptimize(text.data());
  }
}

template <CKesmar (*Make)()>
void ToString(benchmark::State& state) {
  const CKesmar value = Make();
  for (auto _ : state) benchmark::DoNotOptimize(value.ToString());
}

template <CKesmar (*Make)()>
void Equal(benchmark::State& state) {
  const CKesmar a = Make();
  const CKesmar b = Make();
  for (auto _ : state) benchmark::DoNotOptimize(a == b);
}

template <CKesmar (*Make)()>
void Less(benchmark::State& state) {
  const CKesmar a = Make();
  const CKesmar b = Make();
  for (auto _ : state) benchmark::DoNotOptimize(a < b);
}

template <CKesmar (*Make)()>
void DeepCopy(benchmark::State& state) {
  const CKesmar value = Make();
  for (auto _ : state) benchmark::DoNotOptimize(OTX::DeepCopy(value));
}

// The release of the last handle alone; building the value is not timed.
template <CKesmar (*Make)()>
void Release(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    CKesmar value = Make();
    state.ResumeTiming();
    value = CKesmar();
  }
}

CKesmar MakeTree() { return Tree(); }

BENCHMARK(Baseline)->Name("containers:baseline copy 100k handles");
BENCHMARK(WriteJson<Flat>)->Name("containers:flat 100k WriteJSON");
BENCHMARK(ToString<Flat>)->Name("containers:flat 100k ToString");
BENCHMARK(Equal<Flat>)->Name("containers:flat 100k ==");
BENCHMARK(Less<Flat>)->Name("containers:flat 100k <");
BENCHMARK(DeepCopy<Flat>)->Name("containers:flat 100k DeepCopy");
BENCHMARK(Release<Flat>)->Name("containers:flat 100k release");
BENCHMARK(WriteJson<MakeTree>)->Name("containers:tree 22k lists WriteJSON");
BENCHMARK(ToString<MakeTree>)->Name("containers:tree 22k lists ToString");
BENCHMARK(Equal<MakeTree>)->Name("containers:tree 22k lists ==");
BENCHMARK(Less<MakeTree>)->Name("containers:tree 22k lists <");
BENCHMARK(DeepCopy<MakeTree>)->Name("containers:tree 22k lists DeepCopy");
BENCHMARK(Release<MakeTree>)->Name("containers:tree 22k lists release");

}  // namespace
