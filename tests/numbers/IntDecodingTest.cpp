#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>
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
constexpr auto kPacked = OTX::PackedBinaryCodedDecimal, kUnpacked = OTX::UnpackedBinaryCodedDecimal;

constexpr long long kMin = std::numeric_limits<long long>::min();
constexpr long long kMax = std::numeric_limits<long long>::max();
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
