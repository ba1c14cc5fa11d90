#include "COtxInt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "COtxBool.h"
#include "COtxFloat.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

using Operator = CKesmar (CKesmar::*)(const CKesmar&) const;
using Members = std::map<const std::string, CKesmar>;

constexpr long long kMin = std::numeric_limits<long long>::min();
constexpr long long kMax = std::numeric_limits<long long>::max();
constexpr Operator kAdd = &CKesmar::operator+, kSub = &CKesmar::operator-,
                   kMul = &CKesmar::operator*, kDiv = &CKesmar::operator/,
                   kMod = &CKesmar::operator%;

COtxInt::Radix RadixOf(const CKesmar& value) {
  return std::dynamic_pointer_cast<COtxIntBehaviour>(value.GetBehaviourReference())->GetRadix();
}

}  // namespace

TEST(IntArithmetic, WrapsTruncatesDropsTheRadixAndPromotes) {
  const std::tuple<long long, Operator, long long, long long> cases[] = {
      {kMax, kAdd, 1, kMin},  {kMin, kSub, 1, kMax}, {kMin, kMul, -1, kMin}, {-7, kDiv, 2, -3},
      {kMin, kDiv, -1, kMin}, {5, kDiv, -1, -5},     {-7, kMod, 2, -1},      {kMin, kMod, -1, 0}};
  for (const auto& [left, op, right, expected] : cases) {
    SCOPED_TRACE(std::to_string(left) + " and " + std::to_string(right));
    const CKesmar result = (COtxInt(left, COtxInt::HEX).*op)(COtxInt(right, COtxInt::BIN));
    EXPECT_EQ(result.Int(), expected);
    EXPECT_EQ(RadixOf(result), COtxInt::DEC);
  }
  EXPECT_OTX_THROW(COtxInt(kMin) / COtxInt(0), OTX::ArithmeticException, "");
  EXPECT_OTX_THROW(COtxInt(7) % COtxInt(0), OTX::ArithmeticException,
                   "Cannot get modulo with divisor 0");
  // Floats promote the integer; other types do not mix.
  EXPECT_EQ((COtxInt(3) + COtxFloat(0.5, 1)).Float(), 3.5);
  EXPECT_EQ((COtxInt(3) + COtxFloat(0.5, 1)).Precision(), 16);
  EXPECT_EQ((COtxInt(7) % COtxFloat(2.5)).Float(), 2.0);
  EXPECT_EQ((COtxInt(-1) / COtxFloat(0.0)).Float(), -INFINITY);
  EXPECT_OTX_THROW(COtxInt(3) % COtxBool(true), OTX::TypeMismatchException, "");
}

// Booleans, integers and floats on the left against every kind on the right.
TEST(NumberCompare, EachOperatorAsksTheLeftOperandsRules) {
  // Answers of ==, !=, <, <=, >, >=.
  const std::tuple<CKesmar, CKesmar, const char*> cases[] = {
      // clang-format off
      {COtxBool(false), COtxBool(true), "011100"},  {COtxBool(true), COtxBool(true), "100101"},
      {COtxBool(true), COtxInt(1), "010000"},       {COtxInt(1), COtxBool(true), "010000"},
      {COtxInt(kMin), COtxInt(kMax, COtxInt::HEX), "011100"},
      {COtxInt(3), COtxFloat(3.004, 2), "101100"},  {COtxInt(3), COtxFloat(3.0000000002), "011100"},
      {COtxInt(3), COtxFloat(NAN), "010000"},       {COtxFloat(NAN), COtxFloat(NAN), "010000"},
      {COtxFloat(0.1 + 0.2), COtxFloat(0.3), "100011"}, {COtxFloat(3.004, 2), COtxInt(3), "100011"},
      {COtxInt(3), COtxFloat(3.0), "100101"},       {COtxFloat(1.0), COtxBool(true), "010000"}};
  // clang-format on
  for (const auto& [left, right, answers] : cases) {
    SCOPED_TRACE(left.ToString().String() + " vs " + right.ToString().String());
    std::string actual;
    for (bool answer : {left == right, left != right, (left < right), left <= right, (left > right),
                        left >= right}) {
      actual += answer ? '1' : '0';
    }
    EXPECT_EQ(actual, answers);
  }
}

TEST(Int, TextBooleanAndAbsIgnoreTheRadix) {
  const std::tuple<long long, long long, const char*> cases[] = {
      {0, 0, "0"}, {-42, 42, "-42"}, {kMin, kMin, "-9223372036854775808"}};
  for (const auto& [number, magnitude, text] : cases) {
    SCOPED_TRACE(text);
    const COtxInt value(number, COtxInt::HEX);
    EXPECT_EQ(std::string(value.ToJSON().String()), text);
    EXPECT_EQ(value.ToBoolean().Bool(), number != 0);
    EXPECT_EQ(value.Abs().Int(), magnitude);
    EXPECT_EQ(RadixOf(value.Abs()), COtxInt::HEX);
  }
}

// Least significant first, until the rest is sign fill and the last magnitude byte is below 0x80.
TEST(IntLittleEndianBytes, LeastSignificantFirstAtMostEight) {
  const std::pair<long long, std::vector<unsigned char>> cases[] = {
      // clang-format off
      {0, {0x00}},  {127, {0x7F}}, {128, {0x80, 0x00}}, {-1, {0xFF}}, {-128, {0x80, 0xFF}},
      {32768, {0x00, 0x80, 0x00}}, {kMax, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
      {kMin, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80}}};
  // clang-format on
  for (const auto& [value, bytes] : cases) {
    EXPECT_EQ(COtxIntBehaviour::LittleEndianBytes(value), bytes) << value;
  }
}

TEST(IntObjectForm, ReadsTheRadixCaseSensitively) {
  const std::pair<const char*, COtxInt::Radix> radixes[] = {
      {"BIN", COtxInt::BIN}, {"OCT", COtxInt::OCT}, {"HEX", COtxInt::HEX}, {"hex", COtxInt::DEC}};
  for (const auto& [name, radix] : radixes) {
    const COtxInt read(COtxMap(
        Members{{"displayRadix", COtxString(std::string(name))}, {"value", COtxInt(-255)}}));
    EXPECT_EQ(read.Int(), -255);
    EXPECT_EQ(RadixOf(read), radix) << name;
  }
  const COtxString hex(std::string("HEX"));
  EXPECT_STD_THROW(COtxInt{COtxMap(Members{{"displayRadix", hex}})}, std::out_of_range,
                   "invalid map<K, T> key");
  EXPECT_OTX_THROW(COtxInt{COtxMap(Members{{"displayRadix", hex}, {"value", COtxFloat(1.0)}})},
                   OTX::TypeMismatchException, "FLOAT is not a INTEGER");
}
