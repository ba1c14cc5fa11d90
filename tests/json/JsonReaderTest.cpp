#include "OtxJSON.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <map>
#include <random>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "KesmarFactory.h"
#include "PelmUtils.h"
#include "TestSupport.h"

namespace {

CKesmar Str(const std::string& text) { return COtxString(text); }
std::string Text(const CKesmar& value) { return value.String(); }

// The error text of a document that must not parse.
std::string ParseError(const std::string& text) {
  CKesmar result;
  EXPECT_FALSE(OTX::FromJSON(text.c_str(), result)) << text;
  return Text(result);
}

CKesmar ReadForm(const std::string& text) { return OTX::OtxMapToKesmar(OTX::FromJSON(text)); }

COtxInt::Radix RadixOf(const CKesmar& value) {
  return std::dynamic_pointer_cast<COtxIntBehaviour>(value.GetBehaviourReference())->GetRadix();
}

const CKesmar kSeven = COtxMap(std::map<const std::string, CKesmar>{
    {"value", COtxInt(7)}, {"displayRadix", COtxString(std::string("HEX"))}});

class Fixed : public KesmarCreatorBase {
 public:
  using KesmarCreatorBase::KesmarCreatorBase;
  CKesmar Create(const CKesmar&) override { return COtxString(std::string("fixed")); }
};

}  // namespace

TEST(JsonReadValues, ScalarsBecomeTypedValues) {
  const std::pair<const char*, CKesmar> cases[] = {
      {"-9223372036854775808", COtxInt(-9223372036854775807 - 1)},
      {"18446744073709551615", COtxInt(-1)},  // above the signed range: same bits
      {"18446744073709551616", COtxFloat(18446744073709551616.0)},
      // One bit off with the reader's default, faster conversion.
      {"1.3927926388013963e-143", COtxFloat(std::strtod("1.3927926388013963e-143", nullptr))},
      {R"("a\u0000b")", Str("a")},
      {R"("\u00e9")", Str("\xC3\xA9")}};
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    const CKesmar value = OTX::FromJSON(text);
    ASSERT_EQ(value.Type(), expected.Type());
    EXPECT_TRUE(value == expected);
    EXPECT_TRUE(value.Type() != OTX::INTEGER || RadixOf(value) == COtxInt::DEC);
    EXPECT_TRUE(value.Type() != OTX::FLOAT || value.Precision() == 16);
  }
}

TEST(JsonReadValues, ArraysObjectsAndNull) {
  CKesmar value = COtxInt(1);
  EXPECT_TRUE(OTX::FromJSON(" \t\r\nnull ", value));
  EXPECT_EQ(value.Type(), OTX::EMPTY);
  const CKesmar list = OTX::FromJSON(R"([1,"x",[true,null],{}])");
  ASSERT_EQ(list.List().size(), 4u);
  EXPECT_EQ(list.List()[2].List()[1].Type(), OTX::EMPTY);
  const CKesmar map = OTX::FromJSON(R"({"b":{"c":[]},"a":1,"a":2,"k\u0000cut":3})");
  ASSERT_EQ(map.Map().size(), 3u);
  EXPECT_EQ(map.Map().at(Str("a")).Int(), 1);  // a repeated name keeps its first value
  EXPECT_EQ(map.Map().at(Str("k")).Int(), 3);
  EXPECT_EQ(map.Map().at(Str("b")).Map().at(Str("c")).Type(), OTX::LIST);
}

// Long digit strings, subnormals and texts beyond the double range, converted from the text
// itself with correct rounding.
TEST(JsonReadNumbers, ExtremeTextsReadAsTheirCorrectlyRoundedValue) {
  const std::string zeros330(330, '0');
  const struct {
    std::string text;
    OTX::ValueType type;
    double number;  // a FLOAT's value, bits compared
    long long integer = 0;
  } kCases[] = {
      {"0." + zeros330, OTX::FLOAT, 0.0},
      {"0." + zeros330 + "1", OTX::FLOAT, 0.0},
      {"0." + std::string(300, '0') + "000000000000000000000001", OTX::FLOAT, 0.0},
      {"-0.000000000000000000000000", OTX::FLOAT, -0.0},
      {"-1e-400", OTX::FLOAT, -0.0},
      {"4.9406564584124654e-324", OTX::FLOAT, 4.9406564584124654e-324},
      {"2.4703282292062328e-324", OTX::FLOAT, 4.9406564584124654e-324},  // rounds up
      {"2.2250738585072011e-308", OTX::FLOAT, 2.2250738585072009e-308},
      {"0." + std::string(300, '1'), OTX::FLOAT, 0.11111111111111111},
      {std::string(300, '9'), OTX::FLOAT, 1e300},
      {"1.7976931348623157e308", OTX::FLOAT, 1.7976931348623157e308},
      {"-9223372036854775809", OTX::FLOAT, -9223372036854775808.0},
      {"9999999999999999999", OTX::INTEGER, 0, -8446744073709551617},
      {"-0", OTX::INTEGER, 0, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    const CKesmar value = OTX::FromJSON(c.text);
    ASSERT_EQ(value.Type(), c.type) << Text(value.ToString());
    if (c.type == OTX::FLOAT) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(value.Float()),
                std::bit_cast<std::uint64_t>(c.number));
    } else {
      EXPECT_EQ(value.Int(), c.integer);
    }
  }
  for (const auto& [text, offset] : std::vector<std::pair<std::string, int>>{
           {"1e309", 0}, {"[1, 5e308]", 4}, {"1000e306", 0}, {"-" + std::string(400, '1'), 0}}) {
    EXPECT_EQ(ParseError(text),
              "JSON parse error: Number too big to be stored in double. offset: " +
                  std::to_string(offset));
  }
}

// Generated texts of every shape agree bit for bit with strtod in the C locale.
TEST(JsonReadNumbers, AgreeWithStrtod) {
  const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  std::mt19937_64 random(8);
  const auto digits = [&](std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
    return text;
  };
  for (int i = 0; i < 4000; ++i) {
    // One statement per draw, so that every compiler makes the same texts. The leading digit
    // is not 0: the reader refuses an exponent above 308 before looking at the digits, which
    // only misjudges a zero mantissa ("0.0e318").
    std::string text = random() % 2 ? "-" : "";
    text += static_cast<char>('1' + random() % 9);
    text += '.';
    text += digits(1 + random() % (i % 4 == 0 ? 400 : 25));
    text += 'e';
    text += std::to_string(static_cast<int>(random() % 660) - 340);
    const double expected = strtod_l(text.c_str(), nullptr, cLocale);
    if (std::isinf(expected)) continue;
    SCOPED_TRACE(text);
    const CKesmar value = OTX::FromJSON(text);
    ASSERT_EQ(value.Type(), OTX::FLOAT);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(value.Float()), std::bit_cast<std::uint64_t>(expected));
  }
  freelocale(cLocale);
}

TEST(JsonReadErrors, ReportTheMessageAndOffsetAndBoundTheDepth) {
  const std::pair<const char*, const char*> cases[] = {
      {"   ", "The document is empty. offset: 3"},
      {" }", "Invalid value. offset: 1"},  // not an empty document
      {"[1] 2", "The document root must not be followed by other values. offset: 4"}};
  for (const auto& [text, message] : cases) {
    EXPECT_EQ(ParseError(text), std::string("JSON parse error: ") + message);
  }
  EXPECT_EQ(OTX::FromJSON(std::string("[7]\0garbage", 11)).List().at(0).Int(), 7);
  EXPECT_EQ(Text(OTX::FromJSON("{")),
            "JSON parse error: Missing a name for object member. offset: 1");
  // Nesting is bounded at 512 levels.
  const auto nested = [](int depth, const std::string& open, const std::string& close) {
    std::string text = open == "[" ? "" : "0";
    for (int i = 0; i < depth; ++i) text = open + text + close;
    return text;
  };
  EXPECT_EQ(OTX::FromJSON(nested(512, "[", "]")).Type(), OTX::LIST);
  EXPECT_EQ(OTX::FromJSON(nested(512, R"({"a":1,"b":)", "}")).Type(), OTX::MAP);
  // The offset is that of the bracket that opens level 513, however long the text.
  const std::string tooDeep = "JSON parse error: Nesting deeper than 512 levels. offset: 512";
  EXPECT_EQ(ParseError(nested(513, "[", "]")), tooDeep);
  EXPECT_EQ(ParseError(std::string(100000, '[')), tooDeep);
}

TEST(JsonReadObjectForm, FailuresNameTheCauseAndTheObject) {
  const std::pair<const char*, std::string> cases[] = {
      {R"({"value":1})", "invalid map<K, T> key"},
      {R"({"type":"LIST","value":{}})", "TypeMismatchException: MAP is not a LIST"},
      {R"({"type":"MAP","value":{"k":{"type":"EVENT","value":1}}})",
       "TypeMismatchException: Error: Class key not registered: EVENT Parsing type:EVENT, "
       "value:1"}};
  for (const auto& [text, cause] : cases) {
    EXPECT_OTX_THROW(ReadForm(text), OTX::TypeMismatchException,
                     "Error: " + cause + " Parsing " + Text(OTX::FromJSON(text).ToString()));
  }
  // A missing "value" and an argument that is no map are not wrapped.
  EXPECT_STD_THROW(ReadForm(R"({"type":"INTEGER"})"), std::out_of_range, "invalid map<K, T> key");
  EXPECT_OTX_THROW(OTX::OtxMapToKesmar(COtxInt(1)), OTX::TypeMismatchException,
                   "INTEGER is not a MAP");
}

TEST(JsonReadObjectMap, ConvertsInPlaceAndLogsFailuresOrNamesTheValues) {
  PelmUtil::TLogLevel* const levels = PelmUtil::CLog::m_Level;
  PelmUtil::CLog::m_Level = nullptr;  // errors are logged whatever PELM_LOG_LEVEL says
  CKesmar map = OTX::FromJSON(R"({"a":{"type":"INTEGER","value":1,"displayRadix":"HEX"},)"
                              R"("b":5,"c":{"type":"INTEGER"}})");
  testing::internal::CaptureStderr();
  OTX::OtxObjectMapToOtxMap(map);
  const std::string log = testing::internal::GetCapturedStderr();
  PelmUtil::CLog::m_Level = levels;

  EXPECT_EQ(RadixOf(map.Map().at(Str("a"))), COtxInt::HEX);
  EXPECT_EQ(map.Map().at(Str("b")).Int(), 5);
  EXPECT_EQ(map.Map().at(Str("c")).Type(), OTX::MAP);
  for (const char* line : {"JSONtoKesmar:250:OTX::OtxObjectMapToOtxMap:INTEGER is not a MAP\n",
                           "JSONtoKesmar:252:OTX::OtxObjectMapToOtxMap:invalid map<K, T> key\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << log;
  }
  CKesmar list = COtxList();
  EXPECT_OTX_THROW(OTX::OtxObjectMapToOtxMap(list), OTX::TypeMismatchException,
                   "LIST is not a MAP");
  // The named form stops at the first failure.
  const auto named = OTX::OtxObjectMapToOtxVarMap(
      OTX::FromJSON(R"({"x":{"type":"STRING","value":"s"},"y":{"type":"BOOLEAN","value":true}})"));
  ASSERT_EQ(named.size(), 2u);
  EXPECT_EQ(Text(named.at("x")), "s");
  EXPECT_STD_THROW(OTX::OtxObjectMapToOtxVarMap(OTX::FromJSON(R"({"x":{"type":"STRING"}})")),
                   std::out_of_range, "invalid map<K, T> key");
  const CKesmar integerKey = COtxMap(std::map<CKesmar, CKesmar>{
      {COtxInt(1), OTX::FromJSON(R"({"type":"BOOLEAN","value":true})")}});
  EXPECT_OTX_THROW(OTX::OtxObjectMapToOtxVarMap(integerKey), OTX::TypeMismatchException,
                   "INTEGER is not a STRING");
}

TEST(ThreadsJsonRead, ParseAndConvertConcurrently) {
  const std::string text =
      R"({"type":"LIST","value":[{"type":"INTEGER","value":1,"displayRadix":"DEC"},)"
      R"({"type":"MAP","value":{"k":{"type":"FLOAT","value":0.5,"displayPrecision":16}}}]})";
  const CKesmar expected = ReadForm(text);
  std::vector<int> matches(4, 0);
  std::vector<std::thread> threads;
  for (int& count : matches) {
    threads.emplace_back([&text, &expected, &count] {
      for (int i = 0; i < 500; ++i) count += ReadForm(text) == expected ? 1 : 0;
    });
  }
  for (auto& thread : threads) thread.join();
  for (int count : matches) EXPECT_EQ(count, 500);
}

TEST(Factory, KeysMatchExactlyAndALaterCreatorReplacesTheEarlierOne) {
  KesmarFactory* factory = KesmarFactory::Instance();
  EXPECT_EQ(factory->Create("INTEGER", kSeven).Int(), 7);
  for (const char* key : {"integer", "EMPTY", "INTEGER ", "STRING_ENCODING", "LOG_LEVEL"}) {
    EXPECT_STD_THROW(factory->Create(key, kSeven), std::runtime_error,
                     std::string("Class key not registered: ") + key);
  }
  // Constructing a creator registers it; the last one restores integers as the library reads them.
  static Fixed fixed(OTX::INTEGER);
  static KesmarCreator<COtxInt> integers(OTX::INTEGER);
  factory->Register(OTX::INTEGER, &fixed);
  EXPECT_EQ(static_cast<const std::string&>(factory->Create("INTEGER", kSeven).String()), "fixed");
  factory->Register(OTX::INTEGER, &integers);
  EXPECT_EQ(factory->Create("INTEGER", kSeven).Int(), 7);
}
