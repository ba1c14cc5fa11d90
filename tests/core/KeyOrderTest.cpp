#include "CKesmar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "OtxUnitSpec.h"

namespace {

CKesmar S(const char* text) { return COtxString(std::string(text)); }
CKesmar F(double value) { return COtxFloat(value, 16); }
CKesmar L(const std::vector<CKesmar>& elements) { return COtxList(elements); }

// Keys in ascending order; a key in braces with its predecessor is the same key.
TEST(KeyOrder, IsATotalOrderAcrossTypes) {
  constexpr long long kTwo53 = 1LL << 53;
  const std::vector<std::vector<CKesmar>> kAscending = {
      {COtxBool(false)}, {COtxBool(true)},
      {COtxInt(std::numeric_limits<long long>::min()), F(-9223372036854775808.0)},
      {F(-1.5)}, {COtxInt(-1)}, {F(-0.5)}, {COtxInt(0), F(-0.0), F(0.0)}, {F(0.5)},
      {COtxInt(kTwo53), F(9007199254740992.0)}, {COtxInt(kTwo53 + 1)}, {F(9007199254740994.0)},
      {COtxInt(std::numeric_limits<long long>::max())}, {F(9223372036854775808.0)},
      {F(INFINITY)}, {F(NAN), F(-NAN)},
      {S("")}, {S("B")}, {S("a")}, {S("\xC3\xA9")},
      {L({})}, {L({COtxInt(1)})}, {L({COtxInt(1), S("a")})}, {L({S("a")})},
      {COtxMap()}, {COtxMap(std::map<CKesmar, CKesmar>{{COtxInt(1), S("x")}})},
      {COtxByteField(std::vector<unsigned char>{0x00})},
      {COtxByteField(std::vector<unsigned char>{0x01})},
  };
  std::vector<std::pair<CKesmar, size_t>> keys;  // each key with the rank of its group
  for (size_t rank = 0; rank < kAscending.size(); ++rank) {
    for (const CKesmar& key : kAscending[rank]) keys.emplace_back(key, rank);
  }
  for (const auto& [a, rankA] : keys) {
    for (const auto& [b, rankB] : keys) {
      SCOPED_TRACE(a.ToString().String() + " vs " + b.ToString().String());
      EXPECT_EQ(OTX::KeyLess(a, b), rankA < rankB);
    }
  }
}

TEST(KeyOrder, MapsKeepKeysOfTypesThatDoNotCompare) {
  CKesmar map = COtxMap(std::map<CKesmar, CKesmar>{{S("a"), COtxInt(1)}, {S("b"), COtxInt(2)}});
  EXPECT_EQ(map.Map().find(COtxInt(42)), map.Map().end());
  EXPECT_TRUE(map.Map().emplace(COtxInt(42), COtxInt(3)).second);
  EXPECT_TRUE(map.Map().emplace(F(NAN), COtxInt(4)).second);
  EXPECT_FALSE(map.Map().emplace(F(42.0), COtxInt(5)).second);  // 42 and 42.0 are one key
  EXPECT_EQ(static_cast<const std::string&>(map.ToString().String()), "42:3, nan:4, a:1, b:2");
}

// Quantities of different dimensions do not compare with each other (they throw), yet as keys
// they order without throwing: by dimension, then by SI value.
TEST(KeyOrder, OrdersQuantitiesAcrossDimensionsWithoutThrowing) {
  std::istringstream spec(
      "<unitSpec><units><id>km</id><displayName>km</displayName><siFactor>1000</siFactor>"
      "<siOffset>0</siOffset><physicalDimensionRef>length</physicalDimensionRef></units>"
      "<units><id>m</id><displayName>m</displayName><siFactor>1</siFactor><siOffset>0</siOffset>"
      "<physicalDimensionRef>length</physicalDimensionRef></units><units><id>kg</id>"
      "<displayName>kg</displayName><siFactor>1</siFactor><siOffset>0</siOffset>"
      "<physicalDimensionRef>mass</physicalDimensionRef></units></unitSpec>");
  OTX::Initialise(spec);
  const auto q = [](double value, const char* unit) {
    return COtxQuantity(value, COtxUnit(unit), 2);
  };
  const std::vector<std::vector<CKesmar>> kAscending = {
      {q(1, "m")}, {q(1, "km"), q(1000, "m")}, {q(NAN, "m")},
      {q(-5, "kg")}, {q(2, "kg")}, {q(1, "scalar")}};
  for (size_t i = 0; i < kAscending.size(); ++i) {
    for (size_t j = 0; j < kAscending.size(); ++j) {
      for (const CKesmar& a : kAscending[i]) {
        for (const CKesmar& b : kAscending[j]) {
          SCOPED_TRACE(a.ToString().String() + " vs " + b.ToString().String());
          EXPECT_EQ(OTX::KeyLess(a, b), i < j);
        }
      }
    }
  }
}

}  // namespace
