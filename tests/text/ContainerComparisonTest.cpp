#include "COtxString.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"

namespace {

// How the left value relates to the right one. Incomparable: same type, but the elements
// do not order against each other. OtherType: the right value has a different type.
enum class Order { Less, Equal, Greater, Incomparable, OtherType };

CKesmar S(const std::string& text) { return COtxString(text); }
CKesmar I(long long value) { return COtxInt(value); }
CKesmar L(const std::vector<CKesmar>& elements) { return COtxList(elements); }
CKesmar M(const std::map<CKesmar, CKesmar>& entries) { return COtxMap(entries); }

struct ComparisonCase {
  const char* what;
  CKesmar left;
  CKesmar right;
  Order order;
};

TEST(ContainerComparison, SixOperatorsAgreeWithTheOrder) {
  const ComparisonCase cases[] = {
      // Strings compare as unsigned bytes; a proper prefix is smaller.
      {"equal strings", S("abc"), S("abc"), Order::Equal},
      {"empty strings", S(""), COtxString(), Order::Equal},
      {"last byte decides", S("abc"), S("abd"), Order::Less},
      {"prefix is smaller", S("abc"), S("ab"), Order::Greater},
      {"upper case before lower", S("B"), S("a"), Order::Less},
      {"non-ASCII after ASCII", S("\xC3\xA9"), S("z"), Order::Greater},
      {"bytes are unsigned", S("\x7F"), S("\x80"), Order::Less},
      {"embedded zero counts", COtxString("a\0b", 3), S("a"), Order::Greater},
      // Lists compare lexicographically.
      {"empty lists", COtxList(), COtxList(), Order::Equal},
      {"empty list first", COtxList(), L({I(0)}), Order::Less},
      {"equal lists", L({I(1), S("a")}), L({I(1), S("a")}), Order::Equal},
      {"list prefix", L({I(1), I(2)}), L({I(1), I(2), I(0)}), Order::Less},
      {"second element decides", L({I(1), I(2)}), L({I(1), I(3)}), Order::Less},
      {"first element decides", L({I(2)}), L({I(1), I(9)}), Order::Greater},
      {"nested maps", L({M({{S("a"), I(2)}})}), L({M({{S("a"), I(1)}})}), Order::Greater},
      // Neither element is less than the other, yet they are not equal.
      {"elements of other types", L({S("1")}), L({I(1)}), Order::Incomparable},
      // Maps compare entry by entry in key order, key first, then value.
      {"empty maps", COtxMap(), COtxMap(), Order::Equal},
      {"empty map first", COtxMap(), M({{S("a"), I(0)}}), Order::Less},
      {"value decides", M({{S("a"), I(1)}}), M({{S("a"), I(2)}}), Order::Less},
      {"key before value", M({{S("a"), I(9)}}), M({{S("b"), I(0)}}), Order::Less},
      {"map prefix", M({{S("a"), I(1)}, {S("b"), I(2)}}), M({{S("a"), I(1)}}), Order::Greater},
      {"equal maps", M({{S("a"), L({I(1)})}}), M({{S("a"), L({I(1)})}}), Order::Equal},
      // Values of other types never throw and never convert.
      {"string and integer", S("3"), I(3), Order::OtherType},
      {"string and empty value", S(""), CKesmar(), Order::OtherType},
      {"list and map", COtxList(), COtxMap(), Order::OtherType},
      {"map and string", M({{S("a"), I(1)}}), S("a"), Order::OtherType},
  };
  for (const ComparisonCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Order o = c.order;
    EXPECT_EQ(c.left == c.right, o == Order::Equal);
    EXPECT_EQ(c.left != c.right, o != Order::Equal);
    EXPECT_EQ(c.left < c.right, o == Order::Less);
    EXPECT_EQ(c.left > c.right, o == Order::Greater);
    // "Not greater" and "not less" for containers, so incomparable elements answer true.
    EXPECT_EQ(c.left <= c.right, o != Order::Greater && o != Order::OtherType);
    EXPECT_EQ(c.left >= c.right, o != Order::Less && o != Order::OtherType);
  }
}

}  // namespace
