#include "COtxFloat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

using Members = std::map<const std::string, CKesmar>;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr long long kMin = std::numeric_limits<long long>::min();
constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr int kLowestPrecision = std::numeric_limits<int>::min();

}  // namespace

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
  EXPECT_STD_THROW(COtxFloat{COtxMap(Members{{"value", COtxFloat(1.0)}})}, std::out_of_range,
                   "invalid map<K, T> key");
  EXPECT_OTX_THROW(
      COtxFloat{COtxMap(Members{{"displayPrecision", COtxInt(2)}, {"value", COtxList()}})},
      OTX::TypeMismatchException, "LIST to FLOAT");
}
