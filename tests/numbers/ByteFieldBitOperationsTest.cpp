#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "COtxByteField.h"
#include "COtxException.h"
#include "COtxInt.h"
#include "TestSupport.h"

namespace {

using ByteVector = std::vector<unsigned char>;
using Operation = std::function<void(const CKesmar&)>;

constexpr const char* kByteIndex = "Byte index out of range";
constexpr const char* kBitIndex = "Bit index out of range";
constexpr const char* kReplaceIndex = "Replace index out of range";
constexpr const char* kNotAByteField = "INTEGER is not a BYTEFIELD";

CKesmar Field(ByteVector bytes) { return COtxByteField(std::move(bytes)); }

ByteVector BytesOf(const CKesmar& field) { return field.ByteField(); }

ByteVector Sequence(size_t length, unsigned char first) {
  ByteVector bytes(length);
  for (auto& byte : bytes) byte = first++;
  return bytes;
}

// A shift done one bit at a time on the field read as a big-endian number: bit p of the
// result (p = 0 the top bit of byte 0) is bit p + offset of the input, 0 outside it.
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

TEST(ByteFieldLogic, EqualisesLengthsAtTheFrontAndLeavesTheOperands) {
  using Operator = CKesmar (OTX::IByteField::*)(const CKesmar&) const;
  const Operator kAnd = &OTX::IByteField::operator&, kOr = &OTX::IByteField::operator|,
                 kXor = &OTX::IByteField::operator^;
  const struct {
    ByteVector left;
    Operator op;
    ByteVector right;
    ByteVector expected;
  } cases[] = {
      {{0x01, 0x02}, kAnd, {0xFF}, {0x00, 0x02}},
      {{0xFF}, kAnd, {0x01, 0x02}, {0x00, 0x02}},
      {{0x01, 0x02}, kOr, {0xFF}, {0x01, 0xFF}},
      {{0xF0, 0x0F}, kXor, {0xFF, 0xFF}, {0x0F, 0xF0}},
      {{0x12, 0x34}, kAnd, {}, {0x00, 0x00}},
      {{}, kOr, {}, {}},
      // Whole words plus a tail, and padding longer than a word.
      {ByteVector(17, 0xAA), kXor, ByteVector(17, 0xFF), ByteVector(17, 0x55)},
      {Sequence(11, 1), kAnd, {0x0F, 0xF0, 0xFF}, {0, 0, 0, 0, 0, 0, 0, 0, 0x09, 0x00, 0x0B}},
      {{0x80}, kOr, Sequence(10, 0), {0, 1, 2, 3, 4, 5, 6, 7, 8, 0x89}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.left) + " with " + testing::PrintToString(c.right));
    const CKesmar left = Field(c.left);
    const CKesmar right = Field(c.right);
    EXPECT_EQ(BytesOf((left.ByteField().*c.op)(right)), c.expected);
    EXPECT_EQ(BytesOf(left), c.left);
    EXPECT_EQ(BytesOf(right), c.right);
  }

  const std::pair<ByteVector, ByteVector> complements[] = {
      {{0x00, 0xFF}, {0xFF, 0x00}},
      {{}, {}},
      {Sequence(9, 0), {0xFF, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA, 0xF9, 0xF8, 0xF7}},
  };
  for (const auto& [input, expected] : complements) {
    const CKesmar field = Field(input);
    EXPECT_EQ(BytesOf(~field.ByteField()), expected);
    EXPECT_EQ(BytesOf(field), input);
  }
}

TEST(ByteFieldLogic, ResultIsANewField) {
  const CKesmar field = Field({0x0F});
  const CKesmar same = field.ByteField() & field;
  same.ByteField().SetBit(0, 7, true);
  EXPECT_EQ(BytesOf(field), ByteVector{0x0F});
  EXPECT_EQ(BytesOf(same), ByteVector{0x8F});
}

TEST(ByteFieldBits, SetAndGetAddressOneBitOfOneByte) {
  for (int bit = 0; bit < 8; ++bit) {
    SCOPED_TRACE(bit);
    const auto mask = static_cast<unsigned char>(1u << bit);
    const CKesmar set = Field({0x00, 0x00});
    set.ByteField().SetBit(1, bit, true);
    set.ByteField().SetBit(1, bit, true);  // a second time changes nothing
    EXPECT_EQ(BytesOf(set), (ByteVector{0x00, mask}));
    const CKesmar cleared = Field({0xFF, 0xFF});
    cleared.ByteField().SetBit(0, bit, false);
    cleared.ByteField().SetBit(0, bit, false);
    EXPECT_EQ(BytesOf(cleared), (ByteVector{static_cast<unsigned char>(~mask), 0xFF}));
    for (int other = 0; other < 8; ++other) {
      EXPECT_EQ(set.ByteField().GetBit(1, other), other == bit);
      EXPECT_EQ(cleared.ByteField().GetBit(0, other), other != bit);
    }
  }
}

TEST(ByteFieldBits, GetAndSetCheckTheByteIndexFirst) {
  const struct {
    int byteIndex, bitIndex;
    const char* message;
  } cases[] = {
      {0, 8, kBitIndex},   {0, -1, kBitIndex}, {1, INT_MIN, kBitIndex},        {2, 0, kByteIndex},
      {-1, 0, kByteIndex}, {2, 8, kByteIndex}, {INT_MIN, INT_MAX, kByteIndex},
  };
  const CKesmar field = Field({0x5A, 0xA5});
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.byteIndex) + ", " + std::to_string(c.bitIndex));
    EXPECT_OTX_THROW(field.ByteField().GetBit(c.byteIndex, c.bitIndex), OTX::OutOfBoundsException,
                     c.message);
    EXPECT_OTX_THROW(field.ByteField().SetBit(c.byteIndex, c.bitIndex, true),
                     OTX::OutOfBoundsException, c.message);
  }
  EXPECT_EQ(BytesOf(field), (ByteVector{0x5A, 0xA5}));
}

TEST(ByteFieldBits, TestBitsRunsFromTheLastByteTowardByteZero) {
  const ByteVector kMixed = {0x0F, 0xF0};
  const ByteVector kOnes = {0xFF, 0xFF};
  // The outcome is "true", "false" or the message of the exception.
  const struct {
    ByteVector bytes;
    int byteIndex, bitIndex, count;
    bool expected;
    const char* outcome;
  } cases[] = {
      {kMixed, 0, 4, 8, true, "true"},  // bits 4-7 of byte 1, then 0-3 of byte 0
      {kMixed, 0, 4, 8, false, "false"},
      {kMixed, 0, 4, 9, true, "false"},  // bit 4 of byte 0 is clear
      {kMixed, 1, 0, 4, false, "true"},
      {kOnes, 0, 3, 13, true, "true"},
      {kMixed, 1, 7, -6, true, "true"},  // a count of 0 or less tests nothing
      {{}, 0, 0, 0, true, kByteIndex},
      {kMixed, 2, 0, 1, true, kByteIndex},
      {kMixed, 1, 0, -100, true, kByteIndex},  // the last byte lies before byte 0
      {kMixed, 1, 8, 1, true, kByteIndex},
      {kMixed, 0, 8, 1, true, kBitIndex},
      {kMixed, 0, -1, 1, true, kBitIndex},
      // Past byte 0 (a negative byte index): false at a differing bit, else an error.
      {kMixed, -1, 0, 16, true, "false"},
      {kOnes, -1, 0, 16, true, kBitIndex},
      // Extremes where computing the last byte in int would overflow.
      {kMixed, 268435456, 0, INT_MIN, true, "true"},
      {kMixed, -268435455, 1, INT_MAX, true, "false"},
      {kOnes, -268435455, 1, INT_MAX, true, kBitIndex},
      {kMixed, INT_MAX, 7, INT_MAX, true, kByteIndex},
      {kMixed, INT_MIN, 0, INT_MIN, true, kByteIndex},
      {kMixed, 0, INT_MIN, INT_MAX, true, kBitIndex},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes) + " " + std::to_string(c.byteIndex) + ", " +
                 std::to_string(c.bitIndex) + ", " + std::to_string(c.count));
    const CKesmar value = Field(c.bytes);
    const OTX::IByteField& field = value.ByteField();
    const std::string outcome = c.outcome;
    if (outcome == "true" || outcome == "false") {
      EXPECT_EQ(field.TestBits(c.byteIndex, c.bitIndex, c.count, c.expected), outcome == "true");
    } else {
      EXPECT_OTX_THROW(field.TestBits(c.byteIndex, c.bitIndex, c.count, c.expected),
                       OTX::OutOfBoundsException, outcome);
    }
  }
}

TEST(ByteFieldShift, KeepsTheLengthAndClearsPastIt) {
  const struct {
    ByteVector bytes;
    int positions;
    ByteVector left, right;
  } cases[] = {
      {{0x12, 0x34}, 4, {0x23, 0x40}, {0x01, 0x23}},
      {{0x12, 0x34}, 8, {0x34, 0x00}, {0x00, 0x12}},
      {{0x12, 0x34}, 12, {0x40, 0x00}, {0x00, 0x01}},
      {{0x92, 0x35}, 15, {0x80, 0x00}, {0x00, 0x01}},
      {{0x12, 0x34}, 100, {0x00, 0x00}, {0x00, 0x00}},
      {{0x12, 0x34}, INT_MAX, {0x00, 0x00}, {0x00, 0x00}},
      {{}, INT_MAX, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes) + " by " + std::to_string(c.positions));
    const CKesmar left = Field(c.bytes);
    left.ByteField().ShiftLeft(c.positions);
    EXPECT_EQ(BytesOf(left), c.left);
    const CKesmar right = Field(c.bytes);
    right.ByteField().ShiftRight(c.positions);
    EXPECT_EQ(BytesOf(right), c.right);
  }
}

TEST(ByteFieldShift, MatchesABitByBitShift) {
  // Every shift count up to past the end, on random fields of 0 to 40 bytes: around and
  // across the 8-byte words that the shifts work on.
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  for (size_t length = 0; length <= 40; ++length) {
    ByteVector bytes(length);
    for (auto& b : bytes) b = static_cast<unsigned char>(byte(random));
    for (int positions = 0; positions <= 8 * static_cast<int>(length) + 9; ++positions) {
      SCOPED_TRACE(testing::PrintToString(bytes) + " by " + std::to_string(positions));
      const CKesmar left = Field(bytes);
      left.ByteField().ShiftLeft(positions);
      ASSERT_EQ(BytesOf(left), ReferenceShift(bytes, positions));
      const CKesmar right = Field(bytes);
      right.ByteField().ShiftRight(positions);
      ASSERT_EQ(BytesOf(right), ReferenceShift(bytes, -positions));
    }
  }
}

TEST(ByteFieldShift, ChangesAreSeenThroughEveryHandle) {
  const CKesmar field = Field({0x12, 0x34});
  const CKesmar copy = field;
  copy.ByteField().ShiftLeft(4);
  field.ByteField().SetBit(1, 0, true);
  copy.ByteField().AppendByteField(Field({0xFF}));
  EXPECT_EQ(BytesOf(field), (ByteVector{0x23, 0x41, 0xFF}));
  EXPECT_TRUE(field == copy);
}

TEST(ByteFieldReplace, OverwritesFromTheIndexGrowingAndAppends) {
  const auto replace = [](ByteVector source, long long index) {
    return [=](const CKesmar& f) { f.ByteField().ReplaceSubByteField(Field(source), index); };
  };
  const auto append = [](ByteVector source) {
    return [=](const CKesmar& f) { f.ByteField().AppendByteField(Field(source)); };
  };
  const struct {
    ByteVector bytes;
    Operation operation;
    ByteVector expected;
  } cases[] = {
      {{0x01, 0x02}, replace({0xAA, 0xBB}, 1), {0x01, 0xAA, 0xBB}},
      {{0x01, 0x02, 0x03}, replace({0xAA}, 1), {0x01, 0xAA, 0x03}},
      {{0x01}, replace({0xAA, 0xBB, 0xCC}, 0), {0xAA, 0xBB, 0xCC}},
      {{0x01, 0x02}, replace({}, 1), {0x01, 0x02}},
      {{0x01}, append({0xAA, 0xBB}), {0x01, 0xAA, 0xBB}},
      {{}, append({0xAA}), {0xAA}},
      {{0x01}, append({}), {0x01}},
      // The source is the field itself: its bytes as they were before the operation.
      {{1, 2, 3}, [](const CKesmar& f) { f.ByteField().AppendByteField(f); }, {1, 2, 3, 1, 2, 3}},
      {{1, 2, 3}, [](const CKesmar& f) { f.ByteField().ReplaceSubByteField(f, 0); }, {1, 2, 3}},
      {{1, 2, 3},
       [](const CKesmar& f) { f.ByteField().ReplaceSubByteField(CKesmar(f), 2); },
       {1, 2, 1, 2, 3}},
      {{}, [](const CKesmar& f) { f.ByteField().AppendByteField(f); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes) + " to " + testing::PrintToString(c.expected));
    const CKesmar field = Field(c.bytes);
    c.operation(field);
    EXPECT_EQ(BytesOf(field), c.expected);
  }

  // Large enough that growing moves the bytes to a new buffer.
  const ByteVector large = Sequence(4096, 7);
  const CKesmar field = Field(large);
  field.ByteField().AppendByteField(field);
  ByteVector doubled = large;
  doubled.insert(doubled.end(), large.begin(), large.end());
  EXPECT_EQ(BytesOf(field), doubled);
}

TEST(ByteFieldReplace, FailingOperationsLeaveTheFieldUnchanged) {
  const CKesmar integer = COtxInt(7);
  const CKesmar source = Field({0xAA, 0xBB});
  const auto replaceAt = [&](long long index) {
    return [=](const CKesmar& f) { f.ByteField().ReplaceSubByteField(source, index); };
  };
  const struct {
    Operation operation;
    OTX::Exceptions_e id;
    const char* message;
  } cases[] = {
      {[](const CKesmar& f) { f.ByteField().ShiftLeft(-1); }, OTX::OutOfBoundsException,
       "Shift positions out of range"},
      {[](const CKesmar& f) { f.ByteField().ShiftRight(INT_MIN); }, OTX::OutOfBoundsException,
       "Shift positions out of range"},
      {replaceAt(2), OTX::OutOfBoundsException, kReplaceIndex},
      {replaceAt(-1), OTX::OutOfBoundsException, kReplaceIndex},
      {replaceAt(LLONG_MAX), OTX::OutOfBoundsException, kReplaceIndex},
      {replaceAt(LLONG_MIN), OTX::OutOfBoundsException, kReplaceIndex},
      {[&](const CKesmar& f) { f.ByteField().ReplaceSubByteField(integer, 0); },
       OTX::TypeMismatchException, kNotAByteField},
      {[&](const CKesmar& f) { f.ByteField().AppendByteField(integer); },
       OTX::TypeMismatchException, kNotAByteField},
      {[&](const CKesmar& f) { f.ByteField() & integer; }, OTX::TypeMismatchException,
       kNotAByteField},
      {[&](const CKesmar& f) { f.ByteField() ^ integer; }, OTX::TypeMismatchException,
       kNotAByteField},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const CKesmar field = Field({0x12, 0x34});
    EXPECT_OTX_THROW(cases[i].operation(field), cases[i].id, cases[i].message);
    EXPECT_EQ(BytesOf(field), (ByteVector{0x12, 0x34}));
  }
  const CKesmar empty = Field({});
  EXPECT_OTX_THROW(empty.ByteField().ReplaceSubByteField(source, 0), OTX::OutOfBoundsException,
                   kReplaceIndex);
}
