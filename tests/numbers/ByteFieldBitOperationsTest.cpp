#include <gtest/gtest.h>

#include <climits>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "COtxByteField.h"
#include "COtxException.h"
#include "COtxInt.h"
#include "TestSupport.h"

namespace {

using ByteVector = std::vector<unsigned char>;

constexpr const char* kByteIndex = "Byte index out of range";
constexpr const char* kBitIndex = "Bit index out of range";
constexpr const char* kReplaceIndex = "Replace index out of range";

CKesmar Field(ByteVector bytes) { return COtxByteField(std::move(bytes)); }
ByteVector BytesOf(const CKesmar& field) { return field.ByteField(); }

// Bit p of the result (p = 0 the top bit of byte 0) is bit p + offset of the input.
ByteVector ReferenceShift(const ByteVector& bytes, long long offset) {
  const auto bits = 8 * static_cast<long long>(bytes.size());
  ByteVector out(bytes.size(), 0);
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
  EXPECT_EQ(BytesOf(a.ByteField() & b), (ByteVector{0x00, 0x02}));
  EXPECT_EQ(BytesOf(b.ByteField() & a), (ByteVector{0x00, 0x02}));
  EXPECT_EQ(BytesOf(a.ByteField() | b), (ByteVector{0x01, 0xFF}));
  EXPECT_EQ(BytesOf(a.ByteField() ^ b), (ByteVector{0x01, 0xFD}));
  EXPECT_EQ(BytesOf(a), (ByteVector{0x01, 0x02}));  // the operands are unchanged
  EXPECT_EQ(BytesOf(b), ByteVector{0xFF});

  // A whole 8-byte word plus a tail, and padding longer than a word.
  const CKesmar words = Field(ByteVector(11, 0x3C));
  EXPECT_EQ(BytesOf(~words.ByteField()), ByteVector(11, 0xC3));
  EXPECT_EQ(BytesOf(words.ByteField() | Field(ByteVector(11, 0x81))), ByteVector(11, 0xBD));
  EXPECT_EQ(BytesOf(words.ByteField() & Field({0x0F, 0xF0, 0xFF})),
            (ByteVector{0, 0, 0, 0, 0, 0, 0, 0, 0x0C, 0x30, 0x3C}));
  const CKesmar same = words.ByteField() & words;  // a new field, not the operand
  same.ByteField().SetBit(0, 7, true);
  EXPECT_EQ(BytesOf(words), ByteVector(11, 0x3C));
}

TEST(ByteFieldBits, SetAndGetAddressOneBitOfOneByte) {
  for (int bit = 0; bit < 8; ++bit) {
    const auto mask = static_cast<unsigned char>(1u << bit);
    const CKesmar field = Field({0x00, 0xFF});
    for (int twice = 0; twice < 2; ++twice) {
      field.ByteField().SetBit(0, bit, true);
      field.ByteField().SetBit(1, bit, false);
    }
    EXPECT_EQ(BytesOf(field), (ByteVector{mask, static_cast<unsigned char>(~mask)}));
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
  EXPECT_EQ(BytesOf(field), (ByteVector{0x5A, 0xA5}));
}

// TestBits(byte, bit, count, expected) compares count bits from bit of the run's last byte
// toward byte 0. Rows give "true", "false" or the exception's message. A count of 0 or less
// tests nothing; a run reaching before byte 0 is false at a differing bit, else an error; the
// last rows would overflow if the last byte were computed in int.
TEST(ByteFieldBits, TestBitsRunsFromTheLastByteTowardByteZero) {
  const ByteVector kMixed = {0x0F, 0xF0}, kOnes = {0xFF, 0xFF};
  const std::tuple<ByteVector, int, int, int, bool, std::string> cases[] = {
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
  const CKesmar left = Field({0x12, 0x34}), right = Field({0x12, 0x34});
  left.ByteField().ShiftLeft(4);
  right.ByteField().ShiftRight(4);
  EXPECT_EQ(BytesOf(left), (ByteVector{0x23, 0x40}));
  EXPECT_EQ(BytesOf(right), (ByteVector{0x01, 0x23}));

  // Random fields of 0 to 40 bytes, around and across the 8-byte words the shifts work on.
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  for (size_t length = 0; length <= 40; ++length) {
    ByteVector bytes(length);
    for (auto& b : bytes) b = static_cast<unsigned char>(byte(random));
    std::vector<int> counts(8 * length + 10);
    std::iota(counts.begin(), counts.end(), 0);
    counts.push_back(INT_MAX);
    for (const int positions : counts) {
      SCOPED_TRACE(testing::PrintToString(bytes) + " by " + std::to_string(positions));
      const CKesmar shiftedLeft = Field(bytes), shiftedRight = Field(bytes);
      shiftedLeft.ByteField().ShiftLeft(positions);
      shiftedRight.ByteField().ShiftRight(positions);
      ASSERT_EQ(BytesOf(shiftedLeft), ReferenceShift(bytes, positions));
      ASSERT_EQ(BytesOf(shiftedRight), ReferenceShift(bytes, -static_cast<long long>(positions)));
    }
  }
}

TEST(ByteFieldReplace, OverwritesFromTheIndexGrowingAndAppends) {
  const CKesmar field = Field({0x01, 0x02, 0x03});
  field.ByteField().ReplaceSubByteField(Field({0xAA}), 1);
  field.ByteField().ReplaceSubByteField(Field({0xBB, 0xCC}), 2);  // grows
  field.ByteField().ReplaceSubByteField(Field({}), 1);
  field.ByteField().AppendByteField(Field({0xDD, 0xEE}));
  EXPECT_EQ(BytesOf(field), (ByteVector{0x01, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));

  // A field as its own source gives its bytes as they were before the operation, also when
  // growing moves them.
  const CKesmar self = Field({1, 2, 3});
  self.ByteField().AppendByteField(self);
  self.ByteField().ReplaceSubByteField(self, 4);
  EXPECT_EQ(BytesOf(self), (ByteVector{1, 2, 3, 1, 1, 2, 3, 1, 2, 3}));
  const CKesmar large = Field(ByteVector(4096, 0x5A));
  large.ByteField().AppendByteField(large);
  EXPECT_EQ(BytesOf(large), ByteVector(8192, 0x5A));
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
  EXPECT_EQ(BytesOf(field), (ByteVector{0x12, 0x34}));
  EXPECT_OTX_THROW(Field({}).ByteField().ReplaceSubByteField(source, 0), OTX::OutOfBoundsException,
                   kReplaceIndex);
}
