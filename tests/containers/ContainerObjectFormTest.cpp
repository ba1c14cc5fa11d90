#include <gtest/gtest.h>

#include <map>
#include <string>

#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "OtxJSON.h"
#include "TestSupport.h"

namespace {

// Elements or entries that read as EMPTY are dropped; the others keep their order.
TEST(ContainerObjectForm, EmptyResultsAreDropped) {
  const struct {
    const char* json;
    const char* text;
  } kCases[] = {
      {R"({"type":"LIST","value":[{"type":"STRING","value":null},{"type":"STRING","value":"x"}]})",
       "x"},
      {R"({"type":"MAP","value":{"e":{"type":"STRING","value":null},"s":{"type":"STRING","value":"x"}}})",
       "s:x"},
      {R"({"type":"LIST","value":[{"type":"LIST","value":[]},{"type":"STRING","value":null}]})",
       "<empty>"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.json);
    const CKesmar value = OTX::OtxMapToKesmar(OTX::FromJSON(c.json));
    EXPECT_EQ(static_cast<const std::string&>(value.ToString().String()), c.text);
  }
}

TEST(ContainerObjectForm, MapKeysMustBeStrings) {
  const CKesmar form = OTX::FromJSON(R"({"type":"STRING","value":"x"})");
  const CKesmar object = COtxMap(std::map<CKesmar, CKesmar>{
      {COtxString(std::string("type")), COtxString(std::string("MAP"))},
      {COtxString(std::string("value")), COtxMap(std::map<CKesmar, CKesmar>{{COtxInt(1), form}})}});
  EXPECT_OTX_THROW(COtxMap{object}, OTX::TypeMismatchException, "INTEGER is not a STRING");
}

}  // namespace
