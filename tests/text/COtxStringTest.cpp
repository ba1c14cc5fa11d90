#include "COtxString.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <iomanip>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include "COtxInt.h"
#include "COtxMap.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;

std::string Text(const CKesmar& value) { return value.String(); }

TEST(COtxString, ConstructorsStoreBytesUnchecked) {
  const struct {
    const char* what;
    CKesmar value;
    std::string bytes;
  } cases[] = {
      {"default", COtxString(), ""},
      {"pointer, length 0", COtxString("abc", 0), ""},
      {"embedded zero byte", COtxString("a\0b", 3), "a\0b"s},
      {"invalid UTF-8 kept", COtxString("\xFF\xFE"s), "\xFF\xFE"s},
      {"wide keeps low byte", COtxString(std::wstring{L'a', 0xE9, 0x4E2D}), "a\xE9\x2D"},
      {"utf-16 keeps low byte", COtxString(std::u16string{0xE9, 0x4E2D}), "\xE9\x2D"},
      {"utf-32 keeps low byte", COtxString(std::u32string{0x1F600}), "\0"s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.value.Type(), OTX::STRING);
    EXPECT_EQ(Text(c.value), c.bytes);
  }
}

TEST(COtxString, ToIntegerAcceptsExactlyOneInteger) {
  const struct {
    const char* text;
    long long value;
  } cases[] = {
      // clang-format off
      {"42", 42}, {" -7", -7}, {"\t+5", 5}, {"-0", 0}, {"0x1F", 31}, {"0X1f", 31}, {"010", 8},
      {"9223372036854775807", std::numeric_limits<long long>::max()},
      {"-9223372036854775808", std::numeric_limits<long long>::min()},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const CKesmar result = COtxString(c.text).ToInteger();
    EXPECT_EQ(result.Int(), c.value);
    const auto integer =
        std::dynamic_pointer_cast<COtxIntBehaviour>(result.GetBehaviourReference());
    ASSERT_NE(integer, nullptr);
    EXPECT_EQ(integer->GetRadix(), COtxInt::DEC);
  }
  // clang-format off
  const std::string rejected[] = {"", " ", "abc", "08", "12 ", "1.5", "0x", "- 5", "1\0"s + "2",
                                  "9223372036854775808", "-9223372036854775809"};
  // clang-format on
  for (const std::string& text : rejected) {
    SCOPED_TRACE(text);
    EXPECT_OTX_THROW(COtxString(text).ToInteger(), OTX::TypeMismatchException, "");
  }
}

TEST(COtxString, ToFloatAllowsOneSuffixCharacter) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      // clang-format off
      {"1.5", 1.5}, {"2.5f", 2.5}, {"2.5F", 2.5}, {"3d", 3}, {"3D", 3}, {"1e3", 1000},
      {"  4", 4}, {"0x1p4", 16}, {"inf", std::numeric_limits<double>::infinity()},
      // Only the first character after the number is looked at.
      {"1.25fz", 1.25}, {"7dd", 7},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const CKesmar result = COtxString(c.text).ToFloat();
    EXPECT_EQ(result.Float(), c.value);
    EXPECT_EQ(result.Precision(), 16);
  }
  EXPECT_TRUE(std::isnan(COtxString("nan").ToFloat().Float()));
  const std::string rejected[] = {"", "abc", ".", "1.5x", "1.5 ", "1.25z", "1e400", "1.5\0f"s};
  for (const std::string& text : rejected) {
    SCOPED_TRACE(text);
    EXPECT_OTX_THROW(COtxString(text).ToFloat(), OTX::TypeMismatchException, "");
  }
}

TEST(COtxString, ToFloatIgnoresTheProcessLocale) {
  // Puts the process's numeric locale back however the test ends.
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
  const COtxMap object(
      std::map<const std::string, CKesmar>{{"type", COtxString("STRING")}, {"value", text}});
  EXPECT_EQ(COtxString(object).GetBehaviourReference(), text.GetBehaviourReference());

  const COtxString integer(COtxMap(std::map<const std::string, CKesmar>{{"value", COtxInt(7)}}));
  EXPECT_EQ(integer.Type(), OTX::INTEGER);
  EXPECT_EQ(integer.Int(), 7);

  const COtxMap noValue(std::map<const std::string, CKesmar>{{"type", COtxString("STRING")}});
  EXPECT_STD_THROW(COtxString{noValue}, std::out_of_range, "invalid map<K, T> key");
  EXPECT_STD_THROW(COtxString{COtxMap()}, std::out_of_range, "invalid map<K, T> key");
  EXPECT_OTX_THROW(COtxString{COtxInt(1)}, OTX::TypeMismatchException, "INTEGER is not a MAP");
}

}  // namespace
