#include "COtxMap.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "COtxInt.h"
#include "COtxList.h"
#include "COtxString.h"

namespace {

using Named = std::map<const std::string, CKesmar>;

CKesmar S(const std::string& text) { return COtxString(text); }
CKesmar I(long long value) { return COtxInt(value); }
CKesmar L(const std::vector<CKesmar>& elements) { return COtxList(elements); }

std::string Text(const CKesmar& value) { return value.String(); }

std::string Streamed(const CKesmar& value, int indent) {
  std::ostringstream stream;
  value.ToStream(stream, indent);
  return stream.str();
}

bool Flag(const CKesmar& value) { return value.GetBehaviourReference()->OtxJSON(); }

TEST(COtxMap, ToStringAndToStream) {
  const struct {
    CKesmar map;
    int indent;
    std::string text, streamed;
  } cases[] = {
      {COtxMap(), 3, "", "<empty>"},
      {COtxMap(Named{{"b", I(2)}, {"a", L({I(1)})}}), 0, "a:[\n  1\n], b:2",
       "{\n  a: [\n    1\n  ]\n  b: 2\n}"},
      {COtxMap(std::map<CKesmar, CKesmar>{{I(5), S("x")}}), 4, "5:x", "{\n      5: x\n    }"},
      {COtxMap(std::map<CKesmar, CKesmar>{{L({I(1), I(2)}), CKesmar()}}), 0, "[\n  1\n  2\n]:EMPTY",
       "{\n  1, 2: EMPTY\n}"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text(c.map.ToString()), c.text);
    EXPECT_EQ(Streamed(c.map, c.indent), c.streamed);
  }
}

TEST(COtxMap, SetOTXJSONReachesValuesButNotKeys) {
  const CKesmar key = L({I(1)});
  const CKesmar nested = L({I(2)});
  const CKesmar value = COtxMap(Named{{"n", nested}});
  const CKesmar map = COtxMap(std::map<CKesmar, CKesmar>{{key, value}});

  map.SetOTXJSON(true);
  for (const CKesmar& set : {map, value, nested, nested.List()[0]}) EXPECT_TRUE(Flag(set)) << set;
  for (const CKesmar& kept : {key, key.List()[0], value.Map().begin()->first}) {
    EXPECT_FALSE(Flag(kept)) << kept;
  }
}

}  // namespace
