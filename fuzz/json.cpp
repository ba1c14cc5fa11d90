// Fuzzes the JSON reader and writers: arbitrary text through FromJSON, every map of the tree
// through the object-form readers, and every value read through both written forms, which
// must parse again; the object form must read back equal to the value it was written from.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "CKesmar.h"
#include "FuzzCommon.h"
#include "Kesmar.h"
#include "OtxJSON.h"

namespace {

using kesmar_fuzz::Finding;
using kesmar_fuzz::Try;

// Each level of the object form nests twice (the object and its "value"), so only values at
// most this deep are sure to read back within the reader's nesting limit.
constexpr int kRoundTripDepth = OTX::kMaxJSONDepth / 2 - 2;

int Depth(const CKesmar& value) {
  int deepest = 0;
  if (value.Type() == OTX::LIST) {
    for (const auto& element : value.List()) deepest = std::max(deepest, Depth(element));
  } else if (value.Type() == OTX::MAP) {
    for (const auto& [key, element] : value.Map()) {
      deepest = std::max({deepest, Depth(key), Depth(element)});
    }
  } else {
    return 0;
  }
  return deepest + 1;
}

// Writes value in one form with both writers, which must agree, and parses the text again.
CKesmar WriteAndReread(const CKesmar& value, bool objectForm) {
  CKesmar parsed;
  Try([&] {
    value.SetOTXJSON(objectForm);
    const std::string text = value.ToJSON().String();
    std::string written;
    value.WriteJSON(written);
    if (written != text) Finding("ToJSON and WriteJSON differ", text + " / " + written);
    if (!OTX::FromJSON(text.c_str(), parsed)) {
      Finding("written JSON does not parse", text + " -> " + parsed.String());
    }
  });
  return parsed;
}

void RoundTrip(const CKesmar& value) {
  if (Depth(value) > kRoundTripDepth) return;
  WriteAndReread(value, false);
  const CKesmar parsed = WriteAndReread(value, true);
  if (parsed.Type() != OTX::MAP) return;  // a form that the writer failed on, or a bare value
  Try([&] {
    const CKesmar back = OTX::OtxMapToKesmar(parsed);
    if (!kesmar_fuzz::HoldsNaN(value) && !(back == value)) {
      value.SetOTXJSON(true);
      Finding("object form reads back unequal", value.ToJSON().String());
    }
  });
}

// Reads every map of the tree as an object form, and round-trips what it reads.
void VisitMaps(const CKesmar& value, int& budget) {
  if (--budget < 0) return;
  if (value.Type() == OTX::LIST) {
    for (const auto& element : value.List()) VisitMaps(element, budget);
    return;
  }
  if (value.Type() != OTX::MAP) return;
  for (const auto& [key, element] : value.Map()) VisitMaps(element, budget);
  Try([&] { RoundTrip(OTX::OtxMapToKesmar(value)); });
  Try([&] { OTX::OtxObjectMapToOtxVarMap(value); });
  Try([&] { OTX::OtxMapToJSON(value); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    kesmar_fuzz::QuietLogging();
    kesmar_fuzz::LoadDefaultUnits();  // so that quantities and units read back
    return true;
  }();
  (void)ready;
  const std::string text(reinterpret_cast<const char*>(data), size);
  CKesmar tree;
  if (!OTX::FromJSON(text.c_str(), tree)) {
    if (tree.Type() != OTX::STRING) Finding("parse error is not a string", tree.stringType());
    return 0;
  }
  int budget = 64;  // object-form reads per input, so that wide documents stay fast
  VisitMaps(tree, budget);
  RoundTrip(tree);
  return 0;
}
