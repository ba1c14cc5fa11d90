#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxConfirmationType.h"
#include "COtxEnumerationItem.h"
#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxMessageType.h"
#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxStringEncoding.h"
#include "COtxUnit.h"
#include "OtxJSON.h"
#include "TestSupport.h"
#include "units/UnitTestSupport.h"

namespace {

std::string Plain(const CKesmar& value) {
  value.SetOTXJSON(false);
  return value.ToJSON().String();
}

std::string Object(const CKesmar& value) {
  value.SetOTXJSON(true);
  return value.ToJSON().String();
}

CKesmar S(const std::string& text) { return COtxString(text); }

TEST(JsonWrite, PlainAndObjectFormsOfEachType) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const std::tuple<CKesmar, std::string, std::string> cases[] = {
      {CKesmar(), R"("not supported")", R"({"type":"EMPTY","value":"not supported"})"},
      {COtxInt(255, COtxInt::HEX), "255", R"({"type":"INTEGER","value":255,"displayRadix":"HEX"})"},
      {COtxInt(-8, COtxInt::OCT), "-8", R"({"type":"INTEGER","value":-8,"displayRadix":"OCT"})"},
      {COtxInt(2, COtxInt::BIN), "2", R"({"type":"INTEGER","value":2,"displayRadix":"BIN"})"},
      {COtxFloat(1.5, 2), "1.50", R"({"type":"FLOAT","value":1.50,"displayPrecision":2})"},
      // Full precision: the text form keeps 16 digits, the object form the shortest exact text.
      {COtxFloat(0.1 + 0.2), "0.3",
       R"({"type":"FLOAT","value":0.30000000000000004,"displayPrecision":16})"},
      {COtxFloat(-0.0), "0.0", R"({"type":"FLOAT","value":-0.0,"displayPrecision":16})"},
      {COtxFloat(1e19, 0), "10000000000000000000",
       R"({"type":"FLOAT","value":10000000000000000000.0,"displayPrecision":0})"},
      {COtxFloat(std::nan(""), 3), "null",
       R"({"type":"FLOAT","value":"NaN","displayPrecision":3})"},
      {COtxFloat(-kInf), "null", R"({"type":"FLOAT","value":"-Infinity","displayPrecision":16})"},
      {S("a\"b\\c\n"), R"("a\"b\\c\n")", R"({"type":"STRING","value":"a\"b\\c\n"})"},
      {COtxByteField(std::vector<unsigned char>{0x0A, 0xFF}), R"("0AFF")",
       R"({"type":"BYTEFIELD","value":"0AFF"})"},
      {COtxException(OTX::TypeMismatchException, "say \"hi\""),
       R"("TypeMismatchException: say \"hi\"")",
       R"({"type":"EXCEPTION","value":"say \"hi\"","exceptionType":"TypeMismatchException"})"},
      {COtxStringEncoding(COtxStringEncoding::UTF_8), "2",
       R"({"type":"STRING_ENCODING","value":"2"})"},
      {COtxMap(), "{}", R"({"type":"MAP","value":{}})"},
  };
  for (const auto& [value, plain, object] : cases) {
    EXPECT_EQ(Plain(value), plain);
    EXPECT_EQ(Object(value), object);
  }
}

TEST(JsonWrite, StringEscapingMatchesRapidJsonWriter) {
  std::string every;
  for (int byte = 1; byte < 256; ++byte) every += static_cast<char>(byte);
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.String(every.data(), static_cast<rapidjson::SizeType>(every.size()));
  EXPECT_EQ(Plain(S(every)), buffer.GetString());
}

TEST(JsonWrite, ContainersPassTheFlagAndNamedValueMapsArePlain) {
  const CKesmar list = COtxList(std::vector<CKesmar>{COtxInt(1), S("x")});
  EXPECT_EQ(Plain(list), R"([1,"x"])");
  EXPECT_EQ(Object(list),
            R"({"type":"LIST","value":[{"type":"INTEGER","value":1,"displayRadix":"DEC"},)"
            R"({"type":"STRING","value":"x"}]})");
  // An element added later keeps its own (clear) flag.
  list.List().push_back(COtxByteField(std::vector<unsigned char>{0x0A}));
  EXPECT_TRUE(list.ToJSON().String().ends_with(R"(},"0A"]})")) << list.ToJSON().String();
  // Keys: escaped ToString() texts of any type; values: their own forms.
  const CKesmar map =
      COtxMap(std::map<CKesmar, CKesmar>{{COtxInt(1), COtxBool(true)}, {COtxInt(2), COtxList()}});
  EXPECT_EQ(Plain(map), R"({"1":true,"2":[]})");
  EXPECT_EQ(Object(map), R"({"type":"MAP","value":{"1":{"type":"BOOLEAN","value":true},)"
                         R"("2":{"type":"LIST","value":[]}}})");
  // Maps with string keys, and named values, as plain objects.
  const CKesmar named =
      COtxMap(std::map<CKesmar, CKesmar>{{S("a\n"), COtxInt(1)}, {S("b"), S("c")}});
  EXPECT_EQ(Plain(named), R"({"a\n":1,"b":"c"})");
  EXPECT_EQ(OTX::OtxMapToJSON(named).String(), R"({"a\n":1,"b":"c"})");
  std::map<const std::string, CKesmar> vars = {{"x", COtxFloat(2.5, 1)}, {"y", CKesmar()}};
  EXPECT_EQ(OTX::OtxVarMapToJSON(vars).String(), R"({"x":2.5,"y":"not supported"})");
  const CKesmar intKeys = COtxMap(std::map<CKesmar, CKesmar>{{COtxInt(1), COtxInt(2)}});
  EXPECT_OTX_THROW(OTX::OtxMapToJSON(intKeys), OTX::TypeMismatchException,
                   "INTEGER is not a STRING");
}

bool IsJson(const std::string& text) {
  rapidjson::Document document;
  document.Parse(text.c_str(), text.size());
  return !document.HasParseError();
}

// The object form written, parsed and made into a value again.
CKesmar RoundTrip(const CKesmar& value) {
  const std::string text = Object(value);
  EXPECT_TRUE(IsJson(text)) << text;
  CKesmar parsed;
  EXPECT_TRUE(OTX::FromJSON(text.c_str(), parsed)) << text << " -> " << parsed.ToString().String();
  return OTX::OtxMapToKesmar(parsed);
}

// Every type the value factory creates, with the extremes of its members. The writer's texts
// are pinned above, so a value that writes its own form again has read back what it carries.
std::vector<CKesmar> Extremes() {
  using Limits = std::numeric_limits<long long>;
  using kesmar::test::UnitXml;
  constexpr double kInf = std::numeric_limits<double>::infinity();
  kesmar::test::Load("<unitSpec>" + UnitXml("km", "1000", "l") +
                     UnitXml("in", "0.0254", "l", "0", "in&quot;\\") +
                     UnitXml("degC", "1", "t", "273.15", "&#xB0;C") + "</unitSpec>");
  // clang-format off
  std::vector<CKesmar> values = {
      COtxBool(false), COtxBool(true), COtxString(""), COtxString("q\"uote \\ \n\t\x01\x1f"),
      COtxString("\xff\xfe invalid UTF-8 \xc3"), COtxString("caf\xc3\xa9"), COtxByteField(),
      COtxByteField(std::vector<unsigned char>{0x00, 0x0A, 0xFF}),
      COtxException(OTX::TypeMismatchException, "message with \"quotes\" and\ncontrol"),
      COtxException(OTX::UserException, ""), COtxList(), COtxMap(),
      COtxList(std::vector<CKesmar>{
          COtxInt(1, COtxInt::HEX), COtxList(std::vector<CKesmar>{COtxFloat(0.1), COtxList()}),
          COtxMessageType(COtxMessageType::WARNING),
          COtxMap(std::map<CKesmar, CKesmar>{
              {COtxString("k\"\x02"), COtxByteField(std::string("AB"))},
              {COtxString(""), COtxMap()}})}),
      COtxConfirmationType(COtxConfirmationType::CANCEL),
      COtxEnumerationItem(COtxString("Col\"our"), COtxString("RED"), COtxInt(-1)),
      COtxUnit("in"), COtxQuantity(0.1 + 0.2, COtxUnit("km"), 16),
      COtxQuantity(-1e300, COtxUnit("in"), -3), COtxQuantity(1.25, COtxUnit("degC"), 1),
      COtxQuantity(2.0, COtxUnit("scalar"), 20)};
  // clang-format on
  for (long long number : {Limits::min(), Limits::max(), 0LL, -1LL}) {
    for (auto radix : {COtxInt::BIN, COtxInt::OCT, COtxInt::DEC, COtxInt::HEX}) {
      values.push_back(COtxInt(number, radix));
    }
  }
  for (int precision : {-2, 0, 2, 16, 17}) {
    for (double number :
         {0.0, -0.0, 1.5, -1234.5678, 1e19, 0x1p63, -1e300, 5e-324, std::nan(""), kInf, -kInf}) {
      values.push_back(COtxFloat(number, precision));
    }
  }
  return values;
}

TEST(JsonRoundTrip, ObjectFormsReadBackExactly) {
  for (const CKesmar& value : Extremes()) {
    const std::string form = Object(value);
    SCOPED_TRACE(form);
    // Without decimals -0 is written "-0", which reads as the integer 0.
    std::string expected = form;
    if (const auto at = expected.find("\"value\":-0,"); at != std::string::npos) {
      expected.erase(at + 8, 1);
    }
    EXPECT_EQ(Object(RoundTrip(value)), expected);
    EXPECT_TRUE(IsJson(Plain(value))) << Plain(value);
  }
}

// Half from an everyday range, half from all bit patterns (skipping non-finite ones).
TEST(JsonRoundTrip, RandomFullPrecisionDoublesAreBitIdentical) {
  std::mt19937_64 random(20261206);
  std::uniform_real_distribution<double> small(-1e6, 1e6);
  for (int i = 0; i < 2000; ++i) {
    const double number = i % 2 == 0 ? small(random) : std::bit_cast<double>(random());
    if (!std::isfinite(number)) continue;
    const CKesmar back = RoundTrip(COtxFloat(number));
    ASSERT_EQ(std::bit_cast<uint64_t>(back.Float()), std::bit_cast<uint64_t>(number)) << number;
  }
}

}  // namespace
