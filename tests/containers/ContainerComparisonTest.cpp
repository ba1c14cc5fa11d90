#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"

namespace {

// How the left value relates to the right one. Incomparable: same type, but the elements
// do not order against each other. OtherType: the right value has a different type.
enum class Order { Less, Equal, Greater, Incomparable, OtherType };

CKesmar S(const std::string& text) { return COtxString(text); }
CKesmar I(long long value) { return COtxInt(value); }
CKesmar L(const std::vector<CKesmar>& elements) { return COtxList(elements); }
CKesmar M(const std::map<CKesmar, CKesmar>& entries) { return COtxMap(entries); }

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

}  // namespace
