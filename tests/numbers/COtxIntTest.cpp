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
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

using Operator = CKesmar (CKesmar::*)(const CKesmar&) const;
using Members = std::map<const std::string, CKesmar>;

constexpr long long kMin = std::numeric_limits<long long>::min();
constexpr long long kMax = std::numeric_limits<long long>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr int kLowestPrecision = std::numeric_limits<int>::min();
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
  EXPECT_OTX_THROW(COtxInt{COtxMap(Members{{"displayRadix", COtxString(std::string("HEX"))},
                                            {"value", COtxFloat(1.0)}})},
                   OTX::TypeMismatchException, "FLOAT is not a INTEGER");
}

TEST(Bool, ConversionsAndObjectForm) {
  for (bool value : {false, true}) {
    EXPECT_EQ(COtxBool(value).ToInteger().Int(), value ? 1 : 0);
    EXPECT_EQ(COtxBool(value).ToFloat().Float(), value ? 1.0 : 0.0);
    EXPECT_EQ(COtxBool(value).ToFloat().Precision(), 16);
    EXPECT_EQ(std::string(COtxBool(value).ToJSON().String()), value ? "true" : "false");
  }
  // The object form shares its "value" member, whatever its type.
  const COtxInt seven(7);
  EXPECT_EQ(COtxBool(COtxMap(Members{{"value", seven}})).GetBehaviourReference(),
            seven.GetBehaviourReference());
  EXPECT_STD_THROW(COtxBool{COtxMap(Members{{"Value", seven}})}, std::out_of_range,
                   "invalid map<K, T> key");
}


TEST(FloatEquality, ToleranceFollowsTheCoarserPrecision) {
  // Left value and precision, right value and precision, whether they are equal.
  const std::tuple<double, int, double, int, bool> cases[] = {
      {1.0, 2, 1.005, 16, true},        {1.0, 2, 1.01, 16, false},
      {1.0, 16, 1.0 + 8e-11, 20, true}, {1.0, 16, 1.0 + 1e-10, 16, false},
      {1000, -2, 1089, 16, true},       {1000, 16, 1091, -2, false},
      {kInf, 16, -kInf, 16, true},      {kInf, 16, 1e308, 16, false},
      {kNaN, -5, kNaN, -5, false},      {1.0, kLowestPrecision, -5e300, 16, true}};
  for (const auto& [a, aPrecision, b, bPrecision, equal] : cases) {
    SCOPED_TRACE(testing::Message() << a << " vs " << b << " at " << aPrecision);
    EXPECT_EQ(COtxFloat(a, aPrecision) == COtxFloat(b, bPrecision), equal);
    EXPECT_EQ(COtxFloat(b, bPrecision) != COtxFloat(a, aPrecision), !equal);
  }
  EXPECT_EQ(COtxFloat(1.0, 20).Precision(), 16);
  EXPECT_EQ(COtxFloat(1.0, -3).Precision(), -3);
}

TEST(FloatArithmetic, IeeeResultsAtFullPrecision) {
  const std::pair<CKesmar, double> cases[] = {
      {COtxFloat(2.5, 1) + COtxInt(1), 3.5},       {COtxFloat(-7.5, 2) % COtxInt(2), -1.5},
      {COtxFloat(-1.0) / COtxInt(0), -kInf},       {COtxFloat(5.0) % COtxFloat(0.0), kNaN},
      {COtxFloat(1.5, 0) * COtxFloat(-2.0), -3.0}, {COtxFloat(0.5) - COtxInt(kMin), kTwoTo63}};
  for (const auto& [result, expected] : cases) {
    EXPECT_EQ(result.Precision(), 16);
    EXPECT_TRUE(result.Float() == expected || (std::isnan(expected) && std::isnan(result.Float())))
        << result.Float() << " instead of " << expected;
  }
  EXPECT_OTX_THROW(COtxFloat(5.5) - COtxString(std::string("1")), OTX::TypeMismatchException, "");
}

TEST(FloatFormat, PrecisionSelectsTheNotation) {
  const std::tuple<double, int, const char*> cases[] = {
      {-0.0, 16, "0.0"},    {1.0 / 3, 16, "0.3333333333333333"},
      {1e20, 16, "1e+20"},  {3.0, 16, "3"},
      {3.14159, 2, "3.14"}, {1234.5, -1, "1230"},
      {-1250, -2, "-1300"}, {1234.5, kLowestPrecision, "0"}};
  for (const auto& [value, precision, text] : cases) {
    EXPECT_EQ(std::string(COtxFloat(value, precision).ToJSON().String()), text) << precision;
  }
}

TEST(FloatConversions, TruncateOrFallToTheMinimum) {
  const double below = std::nextafter(kTwoTo63, 0.0);      // 2^63 - 1024
  const double beyond = std::nextafter(-kTwoTo63, -kInf);  // just under the minimum
  // The value, its ToInteger() and its ToBoolean().
  const std::tuple<double, long long, bool> cases[] = {
      {-2.7, -2, true},    {-0.0, 0, false},       {1e-300, 0, true},
      {kNaN, kMin, true},  {kTwoTo63, kMin, true}, {below, -(kMin + 1024), true},
      {beyond, kMin, true}};
  for (const auto& [value, integer, boolean] : cases) {
    SCOPED_TRACE(value);
    EXPECT_EQ(COtxFloat(value, 2).ToInteger().Int(), integer);
    EXPECT_EQ(COtxFloat(value, 2).ToBoolean().Bool(), boolean);
  }
  EXPECT_EQ(COtxFloat(-2.5, 3).Abs().Precision(), 3);
  EXPECT_FALSE(std::signbit(COtxFloat(-0.0).Abs().Float()));
}

TEST(FloatObjectForm, ReadsPrecisionUnchangedAndIntegerValues) {
  const COtxFloat read(COtxMap(Members{{"displayPrecision", COtxInt(20)}, {"value", COtxInt(3)}}));
  EXPECT_EQ(read.Precision(), 20);
  EXPECT_EQ(read.Float(), 3.0);
  EXPECT_OTX_THROW(
      COtxFloat{COtxMap(Members{{"displayPrecision", COtxInt(2)}, {"value", COtxList()}})},
      OTX::TypeMismatchException, "LIST to FLOAT");
}
