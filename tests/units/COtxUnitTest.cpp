#include "COtxUnit.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <tuple>

#include "COtxString.h"
#include "TestSupport.h"
#include "UnitTestSupport.h"

namespace {

using Operator = CKesmar (CKesmar::*)(const CKesmar&) const;
constexpr Operator kAdd = &CKesmar::operator+, kSub = &CKesmar::operator-,
                   kMul = &CKesmar::operator*, kDiv = &CKesmar::operator/;

TEST(UnitEquality, ScalarMatchesEveryUnitOtherUnitsOnlyThemselves) {
  kesmar::test::Load(kesmar::test::SmallSpec());
  const std::tuple<CKesmar, CKesmar, bool> cases[] = {
      {COtxUnit(), COtxUnit("scalar"), true}, {COtxUnit(), COtxUnit("kg"), true},
      {COtxUnit("km"), COtxUnit(), true},     {COtxUnit("km"), COtxUnit("m"), false},
      {COtxUnit("m"), COtxUnit("m"), true},   {COtxUnit("m"), COtxString(std::string("m")), false}};
  for (const auto& [a, b, equal] : cases) {
    SCOPED_TRACE(a.Unit().Id() + " vs " + std::string(b.ToString().String()));
    EXPECT_EQ(a == b, equal);
    EXPECT_EQ(a != b, !equal);
    EXPECT_FALSE(a < b);
  }
  EXPECT_OTX_THROW(COtxUnit("furlong"), OTX::UnknownUnitException, "furlong");
}

TEST(UnitAlgebra, SumsKeepTheDimensionProductsCombineExponents) {
  kesmar::test::Load(kesmar::test::SmallSpec());
  // Left and right unit ids, the operator, the id of the result ("" for a failed conversion).
  const std::tuple<const char*, Operator, const char*, const char*> cases[] = {
      {"km", kSub, "m", "m"},           {"scalar", kAdd, "km", "m"}, {"km", kAdd, "scalar", "m"},
      {"ft", kAdd, "mi", "m"},          {"km", kAdd, "kg", ""},      {"m", kMul, "m", "m2"},
      {"km", kDiv, "s", "m/s"},         {"m", kDiv, "m", "scalar"},  {"m", kMul, "scalar", "m"},
      {"yard", kMul, "scalar", "yard"}, {"m2", kDiv, "m", "m"},      {"m", kMul, "kg", ""}};
  for (const auto& [left, op, right, expected] : cases) {
    SCOPED_TRACE(std::string(left) + " with " + right);
    if (*expected == '\0') {
      EXPECT_OTX_THROW((COtxUnit(left).*op)(COtxUnit(right)), OTX::InvalidConversionException, "");
    } else {
      EXPECT_EQ((COtxUnit(left).*op)(COtxUnit(right)).Unit().Id(), expected);
    }
  }
  EXPECT_OTX_THROW(COtxUnit("m") + COtxString(std::string("m")), OTX::TypeMismatchException,
                   "STRING is not a UNIT");
  EXPECT_OTX_THROW(COtxUnit("m") * COtxString(std::string("m")), OTX::InvalidConversionException,
                   "");
  // Without a dimension "none", "scalar" takes part in sums but not in products; exponents
  // beyond the range of int match no dimension.
  using kesmar::test::DimensionXml;
  using kesmar::test::Exponent;
  using kesmar::test::UnitXml;
  kesmar::test::Load("<unitSpec>" + UnitXml("m", "1", "length") + UnitXml("high", "1", "high") +
                     UnitXml("low", "1", "low") + DimensionXml("length", Exponent("length", 1)) +
                     DimensionXml("high", Exponent("time", INT_MAX)) +
                     DimensionXml("low", Exponent("time", INT_MIN)) + "</unitSpec>");
  EXPECT_EQ((COtxUnit() + COtxUnit("m")).Unit().Id(), "m");
  EXPECT_OTX_THROW(COtxUnit() * COtxUnit("m"), OTX::InvalidConversionException, "");
  EXPECT_OTX_THROW(COtxUnit("high") * COtxUnit("high"), OTX::InvalidConversionException, "");
  EXPECT_OTX_THROW(COtxUnit("low") / COtxUnit("high"), OTX::InvalidConversionException, "");
}

TEST(UnitConversion, LinearToSiAndAPrecisionForEveryFactor) {
  using kesmar::test::UnitXml;
  kesmar::test::Load("<unitSpec>" + UnitXml("two", "2", "d", "10") + UnitXml("km", "1000", "d") +
                     UnitXml("ft", "0.3048", "d") + UnitXml("mm", "0.001", "d") +
                     UnitXml("zero", "0", "d") + UnitXml("negative", "-1000", "d") +
                     UnitXml("infinite", "INF", "d") + UnitXml("nan", "NaN", "d") +
                     UnitXml("tiny", "4.9e-324", "d") + "</unitSpec>");
  const CKesmar two = COtxUnit("two");
  EXPECT_EQ(two.Unit().ToSI(1), 12);
  EXPECT_EQ(two.Unit().FromSI(12), 1);
  EXPECT_DOUBLE_EQ(COtxUnit("ft").Unit().FromSI(COtxUnit("ft").Unit().ToSI(0.7)), 0.7);
  // Unit, precision, SI precision.
  const std::tuple<const char*, int, int> cases[] = {{"km", 2, -1},
                                                     {"scalar", 2, 2},
                                                     {"ft", 2, 3},
                                                     {"mm", 1, 4},
                                                     {"zero", 3, 3},
                                                     {"negative", 2, -1},
                                                     {"infinite", 3, 3},
                                                     {"nan", 3, 3},
                                                     {"tiny", 0, 323},
                                                     {"tiny", INT_MAX, INT_MAX},
                                                     {"km", INT_MIN, INT_MIN}};
  for (const auto& [unit, precision, expected] : cases) {
    SCOPED_TRACE(unit);
    EXPECT_EQ(COtxUnit(unit).Unit().ToSIPrecision(precision), expected);
  }
  EXPECT_TRUE(std::isinf(COtxUnit("zero").Unit().FromSI(1)));
}

}  // namespace
