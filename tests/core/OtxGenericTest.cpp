#include "OtxGeneric.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

TEST(DeepCopy, CopiesContainersAndSharesEverythingElse) {
  const CKesmar inner = COtxList(std::vector<CKesmar>{COtxInt(1)});
  const CKesmar source = COtxList(std::vector<CKesmar>{inner, COtxString("s")});
  CKesmar copy = OTX::DeepCopy(source);
  EXPECT_TRUE(copy == source);
  copy.List()[0].List().push_back(COtxInt(2));
  EXPECT_EQ(inner.List().size(), 1u);
  EXPECT_EQ(copy.List()[1].GetBehaviourReference(), source.List()[1].GetBehaviourReference());

  const CKesmar map = COtxMap(std::map<CKesmar, CKesmar>{{COtxString("k"), inner}});
  CKesmar mapCopy = OTX::DeepCopy(map);
  mapCopy.Map().begin()->second.List().clear();
  EXPECT_EQ(inner.List().size(), 1u);
  EXPECT_EQ(mapCopy.Map().begin()->first.GetBehaviourReference(),
            map.Map().begin()->first.GetBehaviourReference());
}

TEST(Parameters, LookupAndTypeCheckTexts) {
  const CKesmar params = COtxMap(std::map<CKesmar, CKesmar>{{COtxString("a"), COtxInt(1)}});
  EXPECT_EQ(OTX::GetParameter(params, "a", OTX::INTEGER).Int(), 1);
  EXPECT_EQ(OTX::GetParameter(params, "a", OTX::EMPTY).Int(), 1);  // EMPTY accepts any type
  EXPECT_STD_THROW(OTX::GetParameter(params, "a", OTX::STRING), std::runtime_error,
                   "Incorrect parameter type: INTEGER");
  EXPECT_STD_THROW(OTX::GetParameter(params, "b", OTX::INTEGER), std::runtime_error,
                   "Missing parameter: b");
  EXPECT_STD_THROW(OTX::GetParameter(COtxInt(3), "a", OTX::EMPTY), std::runtime_error,
                   "Missing parameter: a");
  EXPECT_EQ(OTX::GetOptionalParameter(params, "a", COtxInt(9), OTX::INTEGER).Int(), 1);
  EXPECT_EQ(OTX::GetOptionalParameter(params, "b", COtxInt(9), OTX::INTEGER).Int(), 9);
  EXPECT_STD_THROW(OTX::GetOptionalParameter(params, "b", CKesmar(), OTX::INTEGER),
                   std::runtime_error, "Incorrect parameter type: EMPTY");
}

TEST(NamedValues, MapRoundTripSharesValues) {
  const std::map<const std::string, CKesmar> named = {{"x", COtxInt(1)}, {"y", COtxString("v")}};
  const auto back = OTX::ValMap(OTX::OtxMap(named));
  ASSERT_EQ(back.size(), 2u);
  for (const auto& [name, value] : named) {
    EXPECT_EQ(back.at(name).GetBehaviourReference(), value.GetBehaviourReference());
  }
  EXPECT_THROW(OTX::ValMap(COtxMap(std::map<CKesmar, CKesmar>{{COtxInt(1), COtxInt(2)}})),
               COtxException);
  EXPECT_THROW(OTX::ValMap(COtxInt(1)), COtxException);
}

TEST(Component, IdentifiesTheLibrary) {
  EXPECT_EQ(Kesmar::GetComponentName(), "Kesmar");
  EXPECT_FALSE(Kesmar::GetComponentVersion().empty());
  EXPECT_EQ(Kesmar::GetComponentVersion().find_first_not_of("0123456789."), std::string::npos);
  EXPECT_FALSE(Kesmar::GetComponentDate().empty());
}

}  // namespace
