#include "COtxEnumerationItem.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "COtxMap.h"
#include "COtxString.h"
#include "OtxJSON.h"
#include "TestSupport.h"

namespace {

CKesmar S(const char* text) { return COtxString(std::string(text)); }

const COtxEnumerationItemBehaviour& Item(const CKesmar& value) {
  return dynamic_cast<const COtxEnumerationItemBehaviour&>(*value.GetBehaviourReference());
}

TEST(EnumerationItem, ActsAsItsNumberAndShowsItsName) {
  const CKesmar red = COtxEnumerationItem(S("Colour"), S("RED"), COtxInt(2));
  EXPECT_EQ(red.ToString().String(), "RED");
  // Equal by number, whatever the names, so one map key with another item of number 2.
  const CKesmar two = COtxEnumerationItem(S("Size"), S("TWO"), S("2"));
  EXPECT_TRUE(red == two);
  EXPECT_EQ((std::map<CKesmar, int>{{red, 1}, {two, 2}}.size()), 1U);
  EXPECT_EQ((red + COtxInt(3)).Int(), 5);
  EXPECT_OTX_THROW(COtxEnumerationItem(S("E"), S("N"), S("seven")), OTX::TypeMismatchException, "");
  // A name that is no string is its own text, shared; the object form needs strings.
  const CKesmar four = COtxInt(4);
  const CKesmar numbered = COtxEnumerationItem(S("E"), four, COtxInt(1));
  EXPECT_EQ(numbered.ToString().GetBehaviourReference(), four.GetBehaviourReference());
  numbered.SetOTXJSON(true);
  EXPECT_OTX_THROW(numbered.ToJSON(), OTX::TypeMismatchException, "INTEGER is not a STRING");
}

TEST(EnumerationItem, ReadsBackFromItsObjectForm) {
  const CKesmar item = COtxEnumerationItem(S("Col\"our"), S("RED"), COtxInt(-1));
  item.SetOTXJSON(true);
  const std::string form = item.ToJSON().String();
  EXPECT_EQ(form,
            R"({"type":"ENUMERATION_ITEM","enumerationName":"Col\"our","name":"RED", "value":-1})");
  const CKesmar back = OTX::OtxMapToKesmar(OTX::FromJSON(form));
  EXPECT_EQ(back.Type(), OTX::ENUMERATION_ITEM);
  EXPECT_EQ(back.Int(), -1);
  EXPECT_EQ(Item(back).GetEnumerationName().String(), "Col\"our");
  EXPECT_EQ(back.ToString().String(), "RED");
  // A radix, when there is one, reads as an integer's; every other member is required.
  std::map<const std::string, CKesmar> members = {{"displayRadix", S("HEX")},
                                                  {"value", COtxInt(3)},
                                                  {"enumerationName", S("E")},
                                                  {"name", S("N")}};
  EXPECT_EQ(Item(COtxEnumerationItem(COtxMap(members))).GetRadix(), COtxInt::HEX);
  members.erase("enumerationName");
  EXPECT_STD_THROW(COtxEnumerationItem(COtxMap(members)), std::out_of_range,
                   "invalid map<K, T> key");
}

}  // namespace
