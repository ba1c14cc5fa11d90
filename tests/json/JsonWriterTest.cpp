#include <gtest/gtest.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "COtxStringEncoding.h"
#include "OtxJSON.h"
#include "TestSupport.h"

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

}  // namespace
