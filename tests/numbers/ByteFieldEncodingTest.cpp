#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "COtxByteField.h"
#include "COtxException.h"
#include "COtxInt.h"
#include "TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;
using enum OTX::Encoding;
using enum OTX::Endianness;

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
      {{0x0F}, 0, 0, -1, "Bit length out of range"},
      // Results whose length in bits would not fit the int returned.
      {{0x0F}, INT_MAX, 0, 8, "Merged byte field too long"},
      {{0x0F}, 0, 0, INT_MAX, "Merged byte field too long"}};
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

namespace {

const Bytes kMaxPacked = {0x92, 0x23, 0x37, 0x20, 0x36, 0x85, 0x47, 0x75, 0x80, 0x70};  // 76 bits

// Opens the protected decoders for the cases the constructor cannot reach.
class Decoder : public COtxIntBehaviour {
 public:
  using COtxIntBehaviour::GetBinaryCodedDecimalValueFromByteField;
  using COtxIntBehaviour::GetUnsignedValueFromByteField;
  using COtxIntBehaviour::IsNegative;
};

}  // namespace

// The binary encodings read the least significant end of the field: bytes in front of a
// 64-bit run fall off, and its own top bit decides. BCD reads from the start of the field.
TEST(IntDecoding, ReadsEachEncoding) {
  const std::tuple<Bytes, int, OTX::Encoding, OTX::Endianness, long long> cases[] = {
      {{0x12, 0x34}, 12, Unsigned, BigEndian, 0x234},
      {{0x12, 0x34}, 12, Unsigned, LittleEndian, 0x412},
      {{0xFF}, 0, TwosComplement, BigEndian, 0},
      {{0, 0, 0, 0, 0, 0, 0, 0x80}, 64, SignedBinary, LittleEndian, 0},  // negative zeros
      {Bytes(8, 0xFF), 64, OnesComplement, BigEndian, 0},
      {Bytes(8, 0xFF), 63, Unsigned, BigEndian, kMax},
      {{0xFF, 0, 0, 0, 0, 0, 0, 0, 0x01}, 64, Unsigned, BigEndian, 1},
      {{0x12, 0x34}, 16, kPacked, BigEndian, 1234},
      {{0x12, 0x34}, 12, kPacked, LittleEndian, 123},
      {{0x01, 0x02}, 16, kUnpacked, BigEndian, 12},
      {{0x12}, 0, kPacked, BigEndian, 0},
      {kMaxPacked, 76, kPacked, BigEndian, kMax},
      {{0x12, 0x34}, 16, NoEncoding, BigEndian, 0}};
  for (const auto& [bytes, bitLength, encoding, endianness, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(bytes) + " " + std::to_string(bitLength) + " bits");
    const COtxInt decoded(bytes, bitLength, encoding, endianness, COtxInt::HEX);
    EXPECT_EQ(decoded.Int(), expected);
    EXPECT_EQ(
        std::dynamic_pointer_cast<COtxIntBehaviour>(decoded.GetBehaviourReference())->GetRadix(),
        COtxInt::HEX);
  }
}

// The last rows are one above the maximum and a value whose tenfold wraps to a larger one.
TEST(IntDecoding, RejectsFieldsThatHoldNoSuchInteger) {
  Bytes aboveMax = kMaxPacked;
  aboveMax.back() = 0x80;
  const std::tuple<Bytes, int, OTX::Encoding, const char*> cases[] = {
      {{0x80, 0, 0, 0, 0, 0, 0, 0}, 64, Unsigned, ""},
      {{0x00, 0x80, 0, 0, 0, 0, 0, 0, 0}, 64, Unsigned, ""},
      {Bytes(9, 0x00), 65, TwosComplement, ""},
      {Bytes(9, 0x00), 65, NoEncoding, ""},
      {{0x01}, 9, Unsigned, "Not enough bytes specified"},
      {{}, 0, TwosComplement, "Some bytes must be specified"},
      {{0x0A}, 8, kUnpacked, "Invalid BCD value"},
      {{0x12, 0x34}, 12, kUnpacked, "Invalid BCD byte field bit length"},
      {{0x12, 0x34}, 24, kPacked, "Insufficient BCD bytes"},
      {{0x12}, -8, NoEncoding, "Bit length out of range"},
      {aboveMax, 76, kPacked, "BCD value too big for integer"},
      {{0x42, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 80, kPacked, "BCD value too big for integer"}};
  for (const auto& [bytes, bitLength, encoding, message] : cases) {
    SCOPED_TRACE(testing::PrintToString(bytes) + " " + std::to_string(bitLength) + " bits");
    EXPECT_OTX_THROW(COtxInt(bytes, bitLength, encoding, BigEndian), OTX::OutOfBoundsException,
                     message);
  }

  const Decoder decoder;
  EXPECT_OTX_THROW(decoder.GetUnsignedValueFromByteField(Bytes(9, 0x00), 65, true, false),
                   OTX::OutOfBoundsException, "Bit length out of range");
  EXPECT_OTX_THROW(decoder.GetBinaryCodedDecimalValueFromByteField(0, {0x12}, 8),
                   OTX::OutOfBoundsException, "BCD digit width out of range");
  EXPECT_FALSE(decoder.IsNegative(-1, 0));
  EXPECT_FALSE(decoder.IsNegative(-1, 65));
}

namespace {

// Encodes value in both byte orders and decodes the bytes again, which must give it back.
void ExpectRoundTrip(long long value, int bitLength, OTX::Encoding encoding) {
  for (const OTX::Endianness endianness : {LittleEndian, BigEndian}) {
    SCOPED_TRACE(std::to_string(value) + " in " + std::to_string(bitLength) + " bits, encoding " +
                 std::to_string(encoding) + ", endianness " + std::to_string(endianness));
    Bytes bytes;
    ASSERT_NO_THROW(bytes = static_cast<const Bytes&>(
                        COtxByteField(value, bitLength, encoding, endianness).ByteField()));
    EXPECT_EQ(bytes.size(), static_cast<std::size_t>((bitLength + 7) / 8));
    long long decoded = 0;
    ASSERT_NO_THROW(decoded = COtxInt(bytes, bitLength, encoding, endianness).Int());
    EXPECT_EQ(decoded, value) << testing::PrintToString(bytes);
  }
}

}  // namespace

TEST(IntDecodingRoundTrip, BinaryEncodingsGiveTheValueBackAndRejectItsNeighbours) {
  std::mt19937_64 random(0x6B65736D6172ULL);
  for (int bitLength = 1; bitLength <= 64; ++bitLength) {
    for (const OTX::Encoding encoding : {SignedBinary, OnesComplement, TwosComplement, Unsigned}) {
      const auto top = static_cast<long long>((~0ULL >> (64 - bitLength)) >> 1);  // 2^(n-1) - 1
      const long long high = encoding != Unsigned ? top : bitLength == 64 ? kMax : 2 * top + 1;
      const long long low = encoding == Unsigned ? 0 : encoding == TwosComplement ? -top - 1 : -top;
      std::vector<long long> values = {low, high, 0};
      std::uniform_int_distribution<long long> anywhere(low, high);
      std::uniform_int_distribution<int> shift(0, bitLength - 1);
      // Uniform values are nearly all of full width; shifting reaches the short ones too.
      for (int i = 0; i < 16; ++i) values.push_back(anywhere(random) >> shift(random));
      for (const long long value : values) ExpectRoundTrip(value, bitLength, encoding);

      SCOPED_TRACE(std::to_string(bitLength) + " bits, encoding " + std::to_string(encoding));
      // A negative value written unsigned in 64 bits is its pattern, not a round trip.
      if (low != kMin && !(encoding == Unsigned && bitLength == 64)) {
        EXPECT_THROW(COtxByteField(low - 1, bitLength, encoding, BigEndian), COtxException);
      }
      if (high != kMax) {
        EXPECT_THROW(COtxByteField(high + 1, bitLength, encoding, BigEndian), COtxException);
      }
    }
  }
}

TEST(IntDecodingRoundTrip, BcdGivesTheValueBackWithLeadingZeroDigits) {
  std::mt19937_64 random(0x626364ULL);
  std::uniform_int_distribution<long long> anywhere(0, kMax);
  std::uniform_int_distribution<int> shift(0, 62), spare(0, 3);
  std::vector<long long> values = {0, 9, 10, kMax};
  for (int i = 0; i < 200; ++i) values.push_back(anywhere(random) >> shift(random));
  for (const long long value : values) {
    const int digits = static_cast<int>(std::to_string(value).size());
    ExpectRoundTrip(value, 4 * (digits + spare(random)), kPacked);
    ExpectRoundTrip(value, 8 * (digits + spare(random)), kUnpacked);
  }
}
