#include "COtxFloat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxInt.h"
#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "core/detail/Allocation.h"
#include "core/detail/Errors.h"
#include "core/detail/JsonWriter.h"
#include "core/detail/ObjectForm.h"
#include "numbers/detail/FloatJson.h"
#include "numbers/detail/NumberRules.h"

namespace {

using kesmar::detail::ObjectMember;

using kesmar::detail::kFullPrecision;
// The tolerance of equality never gets finer than 0.9 * 10^-10.
constexpr int kFinestEqualityDigits = 10;

// Equality within 0.9 * 10^-p, p the smallest of 10 and both precisions; two infinities
// are equal whatever their signs, NaN equals nothing.
bool EqualWithinPrecision(double a, int precisionA, double b, int precisionB) {
  if (std::isinf(a) && std::isinf(b)) return true;
  const int digits = std::min({kFinestEqualityDigits, precisionA, precisionB});
  return std::fabs(a - b) < 0.9 * std::pow(10.0, -static_cast<double>(digits));
}

int ClampToInt(long long value) {
  return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

// The shortest text that reads back to value (finite).
std::string ShortestText(double value) {
  // -0.0 needs its fraction: "-0" would read back as the integer 0 and lose the sign.
  if (value == 0.0) return std::signbit(value) ? "-0.0" : "0.0";
  std::array<char, 32> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

std::string ToChars(double value, std::chars_format format, int precision) {
  // Large enough for the fixed form of the largest double with 15 decimals.
  std::array<char, 400> buffer;
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace

COtxFloat::COtxFloat(double value, int precision)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxFloatBehaviour>(
          value, std::min(precision, kFullPrecision))) {}
COtxFloat::COtxFloat(const CKesmar& object)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxFloatBehaviour>(object)) {}
COtxFloat::~COtxFloat() = default;

COtxFloatBehaviour::COtxFloatBehaviour(double value, int precision)
    : COtxArithmeticBehaviour(OTX::FLOAT), m_precision(precision), m_value(value) {}

// The value goes through ToFloat(), so an integer "value" (a float written without a
// decimal point) reads back as well.
COtxFloatBehaviour::COtxFloatBehaviour(const CKesmar& object)
    : COtxArithmeticBehaviour(OTX::FLOAT),
      m_precision(ClampToInt(ObjectMember(object, "displayPrecision").ToInteger().Int())),
      m_value(ObjectMember(object, "value").ToFloat().Float()) {}

bool COtxFloatBehaviour::Compare(Comparison op, const CKesmar& other) const {
  double otherValue;
  int otherPrecision;
  if (other.Type() == OTX::FLOAT) {
    otherValue = other.Float();
    otherPrecision = other.Precision();
  } else if (other.IsInt()) {
    otherValue = static_cast<double>(other.Int());
    otherPrecision = kFullPrecision;
  } else if (other.Type() == OTX::QUANTITY) {
    const CKesmar si = other.ToFloat();
    otherValue = si.Float();
    otherPrecision = si.Precision();
  } else {
    return Answer(op, std::partial_ordering::unordered);
  }
  if (op == Comparison::Equal || op == Comparison::NotEqual) {
    const bool equal = EqualWithinPrecision(m_value, m_precision, otherValue, otherPrecision);
    return equal == (op == Comparison::Equal);
  }
  return Answer(op, m_value <=> otherValue);
}

CKesmar COtxFloatBehaviour::Calculate(Arithmetic op, const CKesmar& other) const {
  double rhs;
  if (other.Type() == OTX::FLOAT) {
    rhs = other.Float();
  } else if (other.IsInt()) {
    rhs = static_cast<double>(other.Int());
  } else if (other.Type() == OTX::QUANTITY) {
    return Apply(op, ToQuantity(), other);
  } else {
    kesmar::detail::ThrowTypeMismatch();
  }
  double result = 0.0;
  switch (op) {
    case Arithmetic::Multiply: result = m_value * rhs; break;
    case Arithmetic::Divide: result = m_value / rhs; break;
    case Arithmetic::Add: result = m_value + rhs; break;
    case Arithmetic::Subtract: result = m_value - rhs; break;
    case Arithmetic::Modulo: result = std::fmod(m_value, rhs); break;
  }
  return COtxFloat(result, kFullPrecision);
}

CKesmar COtxFloatBehaviour::Abs() const {
  return CKesmar(
      kesmar::detail::MakeBehaviour<COtxFloatBehaviour>(std::fabs(m_value), m_precision));
}

CKesmar COtxFloatBehaviour::ToBoolean() const { return COtxBool(m_value != 0.0); }

CKesmar COtxFloatBehaviour::ToInteger() const {
  // NaN fails both tests, so it lands on the minimum with the out-of-range values.
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  const bool inRange = m_value >= -kLimit && m_value < kLimit;
  const long long value =
      inRange ? static_cast<long long>(m_value) : std::numeric_limits<long long>::min();
  return COtxInt(value, COtxInt::DEC);
}

CKesmar COtxFloatBehaviour::ToString() const { return COtxString(Format(m_value, m_precision)); }
CKesmar COtxFloatBehaviour::ToFloat() const { return COtxFloat(m_value, kFullPrecision); }
CKesmar COtxFloatBehaviour::ToQuantity() const {
  return COtxQuantity(m_value, COtxUnit(), m_precision);
}

CKesmar COtxFloatBehaviour::ToByteField() const {
  std::vector<unsigned char> bytes(8);
  const auto bits = std::bit_cast<std::uint64_t>(m_value);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
  }
  return COtxByteField(std::move(bytes));
}
CKesmar COtxFloatBehaviour::ToJSON() const {
  return kesmar::detail::JsonValue(kesmar::detail::JsonFloatText(m_value, m_precision, false));
}

void COtxFloatBehaviour::WriteJSON(std::string& out, bool objectForm) const {
  if (kesmar::detail::WroteAsDerivedType(*this, out, objectForm)) return;
  if (!objectForm) {
    out += kesmar::detail::JsonFloatText(m_value, m_precision, false);
    return;
  }
  std::array<char, 12> precision;
  const auto end =
      std::to_chars(precision.data(), precision.data() + precision.size(), m_precision).ptr;
  kesmar::detail::JsonObjectWriter(out, StringType())
      .Raw("value", kesmar::detail::JsonFloatText(m_value, m_precision, true))
      .Raw("displayPrecision",
           std::string_view(precision.data(), static_cast<std::size_t>(end - precision.data())))
      .End();
}

CKesmar COtxFloatBehaviour::ToJSONObject() const {
  std::string text;
  kesmar::detail::JsonObjectWriter(text, StringType())
      .Raw("value", kesmar::detail::JsonFloatText(m_value, m_precision, true))
      .Raw("displayPrecision", std::to_string(m_precision))
      .End();
  return kesmar::detail::JsonValue(std::move(text));
}

std::string COtxFloatBehaviour::Format(double value, int precision) {
  if (precision >= kFullPrecision) {
    if (value == 0.0) return "0.0";
    return ToChars(value, std::chars_format::general, kFullPrecision);
  }
  if (precision >= 0) return ToChars(value, std::chars_format::fixed, precision);
  if (value != 0.0) {
    // Round to a multiple of 10^-precision, halves away from zero.
    const double factor = std::pow(10.0, precision);
    if (factor != 0.0) {
      value = std::round(value * factor) / factor;
    } else if (std::isfinite(value)) {
      value = 0.0;  // the multiple is beyond every finite double
    }
  }
  return ToChars(value, std::chars_format::fixed, 0);
}

namespace kesmar::detail {

std::string JsonFloatText(double value, int precision, bool objectForm) {
  if (std::isnan(value)) return objectForm ? "\"NaN\"" : "null";
  if (std::isinf(value)) {
    if (!objectForm) return "null";
    return value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
  }
  std::string text = objectForm && precision >= kFullPrecision
                         ? ShortestText(value)
                         : COtxFloatBehaviour::Format(value, precision);
  // A text without fraction or exponent reads back as an integer; from 2^63 on the reader
  // would keep only the unsigned 64-bit pattern (a negative integer), so such texts get a
  // fraction and read back as floats.
  constexpr double kSignedLimit = 9223372036854775808.0;
  if (objectForm && value >= kSignedLimit &&
      text.find_first_of(".eE") == std::string::npos) {
    text += ".0";
  }
  return text;
}

}  // namespace kesmar::detail
