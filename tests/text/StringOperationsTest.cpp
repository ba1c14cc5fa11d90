#include "COtxString.h"

#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>
#include <string>
#include <vector>

#include "COtxBool.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "TestSupport.h"

namespace {

CKesmar S(const std::string& text) { return COtxString(text); }
CKesmar I(long long value) { return COtxInt(value); }
std::string Text(const CKesmar& value) { return value.String(); }

std::vector<std::string> Parts(const CKesmar& list) {
  std::vector<std::string> parts;
  for (const CKesmar& part : list.List()) parts.push_back(Text(part));
  return parts;
}

// Text operations need a UTF-8 locale for towupper/towlower beyond ASCII.
class StringOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::setlocale(LC_CTYPE, nullptr);
    utf8_ = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
  }
  void TearDown() override { std::setlocale(LC_CTYPE, saved_.c_str()); }

  std::string saved_;
  bool utf8_ = false;
};

TEST_F(StringOperations, LengthCountsCodePointsAndRejectsInvalidUtf8) {
  const struct {
    std::string text;
    long long length;
  } valid[] = {{"", 0},
               {"abc", 3},
               {"f\xC3\xBCr", 3},
               {"\xF0\x9F\x98\x80", 1},
               {"\xC0\x80", 1},                  // over-long form of U+0000
               {"\xED\xA0\x80", 1},              // a lone surrogate
               {"\xF8\x80\x80\x81\x81", 1},      // five-byte over-long 'A'
               {"\xFC\x80\x80\x80\x80\xAF", 1}}; // six-byte over-long '/'
  for (const auto& c : valid) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(S(c.text).String().LengthOfString().Int(), c.length);
  }
  for (const std::string bad : {"\xFF", "\xC3\x28", "\x80", "\xE2\x82", "\xF4\x90\x80\x80",
                                "\xFC\x84\x80\x80\x80\x80"}) {
    SCOPED_TRACE(bad);
    EXPECT_STD_THROW(S(bad).String().LengthOfString(), std::range_error, "bad conversion");
    EXPECT_STD_THROW(S("abc").String().IndexOf(S(bad)), std::range_error, "bad conversion");
  }
}

TEST_F(StringOperations, IndexOfSubStringAndReplace) {
  EXPECT_EQ(S("hello").String().IndexOf(S("lo")).Int(), 3);
  EXPECT_EQ(S("hello").String().IndexOf(S("x")).Int(), -1);
  EXPECT_EQ(S("").String().IndexOf(S("")).Int(), 0);
  EXPECT_EQ(S("a\xC3\xBC" "b").String().IndexOf(S("b")).Int(), 2);
  EXPECT_EQ(S("ab").String().IndexOf(S("abc")).Int(), -1);

  const struct {
    const char* text;
    long long start;
    long long length;
    const char* part;
  } subs[] = {{"abcdef", 2, 3, "cde"},  {"abcdef", 4, 10, "ef"}, {"abcdef", 6, 1, ""},
              {"abcdef", 1, -1, "bcdef"}, {"gr\xC3\xBC\xC3\x9F" "en", 2, 2, "\xC3\xBC\xC3\x9F"}};
  for (const auto& c : subs) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Text(S(c.text).String().SubString(I(c.start), I(c.length))), c.part);
  }
  const struct {
    const char* with;
    long long start;
    const char* result;
  } replaces[] = {{"XY", 1, "aXYdef"}, {"XYZ", 4, "abcdXYZ"}, {"XY", 6, "abcdefXY"},
                  {"", 2, "abcdef"},   {"\xC3\xA9", 0, "\xC3\xA9" "bcdef"}};
  for (const auto& c : replaces) {
    SCOPED_TRACE(c.with);
    EXPECT_EQ(Text(S("abcdef").String().ReplaceSubString(S(c.with), I(c.start))), c.result);
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

TEST_F(StringOperations, SplitKeepsInnerAndLeadingEmptyPartsButNoTrailingOne) {
  const struct {
    const char* text;
    const char* delimiter;
    std::vector<std::string> parts;
  } cases[] = {{"a,b,,c", ",", {"a", "b", "", "c"}},
               {",a", ",", {"", "a"}},
               {"a,", ",", {"a"}},
               {",", ",", {""}},
               {"abc", "", {"a", "b", "c"}},
               {"", ",", {}},
               {"a--b", "--", {"a", "b"}},
               {"abc", "abcd", {"abc"}},
               {"\xC3\xA9x\xC3\xA9", "x", {"\xC3\xA9", "\xC3\xA9"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " at " + c.delimiter);
    const CKesmar list = S(c.text).String().SplitString(S(c.delimiter));
    EXPECT_EQ(list.Type(), OTX::LIST);
    EXPECT_EQ(Parts(list), c.parts);
  }
}

TEST_F(StringOperations, CaseMappingAndBooleanConversion) {
  EXPECT_EQ(Text(S("abc-xyz 1").String().ToUpper()), "ABC-XYZ 1");
  EXPECT_EQ(Text(S("ABC").String().ToLower()), "abc");
  EXPECT_EQ(Text(S("\xF0\x9F\x98\x80").String().ToUpper()), "\xF0\x9F\x98\x80");
  // Over-long input comes back in the shortest form.
  EXPECT_EQ(Text(S("\xC1\x81").String().ToLower()), "a");
  if (utf8_) {
    EXPECT_EQ(Text(S("gr\xC3\xBC\xC3\x9F").String().ToUpper()), "GR\xC3\x9C\xC3\x9F");
    EXPECT_EQ(Text(S("\xC3\x89T\xC3\x89").String().ToLower()), "\xC3\xA9t\xC3\xA9");
  }
  for (const auto& [text, truth] : std::vector<std::pair<std::string, bool>>{
           {"TRUE", true}, {"True", true}, {"true ", false}, {"1", false}, {"", false}}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(S(text).ToBoolean().Bool(), truth);
  }
  EXPECT_STD_THROW(S("\xFF").ToBoolean(), std::range_error, "bad conversion");
}

TEST_F(StringOperations, RegularExpressionFailuresAreInvalidExpressions) {
  EXPECT_TRUE(S("abc123").String().MatchToRegularExpression(S("[0-9]+")).Bool());
  EXPECT_FALSE(S("abc").String().MatchToRegularExpression(S("B")).Bool());
  EXPECT_OTX_THROW(S("abc").String().MatchToRegularExpression(S("(")),
                   OTX::OutOfBoundsException, "invalid regular expression");
  EXPECT_OTX_THROW(S("abc").String().MatchToRegularExpression(I(1)), OTX::OutOfBoundsException,
                   "invalid regular expression");
}

}  // namespace
