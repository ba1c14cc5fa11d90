#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "COtxByteField.h"
#include "COtxException.h"
#include "TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;
using OTX::BigEndian;
using OTX::LittleEndian;

constexpr long long kMin = std::numeric_limits<long long>::min();
constexpr long long kMax = std::numeric_limits<long long>::max();
constexpr auto kSigned = OTX::SignedBinary, kOnes = OTX::OnesComplement,
               kTwos = OTX::TwosComplement, kUnsigned = OTX::Unsigned,
               kPacked = OTX::PackedBinaryCodedDecimal, kUnpacked = OTX::UnpackedBinaryCodedDecimal;

const Bytes& BytesOf(const CKesmar& field) { return static_cast<const Bytes&>(field.ByteField()); }

}  // namespace

// Beyond 64 bits magnitudes and unsigned values are zero-extended, complements sign-extended,
// and the sign is the field's top bit. BCD ignores the byte order and right-aligns its digits.
TEST(ByteFieldEncoding, WritesEachEncodingInEitherByteOrder) {
  const std::tuple<long long, int, OTX::Encoding, OTX::Endianness, Bytes> cases[] = {
      {300, 16, kUnsigned, LittleEndian, {0x2C, 0x01}},
      {300, 16, kUnsigned, BigEndian, {0x01, 0x2C}},
      {0, 0, kTwos, BigEndian, {}},
      {-5, 8, kOnes, LittleEndian, {0xFA}},
      {-5, 8, OTX::NoEncoding, LittleEndian, {0x85}},
      {-1, 9, kTwos, BigEndian, {0x01, 0xFF}},
      {-1, 64, kUnsigned, BigEndian, Bytes(8, 0xFF)},
      {-1, 70, kTwos, LittleEndian, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F}},
      {-5, 72, kOnes, LittleEndian, {0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {-5, 72, kSigned, BigEndian, {0x80, 0, 0, 0, 0, 0, 0, 0, 0x05}},
      {kMin, 65, kOnes, LittleEndian, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x01}},
      {123, 16, kPacked, LittleEndian, {0x01, 0x23}},
      {123, 12, kPacked, BigEndian, {0x12, 0x30}},
      {123, 32, kUnpacked, LittleEndian, {0x00, 0x01, 0x02, 0x03}},
      {kMax, 80, kPacked, BigEndian, {0x09, 0x22, 0x33, 0x72, 0x03, 0x68, 0x54, 0x77, 0x58, 0x07}}};
  for (const auto& [value, bitLength, encoding, endianness, expected] : cases) {
    EXPECT_EQ(BytesOf(COtxByteField(value, bitLength, encoding, endianness)), expected)
        << value << " in " << bitLength << " bits, encoding " << encoding;
  }
}

// The ranges of 1 to 64 bits are covered by the round-trip tests; these are the edges. 0 is
// one BCD digit, so it does not fit in 0 bits either.
TEST(ByteFieldEncoding, RejectsValuesItCannotWrite) {
  const std::tuple<long long, int, OTX::Encoding, const char*> cases[] = {
      {128, 8, kTwos, "Value 128 does not fit in 8 bits"},
      {-1, 63, kUnsigned, "Value -1 does not fit in 63 bits"},
      {-1, 65, kUnsigned, "Value -1 does not fit in 65 bits"},
      {kMin, 64, kSigned, "Value -9223372036854775808 does not fit in 64 bits"},
      {1, 0, kUnsigned, "Value 1 does not fit in 0 bits"},
      {-1, 0, kTwos, "Value -1 does not fit in 0 bits"},
      {100, 8, kPacked, "Bit length not big enough for BCD value"},
      {0, 0, kPacked, "Bit length not big enough for BCD value"},
      {-1, 8, kPacked, "Can't BCD encode a negative value"},
      {1, 12, kUnpacked, "Invalid BCD bit length"},
      {0, -8, kPacked, "Bit length out of range"},
      {0, INT_MIN, kUnsigned, "Bit length out of range"}};
  for (const auto& [value, bitLength, encoding, message] : cases) {
    EXPECT_OTX_THROW(COtxByteField(value, bitLength, encoding, LittleEndian),
                     OTX::OutOfBoundsException, message);
  }
  EXPECT_NO_THROW(COtxByteField(kMax, 1000, kTwos, BigEndian));
}

TEST(ByteFieldEncoding, BitMasksAreBigEndianAndReplaceTheOutput) {
  const std::tuple<int, int, Bytes> cases[] = {{4, 6, {0x03, 0xC0}},
                                               {64, 0, Bytes(8, 0xFF)},
                                               {1, 63, {0x80, 0, 0, 0, 0, 0, 0, 0}},
                                               {0, 64, Bytes(8, 0x00)}};
  for (const auto& [width, offset, expected] : cases) {
    Bytes out(9, 0xAA);
    EXPECT_EQ(COtxByteField::CreateBitMask(width, offset, out), static_cast<int>(expected.size()));
    EXPECT_EQ(out, expected) << width << " bits at " << offset;
  }

  Bytes out = {0xAA};
  EXPECT_STD_THROW(COtxByteField::CreateBitMask(57, 8, out), std::runtime_error,
                   "Bitmask > 64 bits unsupported");
  EXPECT_STD_THROW(COtxByteField::CreateBitMask(INT_MAX, 1, out), std::runtime_error,
                   "Bitmask > 64 bits unsupported");
  EXPECT_OTX_THROW(COtxByteField::CreateBitMask(-1, 8, out), OTX::OutOfBoundsException,
                   "Bit mask width out of range");
  EXPECT_OTX_THROW(COtxByteField::CreateBitMask(8, -1, out), OTX::OutOfBoundsException,
                   "Bit mask offset out of range");
  EXPECT_EQ(out, Bytes{0xAA});

  EXPECT_EQ(COtxByteField::NumberOfBytesForBits(INT_MAX, INT_MAX), 536870912);
}

// Rows: target, source, position (-1 appends), shift, bit length, result. A shift of 0 leaves
// the source left-aligned; merging ORs and never clears.
TEST(ByteFieldEncoding, MergeOrsTheShiftedSourceIntoTheTarget) {
  const std::tuple<Bytes, Bytes, int, int, int, Bytes> cases[] = {
      {{0x00, 0x00}, {0x0F}, 0, 4, 4, {0xF0, 0x00}},
      {{0x01}, {0xAA}, -1, 0, 8, {0x01, 0xAA}},
      {{0x01}, {0xAA}, 0, 0, 0, {0x01}},
      {{0x01}, {0x0F}, 2, 0, 16, {0x01, 0x00, 0x0F, 0x00}},
      {{0x00}, {0x81}, 0, 1, 8, {0x01, 0x02}},
      {{}, {0x01}, 0, 0, 16, {0x01, 0x00}},
      {{}, {0x01}, 0, 1, 16, {0x00, 0x00, 0x02}},  // a shift right-aligns a short source
      {{0x10, 0x01}, {0x0F, 0xFF}, 0, 4, 12, {0xFF, 0xF1}}};
  for (const auto& [original, source, position, shift, bitLength, expected] : cases) {
    Bytes target = original;
    EXPECT_EQ(COtxByteField::MergeByteField(target, source, position, shift, bitLength),
              static_cast<int>(8 * expected.size()));
    EXPECT_EQ(target, expected);
  }

  // The member form; a field merged into itself is read before it grows.
  const COtxByteField field(Bytes{0x01, 0x02});
  field.ByteField().MergeByteField(BytesOf(field), 1, 0, 16);
  EXPECT_EQ(BytesOf(field), (Bytes{0x01, 0x03, 0x02}));

  const std::tuple<Bytes, int, int, int, const char*> errors[] = {
      {{0x00, 0xAA, 0xBB}, 0, 4, 12, "Source too long for the bit length"},
      {{0x0F}, 0, 8, 4, "Bit shift out of range"},
      {{0x0F}, 0, -1, 4, "Bit shift out of range"},
      {{0x0F}, -2, 0, 4, "Byte position out of range"},
      {{0x0F}, 0, 0, -1, "Bit length out of range"}};
  for (const auto& [source, position, shift, bitLength, message] : errors) {
    Bytes target = {0x12, 0x34};
    EXPECT_OTX_THROW(COtxByteField::MergeByteField(target, source, position, shift, bitLength),
                     OTX::OutOfBoundsException, message);
    EXPECT_EQ(target, (Bytes{0x12, 0x34}));
  }
}

TEST(ByteFieldEncoding, CondenseAndExpandThroughAMask) {
  const COtxByteField mask(Bytes{0xFF, 0x00, 0x0F}), field(Bytes{0x12, 0x34, 0x56});
  field.ByteField().Condense(mask);
  EXPECT_EQ(BytesOf(field), (Bytes{0x12, 0x06}));
  field.ByteField().Expand(COtxByteField(Bytes{0x00}), 2);  // keeps every byte
  EXPECT_EQ(BytesOf(field), (Bytes{0x12, 0x06, 0x00}));
  // After the kept front byte: a zero mask byte gives a zero, unused source bytes are dropped.
  const COtxByteField expanded(Bytes{0xAB, 0x12, 0x36, 0x07});
  expanded.ByteField().Expand(mask, 1);
  EXPECT_EQ(BytesOf(expanded), (Bytes{0xAB, 0x12, 0x00, 0x06}));

  // A field used as its own mask acts as a snapshot of itself taken before the change.
  const COtxByteField condensed(Bytes{0x12, 0x00, 0x34}), self(Bytes{0x12, 0x00, 0x34});
  condensed.ByteField().Condense(condensed);
  self.ByteField().Expand(self, 0);
  EXPECT_EQ(BytesOf(condensed), (Bytes{0x12, 0x34}));
  EXPECT_EQ(BytesOf(self), (Bytes{0x12, 0x00, 0x00}));

  const COtxByteField unchanged(Bytes{0x12});
  EXPECT_OTX_THROW(unchanged.ByteField().Condense(COtxByteField(Bytes{0xFF, 0xFF})),
                   OTX::OutOfBoundsException,
                   "Mask must be the same length as byte field for condensing");
  EXPECT_OTX_THROW(unchanged.ByteField().Expand(COtxByteField(Bytes{0xFF, 0xFF}), 0),
                   OTX::OutOfBoundsException, "Source must contain enough bytes to expand");
  for (const int keep : {-1, 2}) {
    EXPECT_OTX_THROW(unchanged.ByteField().Expand(COtxByteField(Bytes{0x00}), keep),
                     OTX::OutOfBoundsException, "Keep count out of range");
  }
  EXPECT_EQ(BytesOf(unchanged), Bytes{0x12});
}
