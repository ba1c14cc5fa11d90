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

TEST(COtxMap, EntriesAreOrderedByKeyBytesWhateverTheInsertionOrder) {
  const COtxMap named(Named{{"b", I(2)}, {"a", I(1)}, {"B", I(0)}, {"\xC3\xA9", I(3)}});
  EXPECT_EQ(Text(named.ToString()), "B:0, a:1, b:2, \xC3\xA9:3");
  EXPECT_EQ(named.Map().begin()->first.Type(), OTX::STRING);

  const COtxMap forward;
  const COtxMap backward;
  for (const char* key : {"a", "m", "z"}) forward.Map()[S(key)] = L({S(key)});
  for (const char* key : {"z", "m", "a"}) backward.Map()[S(key)] = L({S(key)});
  EXPECT_TRUE(forward == backward);
  backward.Map()[S("m")] = S("m");
  EXPECT_TRUE(forward != backward);
}

TEST(COtxMap, KeysOfUnorderedTypesAreOneKey) {
  const COtxMap map(Named{{"a", I(1)}});
  const auto found = map.Map().find(I(1));
  ASSERT_NE(found, map.Map().end());
  EXPECT_EQ(Text(found->first), "a");

  map.Map()[I(1)] = I(9);
  ASSERT_EQ(map.Map().size(), 1u);
  EXPECT_EQ(map.Map().begin()->first.Type(), OTX::STRING);
  EXPECT_EQ(map.Map().begin()->second.Int(), 9);
}

TEST(COtxMap, ToStringAndToStream) {
  const struct {
    const char* what;
    CKesmar map;
    int indent;
    std::string text;
    std::string streamed;
  } cases[] = {
      {"empty", COtxMap(), 3, "", "<empty>"},
      {"two entries", COtxMap(Named{{"b", I(2)}, {"a", I(1)}}), 0, "a:1, b:2",
       "{\n  a: 1\n  b: 2\n}"},
      {"nested list", COtxMap(Named{{"a", I(1)}, {"b", L({I(2)})}}), 0, "a:1, b:[\n  2\n]",
       "{\n  a: 1\n  b: [\n    2\n  ]\n}"},
      {"indent 4, integer key", COtxMap(std::map<CKesmar, CKesmar>{{I(5), S("x")}}), 4, "5:x",
       "{\n      5: x\n    }"},
      {"list key", COtxMap(std::map<CKesmar, CKesmar>{{L({I(1), I(2)}), CKesmar()}}), 0,
       "[\n  1\n  2\n]:EMPTY", "{\n  1, 2: EMPTY\n}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
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
