#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "COtxBool.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

CKesmar S(const std::string& text) { return COtxString(text); }
CKesmar I(long long value) { return COtxInt(value); }
std::string Text(const CKesmar& value) { return value.String(); }

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
