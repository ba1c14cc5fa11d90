#include "COtxList.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "COtxInt.h"
#include "COtxMap.h"
#include "COtxString.h"

namespace {

CKesmar S(const std::string& text) { return COtxString(text); }
CKesmar I(long long value) { return COtxInt(value); }
CKesmar L(const std::vector<CKesmar>& elements) { return COtxList(elements); }

std::string Streamed(const CKesmar& value, int indent) {
  std::ostringstream stream;
  value.ToStream(stream, indent);
  return stream.str();
}

bool Flag(const CKesmar& value) { return value.GetBehaviourReference()->OtxJSON(); }

// Building from a vector copies the handles, not the values behind them.
TEST(COtxList, ElementsAreSharedHandles) {
  const CKesmar inner = COtxList();
  const COtxList outer(std::vector<CKesmar>{inner});
  inner.List().push_back(I(7));
  EXPECT_TRUE(outer == L({L({I(7)})}));
}

TEST(COtxList, ToStringAndToStream) {
  const struct {
    CKesmar list;
    int indent;
    std::string text, streamed;
  } cases[] = {
      {COtxList(), 4, "", "<empty>"},
      {L({I(1), S("a")}), 4, "1, a", "[\n      1\n      a\n    ]"},
      {L({I(1), L({I(2), CKesmar()})}), 0, "1, [\n  2\n  EMPTY\n]",
       "[\n  1\n  [\n    2\n    EMPTY\n  ]\n]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<const std::string&>(c.list.ToString().String()), c.text);
    EXPECT_EQ(Streamed(c.list, c.indent), c.streamed);
  }
}

// A negative indent counts as 0 for the whole nested form, of lists and maps alike.
TEST(COtxList, NegativeIndentWritesLikeIndentZero) {
  const CKesmar map = COtxMap(std::map<const std::string, CKesmar>{{"m", L({I(3)})}});
  const CKesmar list = L({I(1), L({I(2), map})});
  for (const int indent : {-1, INT_MIN}) {
    EXPECT_EQ(Streamed(list, indent), Streamed(list, 0));
    EXPECT_EQ(Streamed(map, indent), Streamed(map, 0));
  }
}

TEST(COtxList, SetOTXJSONReachesEveryNestedElement) {
  const CKesmar leaf = I(1);
  const CKesmar inner = L({leaf, S("a")});
  const CKesmar outer = L({inner, I(2)});
  outer.SetOTXJSON(true);
  for (const CKesmar& value : {outer, inner, leaf, inner.List()[1], outer.List()[1]}) {
    EXPECT_TRUE(Flag(value)) << value;
  }
  // An element list passes the flag down, but never up to the list that holds it.
  outer.SetOTXJSON(false);
  inner.SetOTXJSON(true);
  EXPECT_FALSE(Flag(outer) || Flag(outer.List()[1]));
  EXPECT_TRUE(Flag(leaf));
}

}  // namespace
