#include "COtxByteField.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

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

std::string Describe(long long value, int bitLength, OTX::Encoding encoding) {
  return std::to_string(value) + " in " + std::to_string(bitLength) + " bits, encoding " +
         std::to_string(static_cast<int>(encoding));
}

}  // namespace

TEST(ByteFieldEncoding, WritesEachEncodingInEitherByteOrder) {
  struct Case {
    long long value;
    int bitLength;
    OTX::Encoding encoding;
    OTX::Endianness endianness;
    Bytes expected;
  };
  const Case cases[] = {
      {300, 16, kUnsigned, LittleEndian, {0x2C, 0x01}},
      {300, 16, kUnsigned, BigEndian, {0x01, 0x2C}},
      {255, 8, kUnsigned, LittleEndian, {0xFF}},
      {0, 8, kUnsigned, LittleEndian, {0x00}},
      {0, 0, kUnsigned, LittleEndian, {}},
      {0, 0, kTwos, BigEndian, {}},
      {-1, 8, kTwos, LittleEndian, {0xFF}},
      {-128, 8, kTwos, LittleEndian, {0x80}},
      {-5, 8, kSigned, LittleEndian, {0x85}},
      {-5, 8, kOnes, LittleEndian, {0xFA}},
      {-5, 8, OTX::NoEncoding, LittleEndian, {0x85}},  // sign and magnitude
      {-1, 9, kTwos, LittleEndian, {0xFF, 0x01}},
      {-1, 9, kTwos, BigEndian, {0x01, 0xFF}},
      {-1, 1, kTwos, LittleEndian, {0x01}},
      {-2, 12, kOnes, BigEndian, {0x0F, 0xFD}},
      {-1, 64, kUnsigned, BigEndian, Bytes(8, 0xFF)},  // the two's-complement pattern
      {kMin, 64, kTwos, BigEndian, {0x80, 0, 0, 0, 0, 0, 0, 0}},
      {-kMax, 64, kSigned, LittleEndian, Bytes(8, 0xFF)},
      {-kMax, 64, kOnes, BigEndian, {0x80, 0, 0, 0, 0, 0, 0, 0}},
      // Wider than 64 bits: magnitudes and unsigned values are zero-extended, complements
      // sign-extended, and the sign bit is the field's top bit.
      {-1, 72, kTwos, BigEndian, Bytes(9, 0xFF)},
      {-1, 70, kTwos, LittleEndian, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F}},
      {-5, 72, kOnes, LittleEndian, {0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {-5, 72, kSigned, BigEndian, {0x80, 0, 0, 0, 0, 0, 0, 0, 0x05}},
      {kMin, 65, kTwos, LittleEndian, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01}},
      {kMin, 65, kSigned, BigEndian, {0x01, 0x80, 0, 0, 0, 0, 0, 0, 0}},
      {300, 72, kUnsigned, BigEndian, {0, 0, 0, 0, 0, 0, 0, 0x01, 0x2C}},
      // BCD ignores the byte order and right-aligns its digits within the bit length.
      {123, 16, kPacked, LittleEndian, {0x01, 0x23}},
      {123, 16, kPacked, BigEndian, {0x01, 0x23}},
      {123, 12, kPacked, LittleEndian, {0x12, 0x30}},
      {123, 32, kUnpacked, LittleEndian, {0x00, 0x01, 0x02, 0x03}},
      {0, 8, kPacked, LittleEndian, {0x00}},
      {7, 4, kPacked, LittleEndian, {0x70}},
      {kMax, 80, kPacked, BigEndian, {0x09, 0x22, 0x33, 0x72, 0x03, 0x68, 0x54, 0x77, 0x58, 0x07}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.value, c.bitLength, c.encoding));
    EXPECT_EQ(BytesOf(COtxByteField(c.value, c.bitLength, c.encoding, c.endianness)), c.expected);
  }
}

TEST(ByteFieldEncoding, ValuesOutsideTheEncodingsRangeDoNotFit) {
  struct Case {
    long long value;
    int bitLength;
    OTX::Encoding encoding;
    bool fits;
  };
  const Case cases[] = {
      {128, 8, kTwos, false},    {-128, 8, kTwos, true},     {-129, 8, kTwos, false},
      {-128, 8, kSigned, false}, {-127, 8, kSigned, true},   {-128, 8, kOnes, false},
      {255, 8, kUnsigned, true}, {256, 8, kUnsigned, false}, {-1, 63, kUnsigned, false},
      {-1, 64, kUnsigned, true}, {-1, 65, kUnsigned, false}, {kMax, 62, kUnsigned, false},
      {kMin, 64, kTwos, true},   {kMin, 64, kSigned, false}, {kMin, 64, kOnes, false},
      {kMin, 65, kOnes, true},   {kMax, 64, kSigned, true},  {kMax, 1000, kTwos, true},
      {1, 0, kUnsigned, false},  {-1, 0, kTwos, false},      {1, 1, kTwos, false},
      {1, 1, kUnsigned, true},   {1, 1, kSigned, false},     {300, 8, OTX::NoEncoding, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.value, c.bitLength, c.encoding));
    if (c.fits) {
      EXPECT_NO_THROW(COtxByteField(c.value, c.bitLength, c.encoding, BigEndian));
    } else {
      EXPECT_OTX_THROW(COtxByteField(c.value, c.bitLength, c.encoding, BigEndian),
                       OTX::OutOfBoundsException,
                       "Value " + std::to_string(c.value) + " does not fit in " +
                           std::to_string(c.bitLength) + " bits");
    }
  }
}

TEST(ByteFieldEncoding, RejectsBcdItCannotWriteAndNegativeBitLengths) {
  struct Case {
    long long value;
    int bitLength;
    OTX::Encoding encoding;
    const char* message;
  };
  const Case cases[] = {
      {100, 8, kPacked, "Bit length not big enough for BCD value"},
      {10, 8, kUnpacked, "Bit length not big enough for BCD value"},
      {0, 0, kPacked, "Bit length not big enough for BCD value"},  // 0 is one digit,
      {-1, 8, kPacked, "Can't BCD encode a negative value"},
      {1, 10, kPacked, "Invalid BCD bit length"},
      {1, 12, kUnpacked, "Invalid BCD bit length"},
      {0, -1, kTwos, "Bit length out of range"},
      {0, -8, kPacked, "Bit length out of range"},
      {0, INT_MIN, kUnsigned, "Bit length out of range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.value, c.bitLength, c.encoding));
    EXPECT_OTX_THROW(COtxByteField(c.value, c.bitLength, c.encoding, LittleEndian),
                     OTX::OutOfBoundsException, c.message);
  }
}

TEST(ByteFieldEncoding, BitMasksAreBigEndianAndReplaceTheOutput) {
  struct Case {
    int width;
    int offset;
    Bytes expected;
  };
  const Case cases[] = {
      {4, 2, {0x3C}},
      {4, 6, {0x03, 0xC0}},
      {16, 0, {0xFF, 0xFF}},
      {32, 0, {0xFF, 0xFF, 0xFF, 0xFF}},
      {64, 0, Bytes(8, 0xFF)},
      {1, 63, {0x80, 0, 0, 0, 0, 0, 0, 0}},
      {0, 0, {}},
      {0, 64, Bytes(8, 0x00)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " bits at " + std::to_string(c.offset));
    Bytes out = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(COtxByteField::CreateBitMask(c.width, c.offset, out),
              static_cast<int>(c.expected.size()));
    EXPECT_EQ(out, c.expected);
  }

  Bytes out = {0xAA};
  EXPECT_STD_THROW(COtxByteField::CreateBitMask(60, 8, out), std::runtime_error,
                   "Bitmask > 64 bits unsupported");
  EXPECT_STD_THROW(COtxByteField::CreateBitMask(INT_MAX, 1, out), std::runtime_error,
                   "Bitmask > 64 bits unsupported");
  EXPECT_OTX_THROW(COtxByteField::CreateBitMask(-1, 8, out), OTX::OutOfBoundsException,
                   "Bit mask width out of range");
  EXPECT_OTX_THROW(COtxByteField::CreateBitMask(8, -1, out), OTX::OutOfBoundsException,
                   "Bit mask offset out of range");
  EXPECT_EQ(out, Bytes{0xAA});
}

TEST(ByteFieldEncoding, NumberOfBytesForBitsRoundsUp) {
  EXPECT_EQ(COtxByteField::NumberOfBytesForBits(0, 0), 0);
  EXPECT_EQ(COtxByteField::NumberOfBytesForBits(1, 0), 1);
  EXPECT_EQ(COtxByteField::NumberOfBytesForBits(8, 0), 1);
  EXPECT_EQ(COtxByteField::NumberOfBytesForBits(4, 5), 2);
  EXPECT_EQ(COtxByteField::NumberOfBytesForBits(INT_MAX, INT_MAX), 536870912);
}

TEST(ByteFieldEncoding, MergeOrsTheShiftedSourceIntoTheTarget) {
  struct Case {
    Bytes target;
    Bytes source;
    int position, shift, bitLength;
    Bytes expected;
  };
  const Case cases[] = {
      {{0x00, 0x00}, {0x0F}, 0, 4, 4, {0xF0, 0x00}},
      {{0x01}, {0xAA}, -1, 0, 8, {0x01, 0xAA}},
      {{0x01}, {0xAA}, 0, 0, 0, {0x01}},  // no bits: no change
      {{}, {0x0F}, 0, 4, 4, {0xF0}},
      {{0x01}, {0x0F}, 2, 0, 8, {0x01, 0x00, 0x0F}},               // grows across a gap
      {{0x00}, {0x81}, 0, 1, 8, {0x01, 0x02}},                     // the run spans two bytes
      {{0x00, 0x00, 0x00}, {0x0F}, 1, 0, 16, {0x00, 0x0F, 0x00}},  // shift 0: not aligned
      {{0x10, 0x01}, {0x0F, 0xFF}, 0, 4, 12, {0xFF, 0xF1}},        // ORs, never clears
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.position) + " " + std::to_string(c.shift) + " " +
                 std::to_string(c.bitLength));
    Bytes target = c.target;
    EXPECT_EQ(COtxByteField::MergeByteField(target, c.source, c.position, c.shift, c.bitLength),
              static_cast<int>(8 * c.expected.size()));
    EXPECT_EQ(target, c.expected);

    // The member form changes the shared field in place.
    const COtxByteField field(c.target);
    const CKesmar sharer = field;
    field.ByteField().MergeByteField(c.source, c.position, c.shift, c.bitLength);
    EXPECT_EQ(BytesOf(sharer), c.expected);
  }
}

TEST(ByteFieldEncoding, MergeRejectsArgumentsThatWouldWriteOutsideTheRun) {
  struct Case {
    Bytes source;
    int position, shift, bitLength;
    const char* message;
  };
  const Case cases[] = {
      {{0xAA, 0xBB}, 0, 0, 8, "Source too long for the bit length"},
      {{0x00, 0xAA, 0xBB}, 0, 4, 12, "Source too long for the bit length"},
      {{0x0F}, 0, 8, 4, "Bit shift out of range"},
      {{0x0F}, 0, -1, 4, "Bit shift out of range"},
      {{0x0F}, -2, 0, 4, "Byte position out of range"},
      {{0x0F}, 0, 0, -1, "Bit length out of range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Bytes target = {0x12, 0x34};
    EXPECT_OTX_THROW(
        COtxByteField::MergeByteField(target, c.source, c.position, c.shift, c.bitLength),
        OTX::OutOfBoundsException, c.message);
    EXPECT_EQ(target, (Bytes{0x12, 0x34}));
  }
}

TEST(ByteFieldEncoding, MergeOfAFieldIntoItselfReadsItBeforeGrowing) {
  const COtxByteField field(Bytes{0x01, 0x02});
  field.ByteField().MergeByteField(BytesOf(field), 1, 0, 16);
  EXPECT_EQ(BytesOf(field), (Bytes{0x01, 0x03, 0x02}));
}

TEST(ByteFieldEncoding, CondenseAndExpandThroughAMask) {
  const COtxByteField mask(Bytes{0xFF, 0x00, 0x0F});
  const COtxByteField field(Bytes{0x12, 0x34, 0x56});
  field.ByteField().Condense(mask);
  EXPECT_EQ(BytesOf(field), (Bytes{0x12, 0x06}));
  field.ByteField().Expand(mask, 0);
  EXPECT_EQ(BytesOf(field), (Bytes{0x12, 0x00, 0x06}));

  struct Case {
    Bytes field;
    Bytes mask;
    int keep;
    Bytes expected;
  };
  const Case expansions[] = {
      {{0xAB, 0x12, 0x06}, {0xFF, 0x00, 0x0F}, 1, {0xAB, 0x12, 0x00, 0x06}},
      {{0x12, 0x06, 0x07}, {0xFF}, 0, {0x12}},  // unused source bytes are dropped
      {{0x12}, {0x00, 0x00}, 1, {0x12, 0x00, 0x00}},
      {{0x12}, {}, 0, {}},
  };
  for (const Case& c : expansions) {
    const COtxByteField expanded(c.field);
    expanded.ByteField().Expand(COtxByteField(c.mask), c.keep);
    EXPECT_EQ(BytesOf(expanded), c.expected);
  }

  const COtxByteField zeros(Bytes{0x12, 0x34});
  zeros.ByteField().Condense(COtxByteField(Bytes{0x00, 0x00}));
  EXPECT_TRUE(BytesOf(zeros).empty());
}

TEST(ByteFieldEncoding, FailedCondenseAndExpandLeaveTheFieldAlone) {
  const Bytes original = {0x12};
  const COtxByteField field(original);
  EXPECT_OTX_THROW(field.ByteField().Condense(COtxByteField(Bytes{0xFF, 0xFF})),
                   OTX::OutOfBoundsException,
                   "Mask must be the same length as byte field for condensing");
  EXPECT_OTX_THROW(field.ByteField().Expand(COtxByteField(Bytes{0xFF, 0xFF}), 0),
                   OTX::OutOfBoundsException, "Source must contain enough bytes to expand");
  EXPECT_OTX_THROW(field.ByteField().Expand(COtxByteField(Bytes{0x00}), -1),
                   OTX::OutOfBoundsException, "Keep count out of range");
  EXPECT_OTX_THROW(field.ByteField().Expand(COtxByteField(Bytes{0x00}), 2),
                   OTX::OutOfBoundsException, "Keep count out of range");
  EXPECT_EQ(BytesOf(field), original);
}

// A field used as its own mask acts as a snapshot of itself taken before the change.
TEST(ByteFieldEncoding, CondenseAndExpandWithTheFieldAsItsOwnMask) {
  const COtxByteField condensed(Bytes{0x12, 0x00, 0x34});
  condensed.ByteField().Condense(condensed);
  EXPECT_EQ(BytesOf(condensed), (Bytes{0x12, 0x34}));

  // Mask 12 00 34 over the source bytes 12 00: 12 AND 12, a zero, 00 AND 34.
  const COtxByteField expanded(Bytes{0x12, 0x00, 0x34});
  expanded.ByteField().Expand(expanded, 0);
  EXPECT_EQ(BytesOf(expanded), (Bytes{0x12, 0x00, 0x00}));
}
