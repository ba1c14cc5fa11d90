#include "COtxByteField.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "COtxBool.h"
#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Of(const CKesmar& field) { return static_cast<const Bytes&>(field.ByteField()); }

TEST(ByteFieldConstruction, LenientHexText) {
  const std::vector<std::pair<std::string, Bytes>> cases = {
      {"", {}},
      {"9aFAf", {0x09, 0xAF, 0xAF}},  // an odd first digit stands alone
      {"-1", {0xFF}},                 // a sign is accepted; the low 8 bits stay
      {"1G", {0x01}},                 // reading stops at the first non-digit
      {" 1", {0x01}}};
  for (const auto& [text, bytes] : cases) EXPECT_EQ(Of(COtxByteField(text)), bytes) << text;
  EXPECT_STD_THROW(COtxByteField{std::string("ZZ")}, std::invalid_argument,
                   "invalid stoi argument");
}

TEST(ByteFieldConstruction, TextInAStringEncoding) {
  const std::tuple<std::string, COtxStringEncoding::Encoding, Bytes> cases[] = {
      {"\xC3\xA9", COtxStringEncoding::UTF_8, {0xC3, 0xA9}},
      {"\xC3\xA9", COtxStringEncoding::ISO_8859_1, {0xE9}},
      {"0A00FG", COtxStringEncoding::HEX, {0x0A, 0x00, 0x0F}},
      {"", COtxStringEncoding::BIN, {}}};
  for (const auto& [text, encoding, bytes] : cases) {
    EXPECT_EQ(Of(COtxByteField(text, encoding)), bytes) << text;
  }
  EXPECT_OTX_THROW(COtxByteField("ABC", COtxStringEncoding::HEX), OTX::OutOfBoundsException,
                   "HEX string must contain an even number of chars");
  EXPECT_OTX_THROW(COtxByteField("GG", COtxStringEncoding::HEX), OTX::OutOfBoundsException,
                   "GG is not a valid for a hex string");
  EXPECT_OTX_THROW(COtxByteField("\xE2\x82\xAC", COtxStringEncoding::ISO_8859_1),
                   OTX::OutOfBoundsException, "ISO-8859-1");
  EXPECT_OTX_THROW(COtxByteField("1", COtxStringEncoding::OCT), OTX::UnsupportedEncodingException,
                   "OCT");
  EXPECT_OTX_THROW(COtxByteField("1", static_cast<COtxStringEncoding::Encoding>(-3)),
                   OTX::UnsupportedEncodingException, "encoding -3");
}

TEST(ByteFieldConstruction, RawDataStreamAndObjectForm) {
  const std::tuple<Bytes, OTX::Encoding, int, Bytes> cases[] = {
      {{0x12}, OTX::PackedBinaryCodedDecimal, 12, {0x01, 0x20}},
      {{0x12}, OTX::PackedBinaryCodedDecimal, 24, {0x00, 0x00, 0x12}},
      {{0x12, 0x34}, OTX::PackedBinaryCodedDecimal, 8, {0x12}},
      {{0x09}, OTX::UnpackedBinaryCodedDecimal, 16, {0x00, 0x09}},
      {{0xAB, 0xCD}, OTX::NoEncoding, -1, {0xAB, 0xCD}},
      {{0xAB}, OTX::NoEncoding, 20, {0xAB, 0x00, 0x00}}};
  for (const auto& [data, encoding, bitLength, bytes] : cases) {
    EXPECT_EQ(Of(COtxByteField(data.data(), static_cast<int>(data.size()), encoding, bitLength)),
              bytes);
  }
  const unsigned char invalid[] = {0x1A};
  EXPECT_OTX_THROW(COtxByteField(invalid, 1, OTX::PackedBinaryCodedDecimal, -1),
                   OTX::OutOfBoundsException, "");
  EXPECT_OTX_THROW(COtxByteField(invalid, 1, OTX::Unsigned, -1), OTX::UnsupportedEncodingException,
                   "");
  EXPECT_OTX_THROW(COtxByteField(invalid, -1, OTX::NoEncoding, -1), OTX::OutOfBoundsException,
                   "Data length out of range");
  EXPECT_OTX_THROW(COtxByteField(nullptr, 2, OTX::NoEncoding, -1), OTX::OutOfBoundsException,
                   "Data missing");
  EXPECT_TRUE(Of(COtxByteField(nullptr, 0, OTX::NoEncoding, -1)).empty());
  std::istringstream stream("AB");
  EXPECT_EQ(Of(COtxByteField(stream, 4)), (Bytes{0x41, 0x42, 0x00, 0x00}));
  EXPECT_OTX_THROW(COtxByteField(stream, -1), OTX::OutOfBoundsException, "Byte count out of range");
  const CKesmar object = COtxMap(std::map<CKesmar, CKesmar>{
      {COtxString("type"), COtxString("ByteField")}, {COtxString("value"), COtxString("0A0B")}});
  EXPECT_EQ(Of(COtxByteField(object)), (Bytes{0x0A, 0x0B}));
}

TEST(ByteFieldCompare, LexicographicAndUnorderedAgainstOtherTypes) {
  const COtxByteField a(Bytes{0x01, 0x02}), longer(Bytes{0x01, 0x02, 0x00});
  EXPECT_TRUE(a < longer && a <= longer && a != longer);
  EXPECT_TRUE(COtxByteField(Bytes{0x02}) > COtxByteField(Bytes{0x01, 0xFF}));
  EXPECT_TRUE(a == CKesmar(COtxByteField(Bytes{0x01, 0x02})));
  const COtxInt one(1);
  EXPECT_TRUE(!(a == one) && a != one && !(a < one) && !(a >= one));
}

TEST(ByteFieldConvert, IntegerAndFloatFromLittleEndianBytes) {
  const std::pair<Bytes, long long> integers[] = {
      {{0xFF}, -1},
      {{0xFF, 0x00}, 255},
      {{0, 0, 0, 0, 0, 0, 0, 0x80}, std::numeric_limits<long long>::min()}};
  for (const auto& [bytes, value] : integers)
    EXPECT_EQ(COtxByteField(bytes).ToInteger().Int(), value);
  EXPECT_OTX_THROW(COtxByteField(Bytes(9)).ToInteger(), OTX::OutOfBoundsException, "");
  EXPECT_OTX_THROW(COtxByteField().ToInteger(), OTX::OutOfBoundsException, "");
  EXPECT_EQ(COtxByteField(Bytes{0x00, 0x00, 0x80, 0x3F}).ToFloat().Float(), 1.0);
  EXPECT_EQ(COtxByteField(Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0xBF}).ToFloat().Float(), -1.0);
  EXPECT_EQ(COtxByteField(Bytes{0, 0, 0x80, 0x3F}).ToFloat().Precision(), 16);
  EXPECT_OTX_THROW(COtxByteField(Bytes(3)).ToFloat(), OTX::OutOfBoundsException, "");
}

TEST(ByteFieldConvert, TextBooleanAndOtherTypesToByteField) {
  const COtxByteField ab(Bytes{0x41, 0x42});
  EXPECT_EQ(ab.ToString().String(), "AB");
  std::ostringstream out;
  out << COtxByteField(Bytes{0x0A, 0xBC});
  EXPECT_EQ(out.str(), "0ABC");
  EXPECT_TRUE(ab.ToBoolean().Bool());
  EXPECT_FALSE(COtxByteField().ToBoolean().Bool());
  const std::pair<CKesmar, Bytes> cases[] = {
      {COtxBool(false), {0x00}},
      {COtxBool(true), {0x01}},
      {COtxInt(128), {0x80, 0x00}},
      {COtxFloat(0.1, 3), {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}},
      {COtxString("AB"), {0x41, 0x42}}};
  for (const auto& [value, bytes] : cases) {
    const CKesmar field = value.ToByteField();
    EXPECT_EQ(field.Type(), OTX::BYTEFIELD);
    EXPECT_EQ(Of(field), bytes) << value.ToString().String();
  }
}

TEST(ByteFieldSharing, HandleCopiesShareAndToByteFieldCopies) {
  const COtxByteField field(Bytes{0x01});
  const CKesmar shared = field;
  const CKesmar copy = field.GetBehaviourReference()->ToByteField();
  EXPECT_EQ(shared.ToByteField().GetBehaviourReference(), field.GetBehaviourReference());
  field.ByteField().push_back(0x02);
  EXPECT_EQ(Of(shared), (Bytes{0x01, 0x02}));
  EXPECT_EQ(Of(copy), (Bytes{0x01}));
}

}  // namespace

namespace {

constexpr const char* kByteIndex = "Byte index out of range";
constexpr const char* kBitIndex = "Bit index out of range";
constexpr const char* kReplaceIndex = "Replace index out of range";

CKesmar Field(Bytes bytes) { return COtxByteField(std::move(bytes)); }

// Bit p of the result (p = 0 the top bit of byte 0) is bit p + offset of the input.
Bytes ReferenceShift(const Bytes& bytes, long long offset) {
  const auto bits = 8 * static_cast<long long>(bytes.size());
  Bytes out(bytes.size(), 0);
  for (long long p = 0; p < bits; ++p) {
    const long long from = p + offset;
    if (from >= 0 && from < bits && (bytes[from / 8] >> (7 - from % 8) & 1) != 0) {
      out[p / 8] |= static_cast<unsigned char>(0x80 >> (p % 8));
    }
  }
  return out;
}

}  // namespace

TEST(ByteFieldLogic, PadsTheShorterOperandAtTheFront) {
  const CKesmar a = Field({0x01, 0x02}), b = Field({0xFF});
  EXPECT_EQ(Of(a.ByteField() & b), (Bytes{0x00, 0x02}));
  EXPECT_EQ(Of(b.ByteField() & a), (Bytes{0x00, 0x02}));
  EXPECT_EQ(Of(a.ByteField() | b), (Bytes{0x01, 0xFF}));
  EXPECT_EQ(Of(a.ByteField() ^ b), (Bytes{0x01, 0xFD}));
  EXPECT_EQ(Of(a), (Bytes{0x01, 0x02}));  // the operands are unchanged
  EXPECT_EQ(Of(b), Bytes{0xFF});

  // A whole 8-byte word plus a tail, and padding longer than a word.
  const CKesmar words = Field(Bytes(11, 0x3C));
  EXPECT_EQ(Of(~words.ByteField()), Bytes(11, 0xC3));
  EXPECT_EQ(Of(words.ByteField() | Field(Bytes(11, 0x81))), Bytes(11, 0xBD));
  EXPECT_EQ(Of(words.ByteField() & Field({0x0F, 0xF0, 0xFF})),
            (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0x0C, 0x30, 0x3C}));
  const CKesmar same = words.ByteField() & words;  // a new field, not the operand
  same.ByteField().SetBit(0, 7, true);
  EXPECT_EQ(Of(words), Bytes(11, 0x3C));
}

TEST(ByteFieldBits, SetAndGetAddressOneBitOfOneByte) {
  for (int bit = 0; bit < 8; ++bit) {
    const auto mask = static_cast<unsigned char>(1u << bit);
    const CKesmar field = Field({0x00, 0xFF});
    for (int twice = 0; twice < 2; ++twice) {
      field.ByteField().SetBit(0, bit, true);
      field.ByteField().SetBit(1, bit, false);
    }
    EXPECT_EQ(Of(field), (Bytes{mask, static_cast<unsigned char>(~mask)}));
    for (int other = 0; other < 8; ++other) {
      EXPECT_EQ(field.ByteField().GetBit(0, other), other == bit) << bit << " " << other;
      EXPECT_EQ(field.ByteField().GetBit(1, other), other != bit) << bit << " " << other;
    }
  }
  // The byte index is checked first.
  const std::tuple<int, int, const char*> errors[] = {
      {0, 8, kBitIndex},   {0, -1, kBitIndex}, {2, 0, kByteIndex},
      {-1, 0, kByteIndex}, {2, 8, kByteIndex}, {INT_MIN, INT_MAX, kByteIndex}};
  const CKesmar field = Field({0x5A, 0xA5});
  for (const auto& [byteIndex, bitIndex, message] : errors) {
    SCOPED_TRACE(std::to_string(byteIndex) + ", " + std::to_string(bitIndex));
    EXPECT_OTX_THROW(field.ByteField().GetBit(byteIndex, bitIndex), OTX::OutOfBoundsException,
                     message);
    EXPECT_OTX_THROW(field.ByteField().SetBit(byteIndex, bitIndex, true), OTX::OutOfBoundsException,
                     message);
  }
  EXPECT_EQ(Of(field), (Bytes{0x5A, 0xA5}));
}

// TestBits(byte, bit, count, expected) compares count bits from bit of the run's last byte
// toward byte 0. Rows give "true", "false" or the exception's message. A count of 0 or less
// tests nothing; a run reaching before byte 0 is false at a differing bit, else an error; the
// last rows would overflow if the last byte were computed in int.
TEST(ByteFieldBits, TestBitsRunsFromTheLastByteTowardByteZero) {
  const Bytes kMixed = {0x0F, 0xF0}, kOnes = {0xFF, 0xFF};
  const std::tuple<Bytes, int, int, int, bool, std::string> cases[] = {
      {kMixed, 0, 4, 8, true, "true"},
      {kMixed, 0, 4, 9, true, "false"},
      {kMixed, 1, 0, 4, false, "true"},
      {kOnes, 0, 3, 13, true, "true"},
      {kMixed, 1, 7, -6, true, "true"},
      {kMixed, 1, 0, -100, true, kByteIndex},  // the count moves the last byte below 0
      {{}, 0, 0, 0, true, kByteIndex},
      {kMixed, 2, 0, 1, true, kByteIndex},
      {kMixed, 1, 8, 1, true, kByteIndex},
      {kMixed, 0, 8, 1, true, kBitIndex},
      {kMixed, -1, 0, 16, true, "false"},
      {kOnes, -1, 0, 16, true, kBitIndex},
      {kMixed, 268435456, 0, INT_MIN, true, "true"},
      {kMixed, -268435455, 1, INT_MAX, true, "false"},
      {kOnes, -268435455, 1, INT_MAX, true, kBitIndex},
      {kMixed, INT_MAX, 7, INT_MAX, true, kByteIndex},
      {kMixed, INT_MIN, 0, INT_MIN, true, kByteIndex},
      {kMixed, 0, INT_MIN, INT_MAX, true, kBitIndex}};
  for (const auto& [bytes, byteIndex, bitIndex, count, expected, outcome] : cases) {
    SCOPED_TRACE(testing::Message() << byteIndex << ", " << bitIndex << ", " << count);
    const CKesmar field = Field(bytes);
    if (outcome == "true" || outcome == "false") {
      EXPECT_EQ(field.ByteField().TestBits(byteIndex, bitIndex, count, expected),
                outcome == "true");
    } else {
      EXPECT_OTX_THROW(field.ByteField().TestBits(byteIndex, bitIndex, count, expected),
                       OTX::OutOfBoundsException, outcome);
    }
  }
}

TEST(ByteFieldShift, KeepsTheLengthAndMatchesABitByBitShift) {
  // Random fields of 0 to 40 bytes, around and across the 8-byte words the shifts work on.
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  for (size_t length = 0; length <= 40; ++length) {
    Bytes bytes(length);
    for (auto& b : bytes) b = static_cast<unsigned char>(byte(random));
    std::vector<int> counts(8 * length + 10);
    std::iota(counts.begin(), counts.end(), 0);
    counts.push_back(INT_MAX);
    for (const int positions : counts) {
      SCOPED_TRACE(testing::PrintToString(bytes) + " by " + std::to_string(positions));
      const CKesmar shiftedLeft = Field(bytes), shiftedRight = Field(bytes);
      shiftedLeft.ByteField().ShiftLeft(positions);
      shiftedRight.ByteField().ShiftRight(positions);
      ASSERT_EQ(Of(shiftedLeft), ReferenceShift(bytes, positions));
      ASSERT_EQ(Of(shiftedRight), ReferenceShift(bytes, -static_cast<long long>(positions)));
    }
  }
}

TEST(ByteFieldReplace, OverwritesFromTheIndexGrowingAndAppends) {
  const CKesmar field = Field({0x01, 0x02, 0x03});
  field.ByteField().ReplaceSubByteField(Field({0xAA}), 1);
  field.ByteField().ReplaceSubByteField(Field({0xBB, 0xCC}), 2);  // grows
  field.ByteField().ReplaceSubByteField(Field({}), 1);
  field.ByteField().AppendByteField(Field({0xDD, 0xEE}));
  EXPECT_EQ(Of(field), (Bytes{0x01, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));

  // A field as its own source gives its bytes as they were before the operation, also when
  // growing moves them.
  const CKesmar self = Field({1, 2, 3});
  self.ByteField().AppendByteField(self);
  self.ByteField().ReplaceSubByteField(self, 4);
  EXPECT_EQ(Of(self), (Bytes{1, 2, 3, 1, 1, 2, 3, 1, 2, 3}));
  const CKesmar large = Field(Bytes(4096, 0x5A));
  large.ByteField().AppendByteField(large);
  EXPECT_EQ(Of(large), Bytes(8192, 0x5A));
}

TEST(ByteFieldReplace, FailingOperationsLeaveTheFieldUnchanged) {
  const CKesmar field = Field({0x12, 0x34}), source = Field({0xAA, 0xBB});
  EXPECT_OTX_THROW(field.ByteField().ShiftLeft(-1), OTX::OutOfBoundsException,
                   "Shift positions out of range");
  EXPECT_OTX_THROW(field.ByteField().ShiftRight(INT_MIN), OTX::OutOfBoundsException,
                   "Shift positions out of range");
  for (const long long index : {2LL, -1LL, LLONG_MAX}) {
    EXPECT_OTX_THROW(field.ByteField().ReplaceSubByteField(source, index),
                     OTX::OutOfBoundsException, kReplaceIndex);
  }
  EXPECT_OTX_THROW(field.ByteField().ReplaceSubByteField(COtxInt(7), 0), OTX::TypeMismatchException,
                   "INTEGER is not a BYTEFIELD");
  EXPECT_EQ(Of(field), (Bytes{0x12, 0x34}));
  EXPECT_OTX_THROW(Field({}).ByteField().ReplaceSubByteField(source, 0), OTX::OutOfBoundsException,
                   kReplaceIndex);
}
