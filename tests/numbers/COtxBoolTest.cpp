#include "COtxBool.h"

#include <gtest/gtest.h>

#include <string>

#include "COtxInt.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "TestSupport.h"

TEST(Bool, ConversionsAndObjectForm) {
  for (bool value : {false, true}) {
    EXPECT_EQ(COtxBool(value).ToInteger().Int(), value ? 1 : 0);
    EXPECT_EQ(COtxBool(value).ToFloat().Float(), value ? 1.0 : 0.0);
    EXPECT_EQ(COtxBool(value).ToFloat().Precision(), 16);
    EXPECT_EQ(std::string(COtxBool(value).ToJSON().String()), value ? "true" : "false");
  }
  // The object form shares its "value" member, whatever its type.
  using Members = std::map<const std::string, CKesmar>;
  const COtxInt seven(7);
  EXPECT_EQ(COtxBool(COtxMap(Members{{"value", seven}})).GetBehaviourReference(),
            seven.GetBehaviourReference());
  EXPECT_STD_THROW(COtxBool{COtxMap(Members{{"Value", seven}})}, std::out_of_range,
                   "invalid map<K, T> key");
}
