// Fuzzes the string operations (length, index, substring, replace, split, case, regular
// expressions with arbitrary patterns, conversions, comparisons) on arbitrary bytes, and the
// character encodings in both directions: bytes to text and text to bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "COtxByteField.h"
#include "COtxInt.h"
#include "COtxString.h"
#include "COtxStringEncoding.h"
#include "FuzzCommon.h"
#include "OtxJSON.h"

namespace {

using kesmar_fuzz::Finding;
using kesmar_fuzz::Try;

constexpr int kMaxRegexPerInput = 4;

CKesmar PickPosition(FuzzedDataProvider& input) {
  static constexpr long long kExtremes[] = {LLONG_MIN, -1, 0, 1, INT_MAX, 4294967295LL,
                                            4294967296LL, LLONG_MAX};
  if (input.ConsumeIntegralInRange(0, 7) == 0) return COtxInt(input.PickValueInArray(kExtremes));
  return COtxInt(input.ConsumeIntegralInRange(-2, 40));
}

COtxStringEncoding::Encoding PickEncoding(FuzzedDataProvider& input) {
  return static_cast<COtxStringEncoding::Encoding>(input.ConsumeIntegralInRange(-1, 11));
}

// Both forms parse again; the object form reads back equal.
void CheckForms(const CKesmar& text) {
  text.SetOTXJSON(false);
  const std::string plain = text.ToJSON().String();
  CKesmar parsed;
  if (!OTX::FromJSON(plain.c_str(), parsed)) Finding("plain form does not parse", plain);
  text.SetOTXJSON(true);
  const std::string object = text.ToJSON().String();
  if (!OTX::FromJSON(object.c_str(), parsed)) Finding("object form does not parse", object);
  // The reader ends strings at an embedded NUL, so only texts without one read back equal.
  if (text.String().find('\0') == std::string::npos &&
      !(OTX::OtxMapToKesmar(parsed) == text)) {
    Finding("object form reads back unequal", object);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    kesmar_fuzz::QuietLogging();
    std::setlocale(LC_ALL, "C.UTF-8");  // case mapping beyond ASCII
    return true;
  }();
  (void)ready;
  FuzzedDataProvider input(data, size);
  std::vector<CKesmar> texts{COtxString(input.ConsumeRandomLengthString(64))};
  auto pick = [&]() -> CKesmar {
    return texts[input.ConsumeIntegralInRange<std::size_t>(0, texts.size() - 1)];
  };
  auto keep = [&](const CKesmar& value) {
    if (value.Type() != OTX::STRING || value.String().size() > 4096) return;
    if (texts.size() < 4) {
      texts.push_back(value);
    } else {
      texts[input.ConsumeIntegralInRange<std::size_t>(0, 3)] = value;
    }
  };
  int regexes = 0;

  for (int step = 0; step < 32 && input.remaining_bytes() > 0; ++step) {
    const CKesmar text = pick();
    switch (input.ConsumeIntegralInRange(0, 12)) {
      case 0:
        keep(COtxString(input.ConsumeRandomLengthString(64)));
        break;
      case 1:
        Try([&] { (void)text.String().LengthOfString(); });
        Try([&] { (void)text.String().IndexOf(pick()); });
        break;
      case 2: {
        const CKesmar start = PickPosition(input);
        const CKesmar length = PickPosition(input);
        Try([&] { keep(text.String().SubString(start, length)); });
        break;
      }
      case 3: {
        const CKesmar replacement = pick();
        const CKesmar start = PickPosition(input);
        Try([&] { keep(text.String().ReplaceSubString(replacement, start)); });
        break;
      }
      case 4: {
        const CKesmar delimiter = pick();
        Try([&] {
          const CKesmar parts = text.String().SplitString(delimiter);
          if (!parts.List().empty()) keep(parts.List().front());
        });
        break;
      }
      case 5:
        Try([&] { keep(text.String().ToUpper()); });
        Try([&] { keep(text.String().ToLower()); });
        break;
      case 6: {
        if (regexes++ >= kMaxRegexPerInput) break;
        const CKesmar pattern = COtxString(input.ConsumeRandomLengthString(32));
        Try([&] { (void)text.String().MatchToRegularExpression(pattern); });
        break;
      }
      case 7:
        Try([&] { (void)text.ToInteger(); });
        Try([&] { (void)text.ToFloat(); });
        Try([&] { (void)text.ToBoolean(); });
        Try([&] { (void)text.ToByteField(); });
        break;
      case 8: {  // bytes decoded from an encoding
        const auto bytes = input.ConsumeBytes<unsigned char>(input.ConsumeIntegralInRange(0, 48));
        const auto encoding = PickEncoding(input);
        Try([&] { keep(COtxString(bytes, encoding)); });
        break;
      }
      case 9: {  // text encoded into bytes, and decoded back where the encoding is strict
        const auto encoding = PickEncoding(input);
        Try([&] {
          const CKesmar bytes = COtxByteField(text.String(), encoding);
          Try([&] { keep(COtxString(bytes.ByteField(), encoding)); });
        });
        break;
      }
      case 10: {
        const CKesmar other = pick();
        Try([&] {
          const bool less = text < other;
          const bool equal = text == other;
          const bool greater = text > other;
          if (less + equal + greater != 1) Finding("strings not totally ordered", "");
        });
        break;
      }
      case 11:
        Try([&] { CheckForms(text); });
        break;
      default:
        Try([&] { (void)COtxStringEncoding(input.ConsumeRandomLengthString(16)).ToString(); });
        Try([&] { keep(COtxStringEncoding(PickEncoding(input)).ToString()); });
        break;
    }
  }
  return 0;
}
