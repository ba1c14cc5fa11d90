// Lists and maps: their text forms, the object-form flag, the order between containers, and
// reading their object forms back.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "OtxJSON.h"
#include "TestSupport.h"

namespace {

using Named = std::map<const std::string, CKesmar>;

CKesmar S(const std::string& text) { return COtxString(text); }
CKesmar I(long long value) { return COtxInt(value); }
CKesmar L(const std::vector<CKesmar>& elements) { return COtxList(elements); }
CKesmar M(const std::map<CKesmar, CKesmar>& entries) { return COtxMap(entries); }
std::string Text(const CKesmar& value) { return value.String(); }

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

// A negative indent counts as 0 for the whole nested form, of lists and maps alike.
TEST(Container, ToStringAndToStream) {
  const struct {
    CKesmar value;
    int indent;
    std::string text, streamed;
  } cases[] = {
      {COtxList(), 4, "", "<empty>"},
      {L({I(1), S("a")}), 4, "1, a", "[\n      1\n      a\n    ]"},
      {L({I(1), L({I(2), CKesmar()})}), 0, "1, [\n  2\n  EMPTY\n]",
       "[\n  1\n  [\n    2\n    EMPTY\n  ]\n]"},
      {COtxMap(), 3, "", "<empty>"},
      {COtxMap(Named{{"b", I(2)}, {"a", L({I(1)})}}), 0, "a:[\n  1\n], b:2",
       "{\n  a: [\n    1\n  ]\n  b: 2\n}"},
      {M({{I(5), S("x")}}), 4, "5:x", "{\n      5: x\n    }"},
      {M({{L({I(1), I(2)}), CKesmar()}}), 0, "[\n  1\n  2\n]:EMPTY", "{\n  1, 2: EMPTY\n}"},
      {L({I(1), L({I(2), COtxMap(Named{{"m", L({I(3)})}})})}), 0,
       "1, [\n  2\n  {\n    m: [\n      3\n    ]\n  }\n]",
       "[\n  1\n  [\n    2\n    {\n      m: [\n        3\n      ]\n    }\n  ]\n]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.streamed);
    EXPECT_EQ(Text(c.value.ToString()), c.text);
    EXPECT_EQ(Streamed(c.value, c.indent), c.streamed);
    for (const int indent : {-1, INT_MIN}) {
      EXPECT_EQ(Streamed(c.value, indent), Streamed(c.value, 0));
    }
  }
}

// The flag reaches every nested element and map value, but never a map key, nor the list that
// holds a list it is set on.
TEST(Container, SetOTXJSONReachesElementsAndValuesButNotKeys) {
  const CKesmar leaf = I(1);
  const CKesmar inner = L({leaf, S("a")});
  const CKesmar outer = L({inner, I(2)});
  outer.SetOTXJSON(true);
  for (const CKesmar& value : {outer, inner, leaf, inner.List()[1], outer.List()[1]}) {
    EXPECT_TRUE(Flag(value)) << value;
  }
  outer.SetOTXJSON(false);
  inner.SetOTXJSON(true);
  EXPECT_FALSE(Flag(outer) || Flag(outer.List()[1]));
  EXPECT_TRUE(Flag(leaf));

  const CKesmar key = L({I(1)});
  const CKesmar nested = L({I(2)});
  const CKesmar value = COtxMap(Named{{"n", nested}});
  const CKesmar map = M({{key, value}});
  map.SetOTXJSON(true);
  for (const CKesmar& set : {map, value, nested, nested.List()[0]}) EXPECT_TRUE(Flag(set)) << set;
  for (const CKesmar& kept : {key, key.List()[0], value.Map().begin()->first}) {
    EXPECT_FALSE(Flag(kept)) << kept;
  }
}

// How the left value relates to the right one. Incomparable: same type, but the elements
// do not order against each other. OtherType: the right value has a different type.
enum class Order { Less, Equal, Greater, Incomparable, OtherType };

TEST(ContainerComparison, SixOperatorsAgreeWithTheOrder) {
  const std::tuple<CKesmar, CKesmar, Order> cases[] = {
      // clang-format off
      // Strings compare as unsigned bytes, a proper prefix first.
      {S("abc"), S("abc"), Order::Equal}, {S(""), COtxString(), Order::Equal},
      {S("abc"), S("abd"), Order::Less}, {S("abc"), S("ab"), Order::Greater},
      {S("\x7F"), S("\x80"), Order::Less}, {COtxString("a\0b", 3), S("a"), Order::Greater},
      // Lists compare lexicographically.
      {COtxList(), COtxList(), Order::Equal}, {L({I(1), S("a")}), L({I(1), S("a")}), Order::Equal},
      {L({I(1), I(2)}), L({I(1), I(2), I(0)}), Order::Less},
      {L({I(1), I(2)}), L({I(1), I(3)}), Order::Less}, {L({I(2)}), L({I(1), I(9)}), Order::Greater},
      {L({M({{S("a"), I(2)}})}), L({M({{S("a"), I(1)}})}), Order::Greater},
      {L({S("1")}), L({I(1)}), Order::Incomparable},
      // Maps compare entry by entry in key order, key first, then value.
      {COtxMap(), COtxMap(), Order::Equal}, {M({{S("a"), I(1)}}), M({{S("a"), I(2)}}), Order::Less},
      {M({{S("a"), I(9)}}), M({{S("b"), I(0)}}), Order::Less},
      {M({{S("a"), I(1)}, {S("b"), I(2)}}), M({{S("a"), I(1)}}), Order::Greater},
      {M({{S("a"), L({I(1)})}}), M({{S("a"), L({I(1)})}}), Order::Equal},
      // Values of other types never throw and never convert.
      {S("3"), I(3), Order::OtherType}, {COtxList(), COtxMap(), Order::OtherType},
      {M({{S("a"), I(1)}}), S("a"), Order::OtherType},
      // clang-format on
  };
  for (const auto& [left, right, o] : cases) {
    SCOPED_TRACE(::testing::Message() << left << " against " << right);
    EXPECT_EQ(left == right, o == Order::Equal);
    EXPECT_EQ(left != right, o != Order::Equal);
    EXPECT_EQ(left < right, o == Order::Less);
    EXPECT_EQ(left > right, o == Order::Greater);
    // "Not greater" and "not less" for containers, so incomparable elements answer true.
    EXPECT_EQ(left <= right, o != Order::Greater && o != Order::OtherType);
    EXPECT_EQ(left >= right, o != Order::Less && o != Order::OtherType);
  }
}

// Elements or entries that read as EMPTY are dropped; the others keep their order.
TEST(ContainerObjectForm, EmptyResultsAreDropped) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"type":"LIST","value":[{"type":"STRING","value":null},{"type":"STRING","value":"x"}]})",
       "x"},
      {R"({"type":"MAP","value":{"e":{"type":"STRING","value":null},"s":{"type":"STRING","value":"x"}}})",
       "s:x"},
      {R"({"type":"LIST","value":[{"type":"LIST","value":[]},{"type":"STRING","value":null}]})",
       "<empty>"},
  };
  for (const auto& [json, text] : cases) {
    SCOPED_TRACE(json);
    EXPECT_EQ(Text(OTX::OtxMapToKesmar(OTX::FromJSON(json)).ToString()), text);
  }
}

TEST(ContainerObjectForm, MapKeysMustBeStrings) {
  const CKesmar form = OTX::FromJSON(R"({"type":"STRING","value":"x"})");
  const CKesmar object = M({{S("type"), S("MAP")}, {S("value"), M({{I(1), form}})}});
  EXPECT_OTX_THROW(COtxMap{object}, OTX::TypeMismatchException, "INTEGER is not a STRING");
}

}  // namespace
