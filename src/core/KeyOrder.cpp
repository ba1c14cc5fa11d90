// The total order of map keys.
#include "CKesmar.h"

#include <cmath>
#include <compare>
#include <map>
#include <string>
#include <vector>

#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "core/detail/NestingGuard.h"

namespace {

// Integers, floats and the integer-valued types compare with each other by value, so they
// share one rank: that of INTEGER.
bool IsNumber(const CKesmar& value) { return value.IsInt() || value.Type() == OTX::FLOAT; }

int Rank(const CKesmar& value) { return IsNumber(value) ? OTX::INTEGER : value.Type(); }

// An integer against a double, exactly (no rounding of the integer); NaN after every number.
std::strong_ordering CompareExactly(long long integer, double number) {
  if (std::isnan(number)) return std::strong_ordering::less;
  constexpr double kTwo63 = 9223372036854775808.0;
  if (number >= kTwo63) return std::strong_ordering::less;
  if (number < -kTwo63) return std::strong_ordering::greater;
  // number lies in [-2^63, 2^63): its integer part fits, and the fraction breaks a tie.
  const double whole = std::trunc(number);
  const auto wholeOrder = integer <=> static_cast<long long>(whole);
  if (wholeOrder != 0) return wholeOrder;
  const double fraction = number - whole;
  return fraction > 0 ? std::strong_ordering::less
         : fraction < 0 ? std::strong_ordering::greater
                        : std::strong_ordering::equal;
}

// Doubles by value, NaN after every number.
std::strong_ordering CompareDoubles(double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return std::isnan(x) <=> std::isnan(y);
  return x < y ? std::strong_ordering::less
         : y < x ? std::strong_ordering::greater
                 : std::strong_ordering::equal;  // -0.0 and 0.0 are one key
}

std::strong_ordering CompareNumbers(const CKesmar& a, const CKesmar& b) {
  if (a.IsInt() && b.IsInt()) return a.Int() <=> b.Int();
  if (a.IsInt()) return CompareExactly(a.Int(), b.Float());
  if (b.IsInt()) return 0 <=> CompareExactly(b.Int(), a.Float());
  return CompareDoubles(a.Float(), b.Float());
}

// Quantities by physical dimension, then by SI value. Their own comparisons throw across
// dimensions and let "scalar" match every unit, which no total order can keep; within one
// dimension this is their own order.
std::strong_ordering CompareQuantities(const CKesmar& a, const CKesmar& b) {
  const std::string x = a.Quantity().QuantityUnit().Unit().PhysicalDimension();
  const std::string y = b.Quantity().QuantityUnit().Unit().PhysicalDimension();
  if (const auto dimension = x.compare(y) <=> 0; dimension != 0) return dimension;
  return CompareDoubles(a.ToFloat().Float(), b.ToFloat().Float());
}

std::strong_ordering Compare(const CKesmar& a, const CKesmar& b);

template <class Range, class ElementOrder>
std::strong_ordering CompareRanges(const Range& a, const Range& b, ElementOrder order) {
  auto x = a.begin();
  auto y = b.begin();
  for (; x != a.end() && y != b.end(); ++x, ++y) {
    if (const auto c = order(*x, *y); c != 0) return c;
  }
  return (x != a.end()) <=> (y != b.end());
}

std::strong_ordering Compare(const CKesmar& a, const CKesmar& b) {
  const OTX::ValueType type = a.Type();
  if (type == OTX::STRING && b.Type() == OTX::STRING) {
    return static_cast<const std::string&>(a.String()).compare(b.String()) <=> 0;
  }
  if (const auto rank = Rank(a) <=> Rank(b); rank != 0) return rank;
  if (IsNumber(a)) return CompareNumbers(a, b);
  if (type == OTX::QUANTITY) return CompareQuantities(a, b);
  if (type == OTX::LIST) {
    const kesmar::detail::NestingGuard guard(&a.List(), "LIST");
    return CompareRanges(a.List(), b.List(), Compare);
  }
  if (type == OTX::MAP) {
    const kesmar::detail::NestingGuard guard(&a.Map(), "MAP");
    return CompareRanges(a.Map(), b.Map(), [](const auto& x, const auto& y) {
      const auto key = Compare(x.first, y.first);
      return key != 0 ? key : Compare(x.second, y.second);
    });
  }
  // Values of one other type: that type's own order; values it does not order are one key.
  if (a < b) return std::strong_ordering::less;
  if (b < a) return std::strong_ordering::greater;
  return std::strong_ordering::equal;
}

}  // namespace

bool OTX::KeyLess(const CKesmar& a, const CKesmar& b) { return Compare(a, b) < 0; }
