// The default unit specification shipped in data/units.xml, checked against the published
// definitions (NIST SP 811, Appendix B) written out independently here.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <set>
#include <string>

#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "OtxUnitSpec.h"
#include "units/detail/UnitTables.h"

namespace {

constexpr double kInch = 0.0254, kFoot = 0.3048, kYard = 0.9144, kMile = 1609.344;
constexpr double kPound = 0.45359237, kPoundForce = 4.4482216152605, kGravity = 9.80665;
constexpr double kUsGallon = 3.785411784e-3, kImperialGallon = 4.54609e-3;
constexpr double kBtu = 1055.05585262, kCalorie = 4.184, kMillimetreOfMercury = 133.322387415;
constexpr double kDegree = std::numbers::pi / 180;

struct Published {
  const char* id;
  double factor;
  double offset = 0;
};

// clang-format off
const Published kUnits[] = {
    {"scalar", 1}, {"%", 1e-2}, {"permille", 1e-3}, {"ppm", 1e-6}, {"m", 1}, {"km", 1e3},
    {"dm", 1e-1}, {"cm", 1e-2}, {"mm", 1e-3}, {"um", 1e-6}, {"nm", 1e-9}, {"in", kInch},
    {"ft", kFoot}, {"yd", kYard}, {"mi", kMile}, {"nmi", 1852}, {"m2", 1}, {"km2", 1e6},
    {"ha", 1e4}, {"cm2", 1e-4}, {"mm2", 1e-6}, {"in2", kInch * kInch}, {"ft2", kFoot * kFoot},
    {"m3", 1}, {"l", 1e-3}, {"ml", 1e-6}, {"cm3", 1e-6}, {"mm3", 1e-9}, {"US_gal", kUsGallon},
    {"US_qt", kUsGallon / 4}, {"US_pt", kUsGallon / 8}, {"US_floz", kUsGallon / 128},
    {"imp_gal", kImperialGallon}, {"imp_pt", kImperialGallon / 8},
    {"imp_floz", kImperialGallon / 160}, {"in3", kInch * kInch * kInch},
    {"ft3", kFoot * kFoot * kFoot}, {"kg", 1}, {"g", 1e-3}, {"mg", 1e-6}, {"ug", 1e-9}, {"t", 1e3},
    {"lb", kPound}, {"oz", kPound / 16}, {"st", 14 * kPound}, {"s", 1}, {"ms", 1e-3}, {"us", 1e-6},
    {"ns", 1e-9}, {"min", 60}, {"h", 3600}, {"d", 86400}, {"A", 1}, {"kA", 1e3}, {"mA", 1e-3},
    {"uA", 1e-6}, {"K", 1}, {"degC", 1, 273.15}, {"degF", 1 / 1.8, 459.67 / 1.8}, {"degR", 1 / 1.8},
    {"mol", 1}, {"mmol", 1e-3}, {"cd", 1}, {"rad", 1}, {"mrad", 1e-3}, {"deg", kDegree},
    {"rev", 2 * std::numbers::pi}, {"rad/s", 1}, {"deg/s", kDegree}, {"Hz", 1}, {"kHz", 1e3},
    {"MHz", 1e6}, {"GHz", 1e9}, {"rpm", 1.0 / 60}, {"m/s", 1}, {"km/h", 1 / 3.6},
    {"mph", kMile / 3600}, {"ft/s", kFoot}, {"kn", 1852.0 / 3600}, {"m/s2", 1}, {"gn", kGravity},
    {"ft/s2", kFoot}, {"N", 1}, {"kN", 1e3}, {"mN", 1e-3}, {"lbf", kPoundForce}, {"kgf", kGravity},
    {"J", 1}, {"kJ", 1e3}, {"MJ", 1e6}, {"Wh", 3600}, {"kWh", 3.6e6}, {"cal", kCalorie},
    {"kcal", 1e3 * kCalorie}, {"BTU", kBtu}, {"ft.lbf", kFoot * kPoundForce}, {"N.m", 1},
    {"mN.m", 1e-3}, {"N.cm", 1e-2}, {"kgf.m", kGravity}, {"lbf.ft", kPoundForce * kFoot},
    {"lbf.in", kPoundForce * kInch}, {"W", 1}, {"mW", 1e-3}, {"kW", 1e3}, {"MW", 1e6},
    {"hp", 550 * kFoot * kPoundForce}, {"PS", 75 * kGravity}, {"BTU/h", kBtu / 3600}, {"Pa", 1},
    {"hPa", 1e2}, {"kPa", 1e3}, {"MPa", 1e6}, {"bar", 1e5}, {"mbar", 1e2},
    {"psi", kPoundForce / (kInch * kInch)}, {"atm", 101325}, {"mmHg", kMillimetreOfMercury},
    {"inHg", kMillimetreOfMercury * 25.4}, {"Torr", 101325.0 / 760}, {"kgf/cm2", kGravity * 1e4},
    {"C", 1}, {"A.h", 3600}, {"mA.h", 3.6}, {"V", 1}, {"kV", 1e3}, {"mV", 1e-3}, {"uV", 1e-6},
    {"ohm", 1}, {"mohm", 1e-3}, {"kohm", 1e3}, {"Mohm", 1e6}, {"S", 1}, {"mS", 1e-3}, {"uS", 1e-6},
    {"F", 1}, {"uF", 1e-6}, {"nF", 1e-9}, {"pF", 1e-12}, {"H", 1}, {"mH", 1e-3}, {"uH", 1e-6},
    {"Wb", 1}, {"T", 1}, {"mT", 1e-3}, {"m3/s", 1}, {"m3/h", 1.0 / 3600}, {"l/s", 1e-3},
    {"l/min", 1e-3 / 60}, {"l/h", 1e-3 / 3600}, {"US_gal/min", kUsGallon / 60},
    {"US_gal/h", kUsGallon / 3600}, {"imp_gal/min", kImperialGallon / 60},
    {"imp_gal/h", kImperialGallon / 3600}, {"kg/s", 1}, {"kg/h", 1.0 / 3600}, {"g/s", 1e-3},
    {"lb/min", kPound / 60}, {"lb/h", kPound / 3600},
};
// clang-format on

const char* const kCountries[] = {"metric", "usCustomary", "ukImperial"};

class DefaultUnits : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::ifstream file(KESMAR_UNITS_XML);
    ASSERT_TRUE(file) << KESMAR_UNITS_XML;
    OTX::Initialise(file);
  }
};

TEST_F(DefaultUnits, EveryUnitHasItsPublishedFactorAndOffset) {
  std::set<std::string> published;
  for (const Published& unit : kUnits) {
    SCOPED_TRACE(unit.id);
    published.insert(unit.id);
    const auto loaded = OTX::COtxUnitSpec::Instance().GetUnit(unit.id);
    EXPECT_DOUBLE_EQ(loaded->siFactor, unit.factor);
    EXPECT_DOUBLE_EQ(loaded->siOffset, unit.offset);
    // Every dimension has its base unit, so sums and SI values work for every unit.
    EXPECT_EQ(COtxUnit(unit.id).Unit().BaseUnit().Unit().ToSI(1), 1);
  }
  std::set<std::string> defined;
  for (const auto& [id, entry] : OTX::COtxUnitSpec::Instance().Tables()->Units()) {
    defined.insert(id);
  }
  EXPECT_EQ(defined, published);
}

TEST_F(DefaultUnits, EveryUnitShowsInEveryCountryGroup) {
  for (const char* country : kCountries) {
    for (const Published& unit : kUnits) {
      SCOPED_TRACE(std::string(unit.id) + " in " + country);
      const CKesmar shown = COtxQuantity(1.0, COtxUnit(unit.id), 3).Quantity().ToGroup(country);
      EXPECT_EQ(shown.Quantity().QuantityUnit().Unit().PhysicalDimension(),
                COtxUnit(unit.id).Unit().PhysicalDimension());
    }
  }
  EXPECT_EQ(std::string(OTX::GetCountryGroups(COtxString(std::string("de"))).ToString().String()),
            "metric:Metrisch, ukImperial:Britisch imperial, usCustomary:US-amerikanisch");
}

TEST_F(DefaultUnits, ConvertsEndToEnd) {
  struct Case {
    double value;
    const char* unit;
    const char* group;
    double expected;
    const char* expectedUnit;
  };
  const Case cases[] = {{100, "km/h", "usCustomary", 62.137119223733397, "mph"},
                        {2, "bar", "usCustomary", 29.007547546041845, "psi"},
                        {20, "degC", "usCustomary", 68, "degF"},
                        {68, "degF", "metric", 20, "degC"},
                        {300, "lbf.ft", "metric", 406.74538449942012, "N.m"},
                        {150, "hp", "metric", 111.85498073734053, "kW"}};
  for (const Case& test : cases) {
    SCOPED_TRACE(std::string(test.unit) + " in " + test.group);
    const CKesmar shown =
        COtxQuantity(test.value, COtxUnit(test.unit), 16).Quantity().ToGroup(test.group);
    EXPECT_EQ(shown.Quantity().QuantityUnit().Unit().Id(), test.expectedUnit);
    EXPECT_NEAR(shown.Quantity().Value().Float(), test.expected, 1e-9 * test.expected);
  }
  // Products find the named derived units.
  const std::tuple<const char*, const char*, const char*> products[] = {
      {"N", "m", "J"}, {"V", "A", "W"}, {"km/h", "h", "m"}, {"rpm", "min", "scalar"}};
  for (const auto& [a, b, expected] : products) {
    EXPECT_EQ((COtxUnit(a) * COtxUnit(b)).Unit().Id(), expected);
  }
}

}  // namespace
