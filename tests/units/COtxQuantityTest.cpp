#include "COtxQuantity.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "TestSupport.h"
#include "UnitTestSupport.h"

namespace {

using Members = std::map<const std::string, CKesmar>;

CKesmar Q(double value, const char* unit, int precision) {
  return COtxQuantity(value, COtxUnit(unit), precision);
}
CKesmar S(const std::string& text) { return COtxString(text); }

// "<number> <unit id> p<precision>", the number with 15 significant digits.
std::string Describe(const CKesmar& quantity) {
  OTX::IQuantity& fields = quantity.Quantity();
  char number[32];
  std::snprintf(number, sizeof number, "%.15g", fields.Value().Float());
  return std::string(number) + ' ' + fields.QuantityUnit().Unit().Id() + " p" +
         std::to_string(fields.DisplayPrecision());
}

class QuantityTest : public testing::Test {
 protected:
  void SetUp() override { kesmar::test::Load(kesmar::test::SmallSpec()); }
};

// A result to describe, or the exception it must throw (identifier and message).
struct Outcome {
  std::function<CKesmar()> make;
  const char* description;  // nullptr: make throws
  OTX::Exceptions_e id = OTX::Exception;
  const char* message = "";
};

void Check(const std::vector<Outcome>& cases) {
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    if (cases[i].description != nullptr) {
      EXPECT_EQ(Describe(cases[i].make()), cases[i].description);
    } else {
      EXPECT_OTX_THROW(cases[i].make(), cases[i].id, cases[i].message);
    }
  }
}

TEST_F(QuantityTest, ConstructionConvertsThroughSiValues) {
  const auto invalid = OTX::InvalidConversionException;
  Check({
      {[] { return COtxQuantity(Q(1, "km", 3), COtxUnit("m"), 0); }, "1000 m p0"},
      {[] { return COtxQuantity(Q(100, "degC", 0), COtxUnit("K"), 2); }, "373.15 K p2"},
      {[] { return COtxQuantity(Q(5, "scalar", 0), COtxUnit("km"), 1); }, "5 km p1"},
      {[] { return COtxQuantity(COtxInt(4), COtxUnit("km"), 2); }, "4 km p2"},
      {[] { return COtxQuantity(Q(1, "km", 3), COtxUnit("kg"), 0); }, nullptr, invalid},
      {[] { return COtxQuantity(1.0, S("m"), 0); }, nullptr, OTX::TypeMismatchException,
       "STRING is not a UNIT"},
  });
}

TEST_F(QuantityTest, ArithmeticGivesBaseUnitsAndTheLargerPrecision) {
  const auto invalid = OTX::InvalidConversionException;
  Check({
      {[] { return Q(1, "km", 3) + Q(500, "m", 0); }, "1500 m p3"},
      {[] { return Q(-2, "km", 1).Abs(); }, "2 km p1"},
      {[] { return Q(0, "degC", 0) + Q(0, "degC", 0); }, "546.3 K p0"},
      {[] { return Q(3, "m", 0) + COtxInt(2); }, "5 m p0"},
      {[] { return COtxInt(2) + Q(3, "m", 0); }, "5 m p0"},
      {[] { return Q(2, "m", 1) * COtxInt(3); }, "6 m p1"},
      {[] { return COtxFloat(2.5, 2) - Q(1, "km", 0); }, "-997.5 m p2"},
      {[] { return Q(1, "km", 2) / Q(2, "s", 0); }, "500 m/s p2"},
      {[] { return Q(7, "m", 0) % Q(2, "m", 0); }, "1 scalar p0"},
      {[] { return Q(-7, "m", 0) % Q(2, "m", 0); }, "-1 scalar p0"},
      {[] { return Q(1, "m", 0) / COtxInt(0); }, "inf m p0"},
      {[] { return Q(1, "km", 0) + Q(1, "kg", 0); }, nullptr, invalid},
      {[] { return Q(1, "m", 0) * Q(1, "kg", 0); }, nullptr, invalid},
      {[] { return Q(1, "m", 0) + S("1"); }, nullptr, OTX::TypeMismatchException,
       "STRING to QUANTITY"},
  });
}

TEST_F(QuantityTest, ComparisonsUseSiValuesAndFailAcrossDimensions) {
  using Compare = bool (CKesmar::*)(const CKesmar&) const;
  const Compare eq = &CKesmar::operator==, ne = &CKesmar::operator!=, lt = &CKesmar::operator<,
                ge = &CKesmar::operator>=;
  const std::tuple<CKesmar, Compare, CKesmar, bool> cases[] = {
      {Q(1, "km", 3), eq, Q(1000, "m", 0), true},   {Q(1, "km", 3), lt, Q(1000, "m", 0), false},
      {Q(1, "km", 3), ge, Q(1000, "m", 0), true},   {Q(1, "km", 2), eq, Q(1008, "m", 16), true},
      {Q(1, "km", 2), eq, Q(1009, "m", 16), false}, {Q(1000, "m", 0), eq, COtxInt(1000), true},
      {COtxInt(999), lt, Q(1, "km", 0), true},      {COtxFloat(1000.0), eq, Q(1, "km", 3), true},
      {COtxFloat(999.0), lt, Q(1, "km", 0), true},  {Q(NAN, "m", 0), lt, Q(1, "m", 0), false},
      {Q(NAN, "m", 0), ne, Q(NAN, "m", 0), true}};
  for (const auto& [a, op, b, expected] : cases) {
    SCOPED_TRACE(std::string(a.ToString().String()) + " vs " + std::string(b.ToString().String()));
    EXPECT_EQ((a.*op)(b), expected);
  }
  EXPECT_OTX_THROW(static_cast<void>(Q(1, "km", 0) == Q(1, "kg", 0)),
                   OTX::InvalidConversionException, "");
  EXPECT_OTX_THROW(static_cast<void>(Q(1, "km", 0) < Q(1, "kg", 0)),
                   OTX::InvalidConversionException, "");
  EXPECT_OTX_THROW(static_cast<void>(Q(1, "m", 0) == S("1")), OTX::TypeMismatchException,
                   "STRING to QUANTITY");
}

TEST_F(QuantityTest, TextFollowsThePrecision) {
  const std::pair<CKesmar, const char*> cases[] = {{Q(12.3456, "m", 2), "12.35 m"},
                                                   {Q(1234.5, "m", -2), "1200 m"},
                                                   {Q(7.75, "m", 0), "8 m"},
                                                   {Q(1.0 / 3, "m", 16), "0.3333333333333333 m"},
                                                   {Q(0, "m", 16), "0 m"},
                                                   {Q(1e20, "m", 20), "1e+20 m"},
                                                   {Q(5, "scalar", 0), "5 "},
                                                   {Q(20, "degC", 1),
                                                    "20.0 \xC2\xB0"
                                                    "C"},
                                                   {Q(1, "m", INT_MIN), "0 m"}};
  for (const auto& [quantity, text] : cases) {
    EXPECT_EQ(std::string(quantity.ToString().String()), text);
  }
  EXPECT_EQ(Q(1.5, "km", 1).ToFloat().Float(), 1500);
  EXPECT_EQ(Q(1.5, "km", 1).ToFloat().Precision(), -2);
  EXPECT_EQ(Q(-1.5, "km", 1).ToInteger().Int(), -1);
}

// Reading the forms back is part of the JSON round trip.
TEST_F(QuantityTest, ObjectFormsAreEscapedAndExact) {
  kesmar::test::Load("<unitSpec>" + kesmar::test::UnitXml("km", "1000", "l") +
                     kesmar::test::UnitXml("in", "0.0254", "l", "0", "in&quot;\\") +
                     kesmar::test::UnitXml("degC", "1", "t", "273.15", "&#xB0;C") + "</unitSpec>");
  const std::pair<CKesmar, const char*> forms[] = {
      {Q(1.5, "km", 2),
       R"({"type":"QUANTITY","value":1.50,"unit":"km","unitId":"km","displayPrecision":2})"},
      {Q(0.1 + 0.2, "in", -1),
       R"({"type":"QUANTITY","value":0.30000000000000004,"unit":"in\"\\","unitId":"in",)"
       R"("displayPrecision":-1})"},
      {COtxUnit("degC"),
       "{\"type\":\"UNIT\",\"unit\":\"\xC2\xB0"
       "C\",\"unitId\":\"degC\","
       "\"value\":\"degC\"}"}};
  for (const auto& [value, json] : forms) {
    value.SetOTXJSON(true);
    EXPECT_EQ(std::string(value.ToJSON().String()), json);
  }
  // Missing members default; an unknown unit is not silently dropped.
  EXPECT_EQ(Describe(COtxQuantity(COtxMap(Members{{"value", COtxInt(3)}}))), "3 scalar p16");
  EXPECT_EQ(Describe(COtxQuantity(COtxMap(Members{
                {"value", COtxFloat(3.5)}, {"unitId", COtxInt(1)}, {"displayPrecision", S("2")}}))),
            "3.5 scalar p16");
  EXPECT_OTX_THROW(COtxQuantity(COtxMap(Members{{"value", COtxInt(3)}, {"unitId", S("mile")}})),
                   OTX::UnknownUnitException, "mile");
  EXPECT_STD_THROW(COtxQuantity(COtxMap(Members{{"unitId", S("km")}})), std::out_of_range,
                   "invalid map<K, T> key");
}

TEST_F(QuantityTest, CountryGroupsShowTheClosestMemberOfTheDimension) {
  OTX::SetCountryGroup(S(""));
  const CKesmar km = Q(1, "km", 3);
  EXPECT_EQ(km.Quantity().ToCountryGroup().GetBehaviourReference(), km.GetBehaviourReference());
  OTX::SetCountryGroup(S("us"));
  const auto invalid = OTX::InvalidConversionException;
  Check({
      {[&] { return km.Quantity().ToCountryGroup(); }, "0.621371192237334 mi p3"},
      {[] { return Q(30, "cm", 1).Quantity().ToCountryGroup(); }, "11.8110236220472 in p1"},
      {[] { return Q(5, "scalar", 0).Quantity().ToGroup("us"); }, "5 scalar p0"},
      {[] { return Q(20, "degC", 0).Quantity().ToGroup("metric"); }, "20 degC p0"},
      {[] { return Q(1, "kg", 0).Quantity().ToCountryGroup(); }, nullptr, invalid},
      {[] { return Q(1, "m", 0).Quantity().ToGroup("nope"); }, nullptr, OTX::UnknownUnitException,
       "unknown group: nope"},
  });
  // A reload keeps the selection; an unknown group clears it.
  kesmar::test::Load(kesmar::test::SmallSpec());
  EXPECT_EQ(std::string(OTX::GetCountryGroup().String()), "us");
  OTX::SetCountryGroup(S("nope"));
  EXPECT_EQ(std::string(OTX::GetCountryGroup().String()), "");
}

TEST_F(QuantityTest, ValuesMadeBeforeAReloadKeepTheirTables) {
  const CKesmar km = COtxUnit("km");
  const CKesmar distance = COtxQuantity(2.0, km, 0);
  kesmar::test::Load("<unitSpec/>");
  EXPECT_OTX_THROW(COtxUnit("km"), OTX::UnknownUnitException, "km");
  EXPECT_EQ(km.Unit().ToSI(1), 1000);
  EXPECT_EQ(std::string(distance.ToString().String()), "2 km");
  EXPECT_EQ(Describe(distance + distance), "4000 m p0");
  EXPECT_EQ(Describe(distance * COtxInt(2)), "4000 m p0");
  EXPECT_EQ(Describe(COtxQuantity(distance, km.Unit().BaseUnit(), 1)), "2000 m p1");
}


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
