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
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "COtxBool.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxStringEncoding.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;
using Members = std::map<const std::string, CKesmar>;
using Bytes = std::vector<unsigned char>;

CKesmar S(const std::string& text) { return COtxString(text); }
CKesmar I(long long value) { return COtxInt(value); }
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
  EXPECT_OTX_THROW(COtxString{COtxInt(1)}, OTX::TypeMismatchException, "INTEGER is not a MAP");
}


TEST(StringEncoding, NamesAndNumbersAgree) {
  const std::string names[] = {"US-ASCII", "ISO-8859-1", "UTF-8",       "UTF-16BE",
                               "UTF-16LE", "UTF-16",     "BIN",         "OCT",
                               "HEX",      "ISO-8859-2", "WINDOWS-1252"};
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(COtxStringEncoding::String(static_cast<COtxStringEncoding::Encoding>(i)), names[i]);
    const COtxStringEncoding byName(names[i]);
    EXPECT_EQ(byName.Int(), i);
    EXPECT_EQ(byName.Type(), OTX::STRING_ENCODING);
    EXPECT_EQ(byName.ToString().String(), names[i]);
  }
  // Lookup is exact: any other text is US-ASCII, without complaint.
  for (const char* name : {"utf-16le", "UTF-8 ", "LATIN1"}) {
    EXPECT_EQ(COtxStringEncoding(std::string(name)).Int(), 0) << name;
  }
  const COtxStringEncoding eleven(static_cast<COtxStringEncoding::Encoding>(11));
  EXPECT_EQ(eleven.Int(), 11);
  EXPECT_EQ(eleven.ToString().String(), "");
  EXPECT_EQ(COtxStringEncoding::String(static_cast<COtxStringEncoding::Encoding>(-1)), "");
  // Comparison is the integer's.
  EXPECT_TRUE(COtxStringEncoding(COtxStringEncoding::HEX) == CKesmar(COtxStringEncoding("HEX")));
  EXPECT_TRUE(COtxStringEncoding(COtxStringEncoding::UTF_8) < COtxStringEncoding("HEX"));
}

TEST(StringFromBytes, DecodesEachEncodingAndNamesItInFailures) {
  using E = COtxStringEncoding;
  const std::tuple<E::Encoding, Bytes, std::string> cases[] = {
      // clang-format off
      // US-ASCII and UTF-8 are copied unchecked.
      {E::US_ASCII, {0x48, 0xE9}, "H\xE9"}, {E::UTF_8, {0xC3, 0xA9, 0xFF}, "\xC3\xA9\xFF"},
      {E::HEX, {0x0A, 0xFF, 0x00}, "0AFF00"}, {E::ISO_8859_1, {0x63, 0xE9}, "c\xC3\xA9"},
      {E::ISO_8859_2, {0xB1}, "\xC4\x85"}, {E::WINDOWS_1252, {0x80}, "\xE2\x82\xAC"},
      {E::UTF_16BE, {0x00, 0x41, 0x20, 0xAC}, "A\xE2\x82\xAC"},
      {E::UTF_16LE, {0x41, 0x00, 0xAC, 0x20}, "A\xE2\x82\xAC"},
      // UTF-16 follows a byte-order mark, else it is big-endian.
      {E::UTF_16, {0xFF, 0xFE, 0x41, 0x00}, "A"}, {E::UTF_16, {0x00, 0x41}, "A"},
      // An explicit byte order keeps a mark as text.
      {E::UTF_16BE, {0xFE, 0xFF, 0x00, 0x41}, "\xEF\xBB\xBF" "A"},
      // Empty input is never examined.
      {E::BIN, {}, ""}, {static_cast<E::Encoding>(42), {}, ""},
      // clang-format on
  };
  for (const auto& [encoding, bytes, text] : cases) {
    EXPECT_EQ(COtxString(bytes, encoding).String(), text) << E::String(encoding);
  }
  // Encodings without a text form are unsupported; bytes a set cannot convert are out of bounds.
  const std::tuple<E::Encoding, Bytes, OTX::Exceptions_e, const char*> failures[] = {
      {E::OCT, {1}, OTX::UnsupportedEncodingException, "OCT"},
      {E::BIN, {1}, OTX::UnsupportedEncodingException, "BIN"},
      {static_cast<E::Encoding>(11), {1}, OTX::UnsupportedEncodingException, "encoding 11"},
      {E::UTF_16BE, {0x00, 0x41, 0x00}, OTX::OutOfBoundsException, "UTF-16BE"},
      {E::WINDOWS_1252, {0x81}, OTX::OutOfBoundsException, "WINDOWS-1252"}};
  for (const auto& [encoding, bytes, id, message] : failures) {
    EXPECT_OTX_THROW(static_cast<void>(COtxString(bytes, encoding)), id, message);
  }
}


TEST(StringOperations, LengthCountsCodePointsAndRejectsInvalidUtf8) {
  // Over-long forms (of U+0000, 'A' and '/') and a lone surrogate decode as written.
  const std::pair<std::string, long long> valid[] = {// clang-format off
      {"", 0}, {"abc", 3}, {"f\xC3\xBCr", 3}, {"\xF0\x9F\x98\x80", 1}, {"\xC0\x80", 1},
      {"\xED\xA0\x80", 1}, {"\xF8\x80\x80\x81\x81", 1}, {"\xFC\x80\x80\x80\x80\xAF", 1}};
  // clang-format on
  for (const auto& [text, length] : valid) {
    EXPECT_EQ(S(text).String().LengthOfString().Int(), length) << text;
  }
  for (const std::string bad :
       {"\xFF", "\xC3\x28", "\x80", "\xE2\x82", "\xF4\x90\x80\x80", "\xFC\x84\x80\x80\x80\x80"}) {
    SCOPED_TRACE(bad);
    EXPECT_STD_THROW(S(bad).String().LengthOfString(), std::range_error, "bad conversion");
    EXPECT_STD_THROW(S("abc").String().IndexOf(S(bad)), std::range_error, "bad conversion");
  }
}

TEST(StringOperations, IndexOfSubStringAndReplace) {
  EXPECT_EQ(S("hello").String().IndexOf(S("lo")).Int(), 3);
  EXPECT_EQ(S("hello").String().IndexOf(S("x")).Int(), -1);
  EXPECT_EQ(S("\xC3\xBCxb").String().IndexOf(S("b")).Int(), 2);

  const std::tuple<const char*, long long, long long, const char*> subs[] = {
      {"abcdef", 4, 10, "ef"},
      {"abcdef", 6, 1, ""},
      {"abcdef", 1, -1, "bcdef"},
      {"gr\xC3\xBC\xC3\x9Fxy", 2, 2, "\xC3\xBC\xC3\x9F"}};
  for (const auto& [text, start, length, part] : subs) {
    EXPECT_EQ(Text(S(text).String().SubString(I(start), I(length))), part) << text << start;
  }
  // clang-format off
  const std::tuple<const char*, long long, const char*> replaces[] = {
      {"XY", 1, "aXYdef"}, {"XYZ", 4, "abcdXYZ"}, {"XY", 6, "abcdefXY"},
      {"\xC3\xA9", 0, "\xC3\xA9" "bcdef"}};
  // clang-format on
  for (const auto& [with, start, result] : replaces) {
    EXPECT_EQ(Text(S("abcdef").String().ReplaceSubString(S(with), I(start))), result) << with;
  }
  for (long long start : {7LL, -1LL, 4294967296LL + 7}) {
    SCOPED_TRACE(start);
    EXPECT_STD_THROW(S("abcdef").String().SubString(I(start), I(1)), std::out_of_range,
                     "invalid string position");
    EXPECT_STD_THROW(S("abcdef").String().ReplaceSubString(S("X"), I(start)), std::out_of_range,
                     "invalid string position");
  }
  // Only the low 32 bits count: 2^32 + 2 starts at 2.
  EXPECT_EQ(Text(S("abcdef").String().SubString(I(4294967298LL), I(1))), "c");
  EXPECT_OTX_THROW(S("abc").String().SubString(S("1"), I(1)), OTX::TypeMismatchException,
                   "STRING is not a INTEGER");
}

TEST(StringOperations, SplitKeepsInnerAndLeadingEmptyPartsButNoTrailingOne) {
  // clang-format off
  const struct {
    const char* text;
    const char* delimiter;
    std::vector<std::string> parts;
  } cases[] = {{"a,b,,c", ",", {"a", "b", "", "c"}}, {",a", ",", {"", "a"}}, {"a,", ",", {"a"}},
               {",", ",", {""}}, {"abc", "", {"a", "b", "c"}}, {"", ",", {}},
               {"a--b", "--", {"a", "b"}}, {"\xC3\xA9x\xC3\xA9", "x", {"\xC3\xA9", "\xC3\xA9"}}};
  // clang-format on
  for (const auto& c : cases) {
    const CKesmar list = S(c.text).String().SplitString(S(c.delimiter));
    std::vector<std::string> parts;
    for (const CKesmar& part : list.List()) parts.push_back(Text(part));
    EXPECT_EQ(parts, c.parts) << c.text << " at " << c.delimiter;
  }
}

TEST(StringOperations, CaseMappingAndBooleanConversion) {
  EXPECT_EQ(Text(S("abc-xyz 1").String().ToUpper()), "ABC-XYZ 1");
  EXPECT_EQ(Text(S("ABC").String().ToLower()), "abc");
  EXPECT_EQ(Text(S("\xF0\x9F\x98\x80").String().ToUpper()), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Text(S("\xC1\x81").String().ToLower()), "a");  // over-long input comes back short
  // Beyond ASCII, towupper and towlower need a UTF-8 locale.
  const std::string saved = std::setlocale(LC_CTYPE, nullptr);
  if (std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr) {
    EXPECT_EQ(Text(S("gr\xC3\xBC\xC3\x9F").String().ToUpper()), "GR\xC3\x9C\xC3\x9F");
    EXPECT_EQ(Text(S("\xC3\x89T\xC3\x89").String().ToLower()), "\xC3\xA9t\xC3\xA9");
  }
  std::setlocale(LC_CTYPE, saved.c_str());
  for (const auto& [text, truth] :
       std::vector<std::pair<std::string, bool>>{{"TRUE", true}, {"true ", false}, {"1", false}}) {
    EXPECT_EQ(S(text).ToBoolean().Bool(), truth) << text;
  }
  EXPECT_STD_THROW(S("\xFF").ToBoolean(), std::range_error, "bad conversion");
}

}  // namespace
