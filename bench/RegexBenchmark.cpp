// Regular-expression search: the engine with its per-thread pattern cache against
// std::regex compiling the pattern each time (what a plain implementation would do), and
// against the engine with every search missing the cache. On large texts, the engine with its
// budget against PCRE2 alone on the same pattern: what bounding the search costs.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "COtxBool.h"
#include "COtxException.h"
#include "COtxString.h"
#include "RatioReporter.h"

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
  for (int i = 0; i < 64; ++i) {
    patterns.push_back(COtxString(kPattern + "|x{" + std::to_string(i) + "}y"));
  }
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        text.String().MatchToRegularExpression(patterns[next++ % patterns.size()]).Bool());
  }
}

// PCRE2 alone: the engine's compile options, JIT, no callout, no limits, one call per search.
class BarePcre2 {
 public:
  explicit BarePcre2(const std::string& pattern) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                           PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF |
                               PCRE2_DOLLAR_ENDONLY | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP |
                               PCRE2_NEVER_BACKSLASH_C,
                           &error, &offset, nullptr);
    if (m_code == nullptr || pcre2_jit_compile(m_code, PCRE2_JIT_COMPLETE) != 0) std::abort();
    m_data = pcre2_match_data_create(1, nullptr);
  }
  BarePcre2(const BarePcre2&) = delete;
  BarePcre2& operator=(const BarePcre2&) = delete;
  ~BarePcre2() {
    pcre2_match_data_free(m_data);
    pcre2_code_free(m_code);
  }

  // Returns whether the pattern matches somewhere in text.
  bool Search(const std::string& text) const {
    return pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, m_data,
                       nullptr) >= 0;
  }

 private:
  pcre2_code* m_code = nullptr;
  pcre2_match_data* m_data = nullptr;
};

// A match found only after 1 MiB of `a`, all of which start a possible match.
const std::string& RunOfA() {
  static const std::string text = std::string(1 << 20, 'a') + "ab";
  return text;
}

// 16 MiB of prose whose only match is at its end.
const std::string& Prose() {
  static const std::string text = [] {
    std::string prose;
    while (prose.size() < (16u << 20))
      prose += "the quick brown fox jumps over the lazy dog, then ";
    return prose + "haystackneedle";
  }();
  return text;
}

void Pcre2Alone(benchmark::State& state, const char* pattern, const std::string& (*text)()) {
  const BarePcre2 search(pattern);
  for (auto _ : state) benchmark::DoNotOptimize(search.Search(text()));
}

void Engine(benchmark::State& state, const char* pattern, const std::string& (*text)()) {
  const CKesmar subject = COtxString(text());
  const CKesmar expression = COtxString(pattern);
  for (auto _ : state) {
    try {
      benchmark::DoNotOptimize(subject.String().MatchToRegularExpression(expression).Bool());
    } catch (const COtxException& e) {
      state.SkipWithError(e.what());
      break;
    }
  }
}

// Typical patterns over 64 KiB of log text whose only match is at its end, against
// std::regex_search with the pattern compiled once.
const std::string& LogText() {
  static const std::string text = [] {
    std::string log;
    while (log.size() < (64u << 10)) log += "ECU response positive, session default, ok. ";
    return log + "DTC P0301 at 1234 rpm";
  }();
  return text;
}

void StdRegexOnLog(benchmark::State& state, const char* pattern) {
  const std::regex compiled(pattern);
  for (auto _ : state) benchmark::DoNotOptimize(std::regex_search(LogText(), compiled));
}

void EngineOnLog(benchmark::State& state, const char* pattern) {
  const CKesmar subject = COtxString(LogText());
  const CKesmar expression = COtxString(std::string(pattern));
  for (auto _ : state) {
    benchmark::DoNotOptimize(subject.String().MatchToRegularExpression(expression).Bool());
  }
}

struct Typical {
  const char* name;
  const char* pattern;
};
const Typical kTypical[] = {
    {"literal", "P0301"},
    {"digits", "\\d+ rpm"},
    {"alternation", "(DTC|fault|error) P"},
    {"anchored", "^DTC P\\d+"},  // no match: the log does not start with one
};

const bool kTypicalRegistered = [] {
  for (const Typical& typical : kTypical) {
    const std::string group = std::string("regex typical ") + typical.name;
    benchmark::RegisterBenchmark((group + ":baseline std::regex_search, compiled once").c_str(),
                                 StdRegexOnLog, typical.pattern);
    benchmark::RegisterBenchmark((group + ":engine").c_str(), EngineOnLog, typical.pattern);
    // Figure: how many times faster the engine is.
    kesmar::bench::AddBudget(group + " " + typical.pattern + ": engine >= 10x faster",
                             group + ":baseline std::regex_search, compiled once",
                             group + ":engine", 10.0, false);
  }
  return true;
}();

BENCHMARK(StdRegexCompileAndSearch)->Name("regex:baseline std::regex, compiled per search");
BENCHMARK(CachedPattern)->Name("regex:engine, cached pattern");
BENCHMARK(EveryPatternNew)->Name("regex:engine, compiled per search");

BENCHMARK_CAPTURE(Pcre2Alone, a, "ab", RunOfA)->Name("regex ab after 1 MiB of a:baseline PCRE2");
BENCHMARK_CAPTURE(Engine, a, "ab", RunOfA)->Name("regex ab after 1 MiB of a:engine");
BENCHMARK_CAPTURE(Pcre2Alone, letter, "[a-z]needle", Prose)
    ->Name("regex [a-z]needle in 16 MiB:baseline PCRE2");
BENCHMARK_CAPTURE(Engine, letter, "[a-z]needle", Prose)->Name("regex [a-z]needle in 16 MiB:engine");
BENCHMARK_CAPTURE(Pcre2Alone, word, "\\w+needle", Prose)
    ->Name("regex \\w+needle in 16 MiB:baseline PCRE2");
BENCHMARK_CAPTURE(Engine, word, "\\w+needle", Prose)->Name("regex \\w+needle in 16 MiB:engine");

}  // namespace
