#include "COtxInt.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "COtxByteField.h"
#include "COtxException.h"
#include "TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;
using enum OTX::Encoding;
using enum OTX::Endianness;
// BCD with two 4-bit digits per byte, and with one digit per byte.
constexpr auto kPacked = OTX::PackedBinaryCodedDecimal, kUnpacked = OTX::UnpackedBinaryCodedDecimal;

constexpr long long kMin = std::numeric_limits<long long>::min();
constexpr long long kMax = std::numeric_limits<long long>::max();

// count bytes of fill, then tail.
Bytes Padded(std::size_t count, unsigned char fill, const Bytes& tail = {}) {
  Bytes bytes(count, fill);
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

std::string Describe(const Bytes& bytes, int bitLength, OTX::Encoding encoding,
                     OTX::Endianness endianness) {
  std::string text = std::to_string(bytes.size()) + " bytes, " + std::to_string(bitLength) +
                     " bits, encoding " + std::to_string(static_cast<int>(encoding)) +
                     (endianness == BigEndian ? ", big-endian:" : ", little-endian:");
  static const char kDigits[] = "0123456789ABCDEF";
  for (const unsigned char byte : bytes) {
    text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

// Opens the protected decoders for the cases the constructor cannot reach.
class Decoder : public COtxIntBehaviour {
 public:
  using COtxIntBehaviour::GetBinaryCodedDecimalValueFromByteField;
  using COtxIntBehaviour::GetUnsignedValueFromByteField;
  using COtxIntBehaviour::IsNegative;
};

}  // namespace

TEST(IntDecoding, ReadsTheLeastSignificantEndInEachEncoding) {
  struct Case {
    Bytes bytes;
    int bitLength;
    OTX::Encoding encoding;
    OTX::Endianness endianness;
    long long expected;
  };
  const Bytes top = Padded(7, 0x00, {0x80});  // only the top bit of 64, little-endian
  const Case cases[] = {
      {{0x12, 0x34}, 12, Unsigned, BigEndian, 0x234},
      {{0x12, 0x34}, 12, Unsigned, LittleEndian, 0x412},
      {{0x01, 0x02}, 8, Unsigned, LittleEndian, 1},
      {{0xFF}, 0, TwosComplement, BigEndian, 0},
      {{0xFF}, 8, SignedBinary, BigEndian, -127},
      {{0xFF}, 8, OnesComplement, BigEndian, 0},  // negative zero
      {{0xFF}, 8, TwosComplement, BigEndian, -1},
      {{0x80}, 8, SignedBinary, BigEndian, 0},
      {{0x80}, 8, OnesComplement, BigEndian, -127},
      {{0x80}, 8, TwosComplement, BigEndian, -128},
      {{0x01}, 1, TwosComplement, BigEndian, -1},
      {{0x01}, 1, SignedBinary, BigEndian, 0},
      {{0x0F, 0xFD}, 12, OnesComplement, BigEndian, -2},
      {top, 64, TwosComplement, LittleEndian, kMin},
      {top, 64, SignedBinary, LittleEndian, 0},
      {top, 64, OnesComplement, LittleEndian, -kMax},
      {Bytes(8, 0xFF), 64, SignedBinary, BigEndian, -kMax},
      {Bytes(8, 0xFF), 64, OnesComplement, BigEndian, 0},
      {Padded(1, 0x7F, Bytes(7, 0xFF)), 64, Unsigned, BigEndian, kMax},
      // Bytes in front of the 64-bit run fall off, and its own top bit decides.
      {Padded(1, 0xFF, Padded(7, 0x00, {0x01})), 64, Unsigned, BigEndian, 1},
      {{0x12, 0x34}, 16, kPacked, BigEndian, 1234},
      {{0x12, 0x34}, 12, kPacked, LittleEndian, 123},  // BCD reads from the start
      {{0x01, 0x02}, 16, kUnpacked, BigEndian, 12},
      {{0x12}, 0, kPacked, BigEndian, 0},
      {Padded(10, 0x00, {0x12, 0x34}), 96, kPacked, BigEndian, 1234},
      {Padded(9, 0x99), 72, kPacked, BigEndian, 999999999999999999},
      {{0x92, 0x23, 0x37, 0x20, 0x36, 0x85, 0x47, 0x75, 0x80, 0x70}, 76, kPacked, BigEndian, kMax},
      {{0x12, 0x34}, 16, NoEncoding, BigEndian, 0},
      {{0x12, 0x34}, 16, static_cast<OTX::Encoding>(7), BigEndian, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.bytes, c.bitLength, c.encoding, c.endianness));
    const COtxInt decoded(c.bytes, c.bitLength, c.encoding, c.endianness, COtxInt::HEX);
    EXPECT_EQ(decoded.Int(), c.expected);
    EXPECT_EQ(decoded.Type(), OTX::INTEGER);
    EXPECT_EQ(
        std::dynamic_pointer_cast<COtxIntBehaviour>(decoded.GetBehaviourReference())->GetRadix(),
        COtxInt::HEX);
  }
}

TEST(IntDecoding, RejectsFieldsThatHoldNoSuchInteger) {
  struct Case {
    Bytes bytes;
    int bitLength;
    OTX::Encoding encoding;
    OTX::Endianness endianness;
    const char* message;
  };
  const Case cases[] = {
      {Padded(1, 0x80, Bytes(7, 0x00)), 64, Unsigned, BigEndian, ""},
      {Padded(7, 0x00, {0x80}), 64, Unsigned, LittleEndian, ""},
      {Padded(1, 0x00, Padded(1, 0x80, Bytes(7, 0x00))), 64, Unsigned, BigEndian, ""},
      {Bytes(9, 0x00), 65, TwosComplement, BigEndian, ""},
      {Bytes(9, 0x00), 65, NoEncoding, BigEndian, ""},
      {{0x01}, 16, Unsigned, BigEndian, "Not enough bytes specified"},
      {{}, 8, Unsigned, BigEndian, "Some bytes must be specified"},
      {{}, 0, TwosComplement, LittleEndian, "Some bytes must be specified"},
      {{0x1A}, 8, kPacked, BigEndian, "Invalid BCD value"},
      {{0x0A}, 8, kUnpacked, BigEndian, "Invalid BCD value"},
      {{0x12}, 6, kPacked, BigEndian, "Invalid BCD byte field bit length"},
      {{0x12, 0x34}, 12, kUnpacked, BigEndian, "Invalid BCD byte field bit length"},
      {{0x12, 0x34}, 24, kPacked, BigEndian, "Insufficient BCD bytes"},
      {Padded(10, 0x99), 80, kPacked, BigEndian, "BCD value too big for integer"},
      {Padded(10, 0x99), 76, kPacked, BigEndian, "BCD value too big for integer"},
      // One above the maximum, and a value whose tenfold wraps to something larger.
      {{0x92, 0x23, 0x37, 0x20, 0x36, 0x85, 0x47, 0x75, 0x80, 0x80},
       76,
       kPacked,
       BigEndian,
       "BCD value too big for integer"},
      {Padded(1, 0x42, Bytes(9, 0x00)), 80, kPacked, BigEndian, "BCD value too big for integer"},
      {{0x12}, -1, TwosComplement, BigEndian, "Bit length out of range"},
      {{0x12}, -4, kPacked, BigEndian, "Bit length out of range"},
      {{0x12}, -8, NoEncoding, BigEndian, "Bit length out of range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.bytes, c.bitLength, c.encoding, c.endianness));
    EXPECT_OTX_THROW(COtxInt(c.bytes, c.bitLength, c.encoding, c.endianness),
                     OTX::OutOfBoundsException, c.message);
  }
}

TEST(IntDecoding, ProtectedDecodersCheckTheirOwnArguments) {
  const Decoder decoder;
  EXPECT_OTX_THROW(decoder.GetUnsignedValueFromByteField(Bytes(9, 0x00), 65, true, false),
                   OTX::OutOfBoundsException, "Bit length out of range");
  EXPECT_OTX_THROW(decoder.GetBinaryCodedDecimalValueFromByteField(0, {0x12}, 8),
                   OTX::OutOfBoundsException, "BCD digit width out of range");
  EXPECT_TRUE(decoder.IsNegative(0x80, 8));
  EXPECT_FALSE(decoder.IsNegative(0x7F, 8));
  EXPECT_TRUE(decoder.IsNegative(-1, 64));
  EXPECT_FALSE(decoder.IsNegative(kMax, 64));
  EXPECT_FALSE(decoder.IsNegative(-1, 0));  // no bits, no sign
  EXPECT_FALSE(decoder.IsNegative(-1, 65));
}

namespace {

// Encodes value and decodes the bytes again, which must give value back.
void ExpectRoundTrip(long long value, int bitLength, OTX::Encoding encoding,
                     OTX::Endianness endianness) {
  SCOPED_TRACE(std::to_string(value) + " as " + Describe({}, bitLength, encoding, endianness));
  Bytes bytes;
  ASSERT_NO_THROW(bytes = static_cast<const Bytes&>(
                      COtxByteField(value, bitLength, encoding, endianness).ByteField()));
  SCOPED_TRACE(Describe(bytes, bitLength, encoding, endianness));
  EXPECT_EQ(bytes.size(), static_cast<std::size_t>((bitLength + 7) / 8));
  long long decoded = 0;
  ASSERT_NO_THROW(decoded = COtxInt(bytes, bitLength, encoding, endianness).Int());
  EXPECT_EQ(decoded, value);
}

// The smallest and largest value of bitLength bits (1 to 64) in a binary encoding.
std::pair<long long, long long> RangeOf(OTX::Encoding encoding, int bitLength) {
  if (encoding == Unsigned) {
    return {0, bitLength == 64 ? kMax : static_cast<long long>((1ULL << bitLength) - 1)};
  }
  const auto high = static_cast<long long>((1ULL << (bitLength - 1)) - 1);
  return {encoding == TwosComplement ? -high - 1 : -high, high};
}

}  // namespace

TEST(IntDecodingRoundTrip, BinaryEncodingsGiveTheValueBackAndRejectItsNeighbours) {
  std::mt19937_64 random(0x6B65736D6172ULL);
  for (int bitLength = 1; bitLength <= 64; ++bitLength) {
    for (const OTX::Encoding encoding : {SignedBinary, OnesComplement, TwosComplement, Unsigned}) {
      const auto [low, high] = RangeOf(encoding, bitLength);
      std::vector<long long> values = {low, high, 0};
      std::uniform_int_distribution<long long> anywhere(low, high);
      std::uniform_int_distribution<int> shift(0, bitLength - 1);
      // Uniform values are nearly all of full width; shifting reaches the short ones too.
      for (int i = 0; i < 16; ++i) values.push_back(anywhere(random) >> shift(random));
      for (const long long value : values) {
        for (const OTX::Endianness endianness : {LittleEndian, BigEndian}) {
          ExpectRoundTrip(value, bitLength, encoding, endianness);
        }
      }

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
  std::uniform_int_distribution<int> shift(0, 62);
  std::uniform_int_distribution<int> spare(0, 3);
  std::vector<long long> values = {0, 9, 10, kMax};
  for (int i = 0; i < 200; ++i) values.push_back(anywhere(random) >> shift(random));
  for (const long long value : values) {
    const int digits = static_cast<int>(std::to_string(value).size());
    for (const auto& [encoding, width] : {std::pair{kPacked, 4}, std::pair{kUnpacked, 8}}) {
      const int bitLength = width * (digits + spare(random));
      for (const OTX::Endianness endianness : {LittleEndian, BigEndian}) {
        ExpectRoundTrip(value, bitLength, encoding, endianness);
      }
    }
  }
}
