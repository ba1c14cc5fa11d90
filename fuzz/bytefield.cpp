// Fuzzes byte fields with a byte-coded program: constructors, bit operations, shifts,
// merging, condensing and expanding, and integers encoded into and decoded from fields.
// Integer arguments are mostly small, sometimes the extremes of their type; fields that grow
// past kMaxBytes are not grown further, so one input stays fast.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "COtxByteField.h"
#include "COtxInt.h"
#include "COtxString.h"
#include "FuzzCommon.h"
#include "OtxJSON.h"

namespace {

using kesmar_fuzz::Finding;
using kesmar_fuzz::Try;

constexpr std::size_t kMaxBytes = 4096;
constexpr std::size_t kPoolSize = 4;

int PickInt(FuzzedDataProvider& input, int low, int high) {
  static constexpr int kExtremes[] = {INT_MIN, INT_MIN + 1, -65, -64, -9, -8, -1,
                                      0,       63,          64,  65,  INT_MAX - 7, INT_MAX};
  if (input.ConsumeIntegralInRange(0, 15) == 0) return input.PickValueInArray(kExtremes);
  return input.ConsumeIntegralInRange(low, high);
}

long long PickLong(FuzzedDataProvider& input) {
  static constexpr long long kExtremes[] = {LLONG_MIN, LLONG_MIN + 1, -1, 0, 1, LLONG_MAX,
                                            99999999, -99999999};
  if (input.ConsumeBool()) return input.PickValueInArray(kExtremes);
  return input.ConsumeIntegral<long long>();
}

std::vector<unsigned char> PickBytes(FuzzedDataProvider& input) {
  return input.ConsumeBytes<unsigned char>(input.ConsumeIntegralInRange(0, 24));
}

// The object form must parse and read back equal; the plain form must parse.
void CheckForms(const CKesmar& field) {
  field.SetOTXJSON(false);
  CKesmar plain;
  if (!OTX::FromJSON(field.ToJSON().String().c_str(), plain)) {
    Finding("plain form does not parse", field.ToJSON().String());
  }
  field.SetOTXJSON(true);
  const std::string text = field.ToJSON().String();
  CKesmar parsed;
  if (!OTX::FromJSON(text.c_str(), parsed)) Finding("object form does not parse", text);
  if (!(OTX::OtxMapToKesmar(parsed) == field)) Finding("object form reads back unequal", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kesmar_fuzz::QuietLogging();
  FuzzedDataProvider input(data, size);
  std::vector<CKesmar> pool{COtxByteField(PickBytes(input))};
  auto pick = [&]() -> CKesmar& {
    return pool[input.ConsumeIntegralInRange<std::size_t>(0, pool.size() - 1)];
  };
  auto keep = [&](const CKesmar& value) {
    if (pool.size() < kPoolSize) {
      pool.push_back(value);
    } else {
      pool[input.ConsumeIntegralInRange<std::size_t>(0, kPoolSize - 1)] = value;
    }
  };
  auto small = [&](const CKesmar& field) { return field.ByteField().size() <= kMaxBytes; };

  for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
    switch (input.ConsumeIntegralInRange(0, 17)) {
      case 0:
        keep(COtxByteField(PickBytes(input)));
        break;
      case 1:
        Try([&] { keep(COtxByteField(input.ConsumeRandomLengthString(40))); });
        break;
      case 2: {
        const auto encoding =
            static_cast<COtxStringEncoding::Encoding>(input.ConsumeIntegralInRange(-1, 11));
        Try([&] { keep(COtxByteField(input.ConsumeRandomLengthString(40), encoding)); });
        break;
      }
      case 3: {
        const auto bytes = PickBytes(input);
        const auto encoding = static_cast<OTX::Encoding>(input.ConsumeIntegralInRange(-1, 7));
        const int bitLength = PickInt(input, -16, 256);
        if (bitLength > static_cast<int>(8 * kMaxBytes)) break;  // a field too large to fill fast
        Try([&] {
          keep(COtxByteField(bytes.data(), static_cast<int>(bytes.size()), encoding, bitLength));
        });
        break;
      }
      case 4: {
        const long long value = PickLong(input);
        const int bitLength = PickInt(input, -8, 72);
        const auto encoding = static_cast<OTX::Encoding>(input.ConsumeIntegralInRange(-1, 7));
        const auto order = static_cast<OTX::Endianness>(input.ConsumeIntegralInRange(0, 1));
        if (bitLength > static_cast<int>(8 * kMaxBytes)) break;
        Try([&] { keep(COtxByteField(value, bitLength, encoding, order)); });
        break;
      }
      case 5: {
        std::istringstream stream(input.ConsumeRandomLengthString(32));
        const int count = PickInt(input, -4, 64);
        if (count > static_cast<int>(kMaxBytes)) break;
        Try([&] { keep(COtxByteField(stream, count)); });
        break;
      }
      case 6: {
        const CKesmar a = pick();
        const CKesmar b = pick();
        Try([&] {
          switch (input.ConsumeIntegralInRange(0, 3)) {
            case 0: keep(~a.ByteField()); break;
            case 1: keep(a.ByteField() & b); break;
            case 2: keep(a.ByteField() | b); break;
            default: keep(a.ByteField() ^ b); break;
          }
        });
        break;
      }
      case 7: {
        auto& field = pick().ByteField();
        const int byteIndex = PickInt(input, -2, 40);
        const int bitIndex = PickInt(input, -2, 9);
        const bool value = input.ConsumeBool();
        Try([&] { field.SetBit(byteIndex, bitIndex, value); });
        Try([&] { (void)field.GetBit(byteIndex, bitIndex); });
        Try([&] { (void)field.TestBits(byteIndex, bitIndex, PickInt(input, -20, 300), value); });
        break;
      }
      case 8: {
        auto& field = pick().ByteField();
        const int positions = PickInt(input, -2, 300);
        Try([&] {
          if (input.ConsumeBool()) {
            field.ShiftLeft(positions);
          } else {
            field.ShiftRight(positions);
          }
        });
        break;
      }
      case 9: {
        CKesmar& target = pick();
        const CKesmar source = pick();
        if (!small(target) || !small(source)) break;
        const long long index = input.ConsumeBool() ? PickLong(input) : PickInt(input, -2, 40);
        Try([&] {
          if (input.ConsumeBool()) {
            target.ByteField().ReplaceSubByteField(source, index);
          } else {
            target.ByteField().AppendByteField(source);
          }
        });
        break;
      }
      case 10: {
        CKesmar& target = pick();
        if (!small(target)) break;
        const auto source = PickBytes(input);
        const int position = PickInt(input, -2, 40);
        const int shift = PickInt(input, -2, 9);
        const int bitLength = PickInt(input, -8, 512);
        if (bitLength > static_cast<int>(8 * kMaxBytes)) break;
        Try([&] {
          std::vector<unsigned char> copy = target.ByteField();
          const bool inPlace = input.ConsumeBool();
          const int bits =
              inPlace ? target.ByteField().MergeByteField(source, position, shift, bitLength)
                      : COtxByteField::MergeByteField(copy, source, position, shift, bitLength);
          const std::size_t length = inPlace ? target.ByteField().size() : copy.size();
          if (bits != 8 * static_cast<long long>(length)) {
            Finding("merge returns a wrong bit length", std::to_string(bits));
          }
        });
        break;
      }
      case 11: {
        CKesmar& field = pick();
        const CKesmar mask = pick();
        const int keepCount = PickInt(input, -2, 40);
        if (!small(field) || !small(mask)) break;
        Try([&] {
          if (input.ConsumeBool()) {
            field.ByteField().Condense(mask);
          } else {
            field.ByteField().Expand(mask, keepCount);
          }
        });
        break;
      }
      case 12: {
        std::vector<unsigned char> out;
        const int width = PickInt(input, -2, 70);
        const int offset = PickInt(input, -2, 70);
        Try([&] { (void)COtxByteField::CreateBitMask(width, offset, out); });
        Try([&] { (void)COtxByteField::NumberOfBytesForBits(width, offset); });
        break;
      }
      case 13: {
        const CKesmar field = pick();
        const int bitLength = PickInt(input, -2, 80);
        const auto encoding = static_cast<OTX::Encoding>(input.ConsumeIntegralInRange(-1, 7));
        const auto order = static_cast<OTX::Endianness>(input.ConsumeIntegralInRange(0, 1));
        Try([&] {
          const CKesmar decoded(COtxInt(field.ByteField(), bitLength, encoding, order));
          // What fits and was encoded decodes to the same number.
          if (encoding >= OTX::SignedBinary && encoding <= OTX::Unsigned && bitLength > 0 &&
              bitLength <= 64) {
            Try([&] {
              const CKesmar again(COtxByteField(decoded.Int(), bitLength, encoding, order));
              const CKesmar redecoded(COtxInt(again.ByteField(), bitLength, encoding, order));
              if (redecoded.Int() != decoded.Int()) {
                Finding("integer does not survive encoding", std::to_string(decoded.Int()));
              }
            });
          }
        });
        break;
      }
      case 14: {
        const CKesmar field = pick();
        Try([&] { (void)field.ToInteger(); });
        Try([&] { (void)field.ToFloat(); });
        Try([&] { (void)field.ToString(); });
        Try([&] { (void)field.ToBoolean(); });
        Try([&] { keep(field.ToByteField()); });
        Try([&] { std::ostringstream out; out << field; });
        break;
      }
      case 15:
        Try([&] { CheckForms(pick()); });
        break;
      case 16: {
        const CKesmar a = pick();
        const CKesmar b = pick();
        Try([&] {
          const bool less = a < b;
          const bool equal = a == b;
          const bool greater = a > b;
          if (less + equal + greater != 1) Finding("byte fields not totally ordered", "");
          if ((a <= b) != (less || equal) || (a >= b) != (greater || equal)) {
            Finding("byte field orderings disagree", "");
          }
        });
        break;
      }
      default: {
        const CKesmar field = pick();
        Try([&] {
          const CKesmar text = COtxString(
              field.ByteField(),
              static_cast<COtxStringEncoding::Encoding>(input.ConsumeIntegralInRange(-1, 11)));
          (void)text.ToByteField();
        });
        break;
      }
    }
  }
  return 0;
}
