// Code-point operations on 1 MiB of mostly-ASCII UTF-8 (prose with a German, a Russian and
// a Japanese word now and then) against the plain loops and std::string_view::find that
// work on its bytes, in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "COtxInt.h"
#include "COtxString.h"
#include "RatioReporter.h"

namespace {

using kesmar::bench::AddBudget;

const std::string& Text() {
  static const std::string text = [] {
    const char* const words[] = {"the", "control", "unit", "answered", "Grüße", "after",
                                 "25", "ms", "Привет", "with", "response", "診断", "ok,"};
    std::string prose;
    for (std::uint64_t i = 0; prose.size() < (1u << 20); ++i) {
      prose += words[(i * 7 + i / 13) % 13];
      prose += ' ';
    }
    return prose;
  }();
  return text;
}

void ReportBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}

// Code points are the bytes that do not continue a sequence.
void PlainCount(benchmark::State& state) {
  const std::string_view text = Text();
  for (auto _ : state) {
    std::size_t count = 0;
    for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    benchmark::DoNotOptimize(count);
  }
  ReportBytes(state);
}

void LengthOfString(benchmark::State& state) {
  const CKesmar text = COtxString(Text());
  for (auto _ : state) benchmark::DoNotOptimize(text.String().LengthOfString());
  ReportBytes(state);
}

// A needle that is nowhere in the text: both searches read all of it.
const std::string kMissing = "response 7F";

void StringViewFind(benchmark::State& state) {
  const std::string_view text = Text();
  for (auto _ : state) benchmark::DoNotOptimize(text.find(kMissing));
  ReportBytes(state);
}

void IndexOf(benchmark::State& state) {
  const CKesmar text = COtxString(Text());
  const CKesmar wanted = COtxString(kMissing);
  for (auto _ : state) benchmark::DoNotOptimize(text.String().IndexOf(wanted));
  ReportBytes(state);
}

BENCHMARK(PlainCount)->Name("string length:baseline plain loop over 1 MiB of UTF-8");
BENCHMARK(LengthOfString)->Name("string length:LengthOfString of 1 MiB");
BENCHMARK(StringViewFind)->Name("string index:baseline string_view::find, missing needle");
BENCHMARK(IndexOf)->Name("string index:IndexOf, missing needle");

const bool kBudgets[] = {
    AddBudget("LengthOfString >= 1.0 GB/s (figure in GB/s)",
              "string length:LengthOfString of 1 MiB", "", 1.0, false, "bytes_per_second", 1e9),
    AddBudget("IndexOf <= 3.0x std::string_view::find", "string index:IndexOf, missing needle",
              "string index:baseline string_view::find, missing needle", 3.0),
};

}  // namespace
