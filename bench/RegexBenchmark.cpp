// Regular-expression search: the engine with its per-thread pattern cache against
// std::regex compiling the pattern each time (what a plain implementation would do), and
// against the engine with every search missing the cache.
#include <benchmark/benchmark.h>

#include <regex>
#include <string>
#include <vector>

#include "COtxBool.h"
#include "COtxString.h"

namespace {

const std::string kText = "ECU response 7F 22 31 received after 25 ms from address 0x7E8, ok";
const std::string kPattern = "[0-9A-F]{2} 22 [0-9A-F]{2}";

void StdRegexCompileAndSearch(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::regex_search(kText, std::regex(kPattern)));
  }
}

void CachedPattern(benchmark::State& state) {
  const CKesmar text = COtxString(kText);
  const CKesmar pattern = COtxString(kPattern);
  for (auto _ : state) {
    benchmark::DoNotOptimize(text.String().MatchToRegularExpression(pattern).Bool());
  }
}

void EveryPatternNew(benchmark::State& state) {
  // More distinct patterns than the cache holds, taken in turn: every search compiles.
  const CKesmar text = COtxString(kText);
  std::vector<CKesmar> patterns;
  for (int i = 0; i < 64; ++i) patterns.push_back(COtxString(kPattern + "|x{" + std::to_string(i) + "}y"));
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        text.String().MatchToRegularExpression(patterns[next++ % patterns.size()]).Bool());
  }
}

BENCHMARK(StdRegexCompileAndSearch)->Name("regex:baseline std::regex, compiled per search");
BENCHMARK(CachedPattern)->Name("regex:engine, cached pattern");
BENCHMARK(EveryPatternNew)->Name("regex:engine, compiled per search");

}  // namespace
