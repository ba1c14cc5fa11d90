// Short character-set conversions: the utility layer's per-thread descriptor cache against
// opening and closing an iconv descriptor for every call.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "PelmUtils.h"

namespace {

const std::string kLatin1 = "Motorsteuerger\xe4t Fehler \xfc" "ber Grenze";

void IconvOpenPerCall(benchmark::State& state) {
  for (auto _ : state) {
    iconv_t cd = iconv_open("UTF-8", "ISO-8859-1");
    char in[64];
    char out[128];
    kLatin1.copy(in, sizeof in);
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = kLatin1.size();
    size_t outLeft = sizeof out;
    benchmark::DoNotOptimize(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft));
    iconv_close(cd);
  }
}

void CachedToUtf8(benchmark::State& state) {
  const auto* data = reinterpret_cast<const unsigned char*>(kLatin1.data());
  for (auto _ : state) {
    std::string out;
    benchmark::DoNotOptimize(
        PelmUtil::toUTF8("ISO-8859-1", data, static_cast<int>(kLatin1.size()), out));
  }
}

BENCHMARK(IconvOpenPerCall)->Name("charset:baseline iconv_open per conversion");
BENCHMARK(CachedToUtf8)->Name("charset:toUTF8, cached descriptor");

}  // namespace
