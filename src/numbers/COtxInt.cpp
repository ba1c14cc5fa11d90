#include "COtxInt.h"

#include <array>
#include <charconv>
#include <string_view>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "core/detail/Allocation.h"
#include "core/detail/Errors.h"
#include "core/detail/ObjectForm.h"
#include "core/detail/JsonWriter.h"
#include "numbers/detail/NumberRules.h"

namespace {

using Arithmetic = COtxArithmeticBehaviour::Arithmetic;
using kesmar::detail::ReadMember;


const std::array<std::string, 4>& RadixNames() {
  static const std::array<std::string, 4> names = {"BIN", "OCT", "DEC", "HEX"};
  return names;
}

COtxInt::Radix RadixFromName(const std::string& name) {
  const auto& names = RadixNames();
  for (std::size_t radix = 0; radix < names.size(); ++radix) {
    if (names[radix] == name) return static_cast<COtxInt::Radix>(radix);
  }
  return COtxInt::DEC;
}

// Two's-complement arithmetic on 64 bits: sums, differences and products wrap around,
// quotients truncate toward zero and remainders take the dividend's sign.
long long Calculate64(Arithmetic op, long long a, long long b) {
  const auto ua = static_cast<unsigned long long>(a);
  const auto ub = static_cast<unsigned long long>(b);
  switch (op) {
    case Arithmetic::Add: return static_cast<long long>(ua + ub);
    case Arithmetic::Subtract: return static_cast<long long>(ua - ub);
    case Arithmetic::Multiply: return static_cast<long long>(ua * ub);
    case Arithmetic::Divide:
      if (b == 0) throw COtxException(OTX::ArithmeticException);
      return b == -1 ? static_cast<long long>(0ULL - ua) : a / b;
    case Arithmetic::Modulo:
      if (b == 0) {
        throw COtxException(OTX::ArithmeticException, "Cannot get modulo with divisor 0");
      }
      return b == -1 ? 0 : a % b;
  }
  return 0;  // not reached: every operation is handled above
}

}  // namespace

COtxInt::COtxInt(long long value, Radix radix)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxIntBehaviour>(value, radix)) {}
COtxInt::COtxInt(const CKesmar& object)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxIntBehaviour>(object)) {}
COtxInt::~COtxInt() = default;

const std::string& COtxInt::RadixName(Radix radix) {
  const auto& names = RadixNames();
  // A radix cast from an out-of-range number still names something.
  const auto index = static_cast<std::size_t>(radix);
  return index < names.size() ? names[index] : names[DEC];
}

COtxIntBehaviour::COtxIntBehaviour() : COtxIntBehaviour(0, COtxInt::DEC) {}

COtxIntBehaviour::COtxIntBehaviour(long long value, COtxInt::Radix radix, OTX::ValueType type)
    : COtxArithmeticBehaviour(type), m_radix(radix), m_value(value) {}

COtxIntBehaviour::COtxIntBehaviour(const CKesmar& object, OTX::ValueType type)
    : COtxArithmeticBehaviour(type),
      m_radix(RadixFromName(ReadMember<&CKesmar::String>(object, "displayRadix"))),
      m_value(ReadMember<&CKesmar::Int>(object, "value")) {}

bool COtxIntBehaviour::Compare(Comparison op, const CKesmar& other) const {
  if (other.IsInt()) return Answer(op, m_value <=> other.Int());
  if (other.Type() == OTX::FLOAT) return Apply(op, ToFloat(), other);
  if (other.Type() == OTX::QUANTITY) return Apply(op, ToQuantity(), other);
  return Answer(op, std::partial_ordering::unordered);
}

CKesmar COtxIntBehaviour::Calculate(Arithmetic op, const CKesmar& other) const {
  if (other.IsInt()) return COtxInt(Calculate64(op, m_value, other.Int()), COtxInt::DEC);
  if (other.Type() == OTX::FLOAT) return Apply(op, ToFloat(), other);
  if (other.Type() == OTX::QUANTITY) return Apply(op, ToQuantity(), other);
  kesmar::detail::ThrowTypeMismatch();
}

CKesmar COtxIntBehaviour::Abs() const {
  // Negating in unsigned arithmetic keeps the minimum value as it is.
  const auto magnitude = m_value < 0 ? 0ULL - static_cast<unsigned long long>(m_value)
                                     : static_cast<unsigned long long>(m_value);
  return COtxInt(static_cast<long long>(magnitude), m_radix);
}

CKesmar COtxIntBehaviour::ToBoolean() const { return COtxBool(m_value != 0); }
CKesmar COtxIntBehaviour::ToInteger() const { return COtxInt(m_value, COtxInt::DEC); }
CKesmar COtxIntBehaviour::ToString() const { return COtxString(std::to_string(m_value)); }
CKesmar COtxIntBehaviour::ToByteField() const { return COtxByteField(LittleEndianBytes(m_value)); }
CKesmar COtxIntBehaviour::ToQuantity() const {
  return COtxQuantity(static_cast<double>(m_value), COtxUnit(), 0);
}

CKesmar COtxIntBehaviour::ToFloat() const {
  return COtxFloat(static_cast<double>(m_value), kesmar::detail::kFullPrecision);
}
// Decimal even for types built on the integer whose ToString() is a name.
CKesmar COtxIntBehaviour::ToJSON() const { return COtxString(std::to_string(m_value)); }

void COtxIntBehaviour::WriteJSON(std::string& out, bool objectForm) const {
  if (kesmar::detail::WroteAsDerivedType(*this, out, objectForm)) return;
  std::array<char, 24> digits;
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), m_value).ptr;
  const std::string_view decimal(digits.data(), static_cast<std::size_t>(end - digits.data()));
  if (!objectForm) {
    out += decimal;
    return;
  }
  kesmar::detail::JsonObjectWriter(out, StringType())
      .Raw("value", decimal)
      .Text("displayRadix", COtxInt::RadixName(m_radix))
      .End();
}

CKesmar COtxIntBehaviour::ToJSONObject() const {
  std::string text;
  kesmar::detail::JsonObjectWriter(text, StringType())
      .Raw("value", std::to_string(m_value))
      .Text("displayRadix", COtxInt::RadixName(m_radix))
      .End();
  return kesmar::detail::JsonValue(std::move(text));
}

std::vector<unsigned char> COtxIntBehaviour::LittleEndianBytes(long long value) {
  // Bytes of the value, least significant first, until the rest is sign fill; a byte
  // whose magnitude bits reach 0x80 takes one more byte. A 64-bit value never needs more
  // than eight: the minimum, whose magnitude byte 0x80 would ask for a ninth, already reads
  // back correctly from eight.
  std::vector<unsigned char> bytes;
  auto v = static_cast<unsigned long long>(value);
  unsigned long long magnitude = value < 0 ? 0ULL - v : v;
  unsigned char low;
  do {
    bytes.push_back(static_cast<unsigned char>(v & 0xFF));
    low = static_cast<unsigned char>(magnitude & 0xFF);
    v = static_cast<unsigned long long>(static_cast<long long>(v) >> 8);
    magnitude >>= 8;
  } while ((magnitude != 0 || low >= 0x80) && bytes.size() < sizeof value);
  return bytes;
}
