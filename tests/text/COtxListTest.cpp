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

TEST(COtxList, HandlesShareElementsAndElementValues) {
  const COtxList list;
  const COtxList copy = list;
  copy.List().push_back(I(1));
  list.List().push_back(S("a"));
  EXPECT_TRUE(copy == L({I(1), S("a")}));

  // Building from a vector copies the handles, not the values behind them.
  const CKesmar inner = COtxList();
  const COtxList outer(std::vector<CKesmar>{inner});
  inner.List().push_back(I(7));
  EXPECT_TRUE(outer == L({L({I(7)})}));
}

TEST(COtxList, ToStringAndToStream) {
  const CKesmar map = COtxMap(std::map<const std::string, CKesmar>{{"a", I(1)}});
  const struct {
    const char* what;
    CKesmar list;
    int indent;
    std::string text;
    std::string streamed;
  } cases[] = {
      {"empty", COtxList(), 4, "", "<empty>"},
      {"integer and string", L({I(1), S("a")}), 4, "1, a", "[\n      1\n      a\n    ]"},
      {"empty elements", L({COtxList(), CKesmar()}), 0, "<empty>, EMPTY",
       "[\n  <empty>\n  EMPTY\n]"},
      {"nested list", L({I(1), L({I(2), I(3)})}), 0, "1, [\n  2\n  3\n]",
       "[\n  1\n  [\n    2\n    3\n  ]\n]"},
      {"map element", L({map}), 0, "{\n  a: 1\n}", "[\n  {\n    a: 1\n  }\n]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(static_cast<const std::string&>(c.list.ToString().String()), c.text);
    EXPECT_EQ(Streamed(c.list, c.indent), c.streamed);
  }
}

// A negative indent counts as 0 for the whole nested form, maps inside lists included.
TEST(COtxList, NegativeIndentWritesLikeIndentZero) {
  const CKesmar map = COtxMap(std::map<const std::string, CKesmar>{{"m", L({I(3)})}});
  const CKesmar list = L({I(1), L({I(2), map})});
  for (const int indent : {-1, -4, INT_MIN}) {
    SCOPED_TRACE(indent);
    EXPECT_EQ(Streamed(list, indent), Streamed(list, 0));
  }
}

TEST(COtxList, SetOTXJSONReachesEveryNestedElement) {
  const CKesmar leaf = I(1);
  const CKesmar inner = L({leaf, S("a")});
  const CKesmar outer = L({inner, I(2)});
  for (const bool flag : {true, false}) {
    outer.SetOTXJSON(flag);
    for (const CKesmar& value : {outer, inner, leaf, inner.List()[1], outer.List()[1]}) {
      EXPECT_EQ(Flag(value), flag) << value << " set to " << flag;
    }
  }
  // An element list passes the flag down, but never up to the list that holds it.
  inner.SetOTXJSON(true);
  EXPECT_FALSE(Flag(outer));
  EXPECT_TRUE(Flag(leaf));
}

}  // namespace
