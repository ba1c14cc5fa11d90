// Reading and writing the generated document (JsonDocument.h, ~2 MB, 20,000 object forms)
// against the JSON libraries a caller would otherwise use, in the same run: RapidJSON's DOM
// (the baseline: a pool allocator and in-place strings) and nlohmann::json. Also the memory
// each parsed tree holds, in bytes per JSON value, counted by the replaced operator new of
// this program (and RapidJSON's own pool).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#ifdef KESMAR_MIMALLOC
#include <dlfcn.h>
#include <mimalloc.h>
#endif

#include "JsonDocument.h"
#include "OtxJSON.h"
#include "RatioReporter.h"

namespace {

// Live bytes allocated through operator new while counting is on.
std::atomic<bool> g_counting{false};
std::atomic<long long> g_liveBytes{0};

// Bytes in use in this thread's mimalloc heap, where the library allocates its values.
long long MimallocBytes() {
#ifdef KESMAR_MIMALLOC
  // The library's mimalloc, looked up rather than linked (see CMakeLists.txt).
  using Visit = decltype(&mi_heap_visit_blocks);
  using DefaultHeap = decltype(&mi_heap_get_default);
  static const auto visit = reinterpret_cast<Visit>(dlsym(RTLD_DEFAULT, "mi_heap_visit_blocks"));
  static const auto heap =
      reinterpret_cast<DefaultHeap>(dlsym(RTLD_DEFAULT, "mi_heap_get_default"));
  if (visit == nullptr || heap == nullptr) return 0;
  long long bytes = 0;
  visit(
      heap(), false,
      [](const mi_heap_t*, const mi_heap_area_t* area, void*, std::size_t, void* sum) {
        *static_cast<long long*>(sum) += static_cast<long long>(area->used * area->block_size);
        return true;
      },
      &bytes);
  return bytes;
#else
  return 0;
#endif
}

void* Allocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  if (g_counting.load(std::memory_order_relaxed)) {
    g_liveBytes.fetch_add(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
  }
  return p;
}

void Release(void* p) noexcept {
  if (p != nullptr && g_counting.load(std::memory_order_relaxed)) {
    g_liveBytes.fetch_sub(static_cast<long long>(malloc_usable_size(p)), std::memory_order_relaxed);
  }
  std::free(p);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace {

using kesmar::bench::AddBudget;
using kesmar::bench::DocumentText;

// The number of JSON values in a parsed document, containers included.
std::size_t CountValues(const rapidjson::Value& value) {
  std::size_t count = 1;
  if (value.IsArray()) {
    for (const auto& element : value.GetArray()) count += CountValues(element);
  } else if (value.IsObject()) {
    for (const auto& member : value.GetObject()) count += CountValues(member.value);
  }
  return count;
}

void ReportDocument(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * DocumentText().size()));
}

// --- reading ---

void RapidJsonParse(benchmark::State& state) {
  const std::string& text = DocumentText();
  for (auto _ : state) {
    rapidjson::Document document;
    document.Parse(text.c_str());
    benchmark::DoNotOptimize(document.IsObject());
  }
  ReportDocument(state);
}

void NlohmannParse(benchmark::State& state) {
  const std::string& text = DocumentText();
  for (auto _ : state) benchmark::DoNotOptimize(nlohmann::json::parse(text));
  ReportDocument(state);
}

void FromJson(benchmark::State& state) {
  const std::string& text = DocumentText();
  for (auto _ : state) benchmark::DoNotOptimize(OTX::FromJSON(text));
  ReportDocument(state);
}

void FromJsonTyped(benchmark::State& state) {
  const std::string& text = DocumentText();
  for (auto _ : state) benchmark::DoNotOptimize(OTX::OtxMapToKesmar(OTX::FromJSON(text)));
  ReportDocument(state);
}

// --- writing the same tree ---

void RapidJsonWrite(benchmark::State& state) {
  rapidjson::Document document;
  document.Parse(DocumentText().c_str());
  for (auto _ : state) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    document.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetSize());
  }
  ReportDocument(state);
}

void NlohmannDump(benchmark::State& state) {
  const nlohmann::json document = nlohmann::json::parse(DocumentText());
  for (auto _ : state) benchmark::DoNotOptimize(document.dump());
  ReportDocument(state);
}

void WriteJson(benchmark::State& state) {
  const CKesmar tree = kesmar::bench::DocumentTree();
  for (auto _ : state) {
    std::string out;
    tree.WriteJSON(out);
    benchmark::DoNotOptimize(out.size());
  }
  ReportDocument(state);
}

void ToJson(benchmark::State& state) {
  const CKesmar tree = kesmar::bench::DocumentTree();
  for (auto _ : state) benchmark::DoNotOptimize(tree.ToJSON());
  ReportDocument(state);
}

// --- memory of the parsed trees ---

// Runs parse once with counting on and reports the live bytes it leaves per JSON value.
template <class Parse>
void MeasureMemory(benchmark::State& state, Parse parse) {
  rapidjson::Document reference;
  reference.Parse(DocumentText().c_str());
  const double values = static_cast<double>(CountValues(reference));
  double bytes = 0.0;
  for (auto _ : state) {
    g_liveBytes = 0;
    const long long mimallocBefore = MimallocBytes();
    g_counting = true;
    auto tree = parse();
    g_counting = false;
    bytes = static_cast<double>(g_liveBytes.load() + MimallocBytes() - mimallocBefore) +
            static_cast<double>(tree.second);
    benchmark::DoNotOptimize(tree.first);
  }
  state.counters["bytes_per_value"] = bytes / values;
  state.counters["values"] = values;
}

void RapidJsonMemory(benchmark::State& state) {
  MeasureMemory(state, [] {
    auto document = std::make_unique<rapidjson::Document>();
    document->Parse(DocumentText().c_str());
    const auto pool = document->GetAllocator().Capacity();
    return std::make_pair(std::move(document), pool);
  });
}

void NlohmannMemory(benchmark::State& state) {
  MeasureMemory(state, [] { return std::make_pair(nlohmann::json::parse(DocumentText()), 0); });
}

void FromJsonMemory(benchmark::State& state) {
  MeasureMemory(state, [] { return std::make_pair(OTX::FromJSON(DocumentText()), 0); });
}

void TypedMemory(benchmark::State& state) {
  MeasureMemory(state, [] {
    return std::make_pair(OTX::OtxMapToKesmar(OTX::FromJSON(DocumentText())), 0);
  });
}

#define KESMAR_JSON_CASE(function, name) \
  BENCHMARK(function)->Name(name)->Unit(benchmark::kMillisecond)->MinTime(0.5)

KESMAR_JSON_CASE(RapidJsonParse, "json parse:baseline RapidJSON DOM Parse");
KESMAR_JSON_CASE(NlohmannParse, "json parse:nlohmann::json::parse");
KESMAR_JSON_CASE(FromJson, "json parse:FromJSON");
KESMAR_JSON_CASE(FromJsonTyped, "json parse:FromJSON + OtxMapToKesmar");
KESMAR_JSON_CASE(RapidJsonWrite, "json write:baseline RapidJSON Writer");
KESMAR_JSON_CASE(NlohmannDump, "json write:nlohmann::json::dump");
KESMAR_JSON_CASE(WriteJson, "json write:WriteJSON of the typed tree");
KESMAR_JSON_CASE(ToJson, "json write:ToJSON of the typed tree");

BENCHMARK(RapidJsonMemory)->Name("json memory:RapidJSON DOM")->Iterations(1);
BENCHMARK(NlohmannMemory)->Name("json memory:nlohmann::json")->Iterations(1);
BENCHMARK(FromJsonMemory)->Name("json memory:FromJSON tree")->Iterations(1);
BENCHMARK(TypedMemory)->Name("json memory:typed tree")->Iterations(1);

const bool kBudgets[] = {
    AddBudget("FromJSON < 1.0x nlohmann::json::parse", "json parse:FromJSON",
               "json parse:nlohmann::json::parse", 1.0),
    AddBudget("FromJSON <= 3.0x RapidJSON DOM Parse", "json parse:FromJSON",
               "json parse:baseline RapidJSON DOM Parse", 3.0),
    AddBudget("FromJSON + OtxMapToKesmar <= 1.5x nlohmann::json::parse",
               "json parse:FromJSON + OtxMapToKesmar", "json parse:nlohmann::json::parse", 1.5),
    AddBudget("WriteJSON < 1.0x nlohmann::json::dump", "json write:WriteJSON of the typed tree",
               "json write:nlohmann::json::dump", 1.0),
    AddBudget("WriteJSON <= 2.0x RapidJSON Writer", "json write:WriteJSON of the typed tree",
               "json write:baseline RapidJSON Writer", 2.0),
    AddBudget("ToJSON < 1.0x nlohmann::json::dump", "json write:ToJSON of the typed tree",
               "json write:nlohmann::json::dump", 1.0),
    AddBudget("ToJSON <= 2.0x RapidJSON Writer", "json write:ToJSON of the typed tree",
               "json write:baseline RapidJSON Writer", 2.0),
    AddBudget("FromJSON tree bytes/value <= 1.0x nlohmann's", "json memory:FromJSON tree",
               "json memory:nlohmann::json", 1.0, true, "bytes_per_value"),
};

}  // namespace
