#include "COtxString.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxMap.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;
using Members = std::map<const std::string, CKesmar>;

std::string Text(const CKesmar& value) { return value.String(); }

TEST(COtxString, ConstructorsStoreBytesUnchecked) {
  // Invalid UTF-8 is kept; wide, UTF-16 and UTF-32 code units keep their low byte.
  const std::pair<CKesmar, std::string> cases[] = {
      // clang-format off
      {COtxString(), ""}, {COtxString("abc", 0), ""}, {COtxString("a\0b", 3), "a\0b"s},
      {COtxString("\xFF\xFE"s), "\xFF\xFE"s}, {COtxString(std::u32string{0x1F600}), "\0"s},
      {COtxString(std::wstring{L'a', 0xE9, 0x4E2D}), "a\xE9\x2D"},
      {COtxString(std::u16string{0xE9, 0x4E2D}), "\xE9\x2D"},
      // clang-format on
  };
  for (const auto& [value, bytes] : cases) {
    EXPECT_EQ(value.Type(), OTX::STRING);
    EXPECT_EQ(Text(value), bytes);
  }
}

TEST(COtxString, ToIntegerAcceptsExactlyOneInteger) {
  const std::pair<const char*, long long> cases[] = {
      // clang-format off
      {"42", 42}, {" -7", -7}, {"\t+5", 5}, {"0x1F", 31}, {"0X1f", 31}, {"010", 8},
      {"9223372036854775807", std::numeric_limits<long long>::max()},
      {"-9223372036854775808", std::numeric_limits<long long>::min()}};
  // clang-format on
  for (const auto& [text, value] : cases) EXPECT_EQ(COtxString(text).ToInteger().Int(), value);
  const auto hex = COtxString("0x1F").ToInteger().GetBehaviourReference();
  EXPECT_EQ(std::dynamic_pointer_cast<COtxIntBehaviour>(hex)->GetRadix(), COtxInt::DEC);
  for (const std::string& text : {""s, "abc"s, "08"s, "12 "s, "1.5"s, "0x"s, "1\0"s + "2",
                                  "9223372036854775808"s, "-9223372036854775809"s}) {
    EXPECT_OTX_THROW(COtxString(text).ToInteger(), OTX::TypeMismatchException, "");
  }
}

TEST(COtxString, ToFloatAllowsOneSuffixCharacter) {
  // Only the first character after the number is looked at: "1.25fz" is 1.25.
  const std::pair<const char*, double> cases[] = {
      // clang-format off
      {"1.5", 1.5}, {"2.5f", 2.5}, {"2.5F", 2.5}, {"3d", 3}, {"3D", 3}, {"1e3", 1000}, {"  4", 4},
      {"0x1p4", 16}, {"1.25fz", 1.25}, {"7dd", 7}, {"inf", HUGE_VAL},
      {"4.940656458412465e-324", 4.9406564584124654e-324}, {"1e-400", 0.0},
      {"1.112536929253601e-308", std::strtod("1.112536929253601e-308", nullptr)}};
  // clang-format on
  for (const auto& [text, value] : cases) {
    const CKesmar result = COtxString(text).ToFloat();
    EXPECT_EQ(result.Float(), value) << text;
    EXPECT_EQ(result.Precision(), 16);
  }
  EXPECT_TRUE(std::isnan(COtxString("nan").ToFloat().Float()));
  // A float's own text converts back (to its 16 digits), subnormal ones too.
  for (const double value : {5e-324, DBL_MIN / 2, -DBL_MIN / 3}) {
    EXPECT_NEAR(COtxFloat(value, 16).ToString().ToFloat().Float(), value, 1e-15 * std::fabs(value));
  }
  for (const std::string& text :
       {""s, "abc"s, "."s, "1.5x"s, "1.5 "s, "1.25z"s, "1e400"s, "1.5\0f"s}) {
    EXPECT_OTX_THROW(COtxString(text).ToFloat(), OTX::TypeMismatchException, "");
  }
}

TEST(COtxString, ToFloatIgnoresTheProcessLocale) {
  struct LocaleRestorer {
    std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    ~LocaleRestorer() { std::setlocale(LC_NUMERIC, saved.c_str()); }
  } restorer;
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
    GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  }
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(COtxString("1.5").ToFloat().Float(), 1.5);
  EXPECT_OTX_THROW(COtxString("1,5").ToFloat(), OTX::TypeMismatchException, "");
}

TEST(COtxString, ToStreamHonoursWidthFillAndAdjustment) {
  std::ostringstream right;
  std::ostringstream left;
  right << std::setw(5) << COtxString("abc") << '|' << std::setw(2) << COtxString("a\0b", 3);
  left << std::left << std::setfill('*') << std::setw(6) << COtxString("abc") << '|';
  EXPECT_EQ(right.str(), "  abc|a\0b"s);
  EXPECT_EQ(left.str(), "abc***|");
}

TEST(COtxString, ObjectFormSharesTheValueMemberWhateverItsType) {
  const COtxString text("x");
  EXPECT_EQ(COtxString(COtxMap(Members{{"type", COtxString("STRING")}, {"value", text}}))
                .GetBehaviourReference(),
            text.GetBehaviourReference());
  const COtxString integer(COtxMap(Members{{"value", COtxInt(7)}}));
  EXPECT_EQ(integer.Int(), 7);
  EXPECT_STD_THROW(COtxString{COtxMap(Members{{"type", COtxString("STRING")}})}, std::out_of_range,
                   "invalid map<K, T> key");
  EXPECT_OTX_THROW(COtxString{COtxInt(1)}, OTX::TypeMismatchException, "INTEGER is not a MAP");
}

}  // namespace
