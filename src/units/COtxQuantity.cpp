#include "COtxQuantity.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "core/detail/Allocation.h"
#include "core/detail/Errors.h"
#include "core/detail/JsonWriter.h"
#include "core/detail/Log.h"
#include "core/detail/ObjectForm.h"
#include "numbers/detail/FloatJson.h"
#include "numbers/detail/NumberRules.h"
#include "units/detail/UnitAlgebra.h"

namespace {

using kesmar::detail::kFullPrecision;
using kesmar::detail::UnitBehaviourOf;
using kesmar::detail::UnitRef;

const COtxQuantityBehaviour& QuantityOf(const CKesmar& quantity) {
  // Quantity() throws for every value that is not a quantity.
  const auto* behaviour = dynamic_cast<const COtxQuantityBehaviour*>(&quantity.Quantity());
  if (behaviour == nullptr) kesmar::detail::ThrowTypeMismatch();
  return *behaviour;
}

// other.ToFloat() read as a double, without making the float for numbers.
double FloatOf(const CKesmar& other) {
  if (other.IsInt()) return static_cast<double>(other.Int());
  if (other.Type() == OTX::FLOAT) return other.Float();
  return other.ToFloat().Float();
}

// The unit a quantity brings into arithmetic and comparisons: the base unit of its own. A
// "scalar" stays "scalar", so that plain numbers go with every unit even where a document
// gives the dimension "none" a base unit of its own.
UnitRef OperandUnit(const COtxUnitBehaviour& unit) {
  const UnitRef own = kesmar::detail::RefOf(unit);
  return kesmar::detail::IsScalar(*own.entry) ? own : kesmar::detail::BaseOf(own);
}

// The number of value in unit, see COtxQuantity(const CKesmar&, const CKesmar&, int).
double ConvertedNumber(const CKesmar& value, const CKesmar& unit) {
  const COtxUnitBehaviour& target = UnitBehaviourOf(unit);
  if (value.Type() != OTX::QUANTITY) return FloatOf(value);
  const COtxQuantityBehaviour& source = QuantityOf(value);
  const COtxUnitBehaviour& sourceUnit = source.UnitBehaviour();
  if (sourceUnit.Entry().unit.id == target.Entry().unit.id ||
      kesmar::detail::IsScalar(sourceUnit.Entry()) || kesmar::detail::IsScalar(target.Entry())) {
    return source.Number();
  }
  if (sourceUnit.Entry().unit.physicalDimensionRef != target.Entry().unit.physicalDimensionRef) {
    kesmar::detail::ThrowInvalidConversion();
  }
  return target.FromSI(source.SiValue());
}

// The unit of the object form: "scalar" when "unitId" is missing or no string; an id that
// the loaded unit document does not define throws rather than losing the unit.
CKesmar UnitOfObject(const CKesmar& object) {
  std::string id;
  try {
    id = kesmar::detail::ReadMember<&CKesmar::String>(object, "unitId");
  } catch (const std::exception&) {
    return COtxUnit();
  }
  return COtxUnit(id);
}

int PrecisionOfObject(const CKesmar& object) {
  try {
    return static_cast<int>(
        std::clamp<long long>(kesmar::detail::ReadMember<&CKesmar::Int>(object, "displayPrecision"),
                              std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
  } catch (const std::exception&) {
    return kFullPrecision;
  }
}

// The quantity of the object form: "value" first, so that a form without it fails as every
// other type's does.
std::shared_ptr<CKesmarBehaviour> FromObject(const CKesmar& object) {
  const double value = kesmar::detail::ObjectMember(object, "value").ToFloat().Float();
  return kesmar::detail::MakeBehaviour<COtxQuantityBehaviour>(value, UnitOfObject(object),
                                                 PrecisionOfObject(object));
}

}  // namespace

COtxQuantity::COtxQuantity(double value, const CKesmar& unit, int precision)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxQuantityBehaviour>(value, unit, precision)) {}
COtxQuantity::COtxQuantity(const CKesmar& value, const CKesmar& unit, int precision)
    : COtxQuantity(ConvertedNumber(value, unit), unit, precision) {}
COtxQuantity::COtxQuantity(const CKesmar& object) : CKesmar(FromObject(object)) {}
COtxQuantity::~COtxQuantity() = default;

COtxQuantityBehaviour::COtxQuantityBehaviour(double value, const CKesmar& unit, int precision)
    : COtxArithmeticBehaviour(OTX::QUANTITY),
      m_value(value),
      m_unit(unit),
      m_precision(precision),
      m_unitBehaviour(&UnitBehaviourOf(m_unit)) {
  KESMAR_LOG_OBJECT(kesmar::detail::kLogDetail, *this,
                    "COtxQuantityBehaviour::COtxQuantityBehaviour",
                    "value = " << m_value << ", unit = " << m_unitBehaviour->Entry().unit.id);
}

double COtxQuantityBehaviour::SiValue() const { return m_unitBehaviour->ToSI(m_value); }

bool COtxQuantityBehaviour::Compare(Comparison op, const CKesmar& other) const {
  const CKesmar quantity = other.ToQuantity();
  const COtxQuantityBehaviour& right = QuantityOf(quantity);
  const UnitRef a = OperandUnit(*m_unitBehaviour);
  const UnitRef b = OperandUnit(right.UnitBehaviour());
  if (a.entry->unit.id != b.entry->unit.id && !kesmar::detail::IsScalar(*a.entry) &&
      !kesmar::detail::IsScalar(*b.entry)) {
    kesmar::detail::ThrowInvalidConversion();
  }
  if (op == Comparison::Equal || op == Comparison::NotEqual) {
    // Float equality, whose tolerance follows the coarser of both SI precisions.
    const bool equal =
        COtxFloat(SiValue(), m_unitBehaviour->ToSIPrecision(m_precision)) == other.ToFloat();
    return equal == (op == Comparison::Equal);
  }
  const double otherValue = other.Type() == OTX::QUANTITY ? right.SiValue() : FloatOf(other);
  return Answer(op, SiValue() <=> otherValue);
}

CKesmar COtxQuantityBehaviour::Calculate(Arithmetic op, const CKesmar& other) const {
  const CKesmar quantity = other.ToQuantity();
  const COtxQuantityBehaviour& right = QuantityOf(quantity);
  const UnitRef a = OperandUnit(*m_unitBehaviour);
  const UnitRef b = OperandUnit(right.UnitBehaviour());
  const UnitRef unit = op == Arithmetic::Add || op == Arithmetic::Subtract
                           ? kesmar::detail::SumUnit(a, b)
                           : kesmar::detail::ProductUnit(a, b, op == Arithmetic::Multiply ? 1 : -1);
  const double x = SiValue();
  const double y = other.Type() == OTX::QUANTITY ? right.SiValue() : FloatOf(other);
  double result = 0.0;
  switch (op) {
    case Arithmetic::Multiply:
      result = x * y;
      break;
    case Arithmetic::Divide:
      result = x / y;
      break;
    case Arithmetic::Add:
      result = x + y;
      break;
    case Arithmetic::Subtract:
      result = x - y;
      break;
    // The exact remainder of x / y truncated toward zero; it has the sign of x.
    case Arithmetic::Modulo:
      result = std::fmod(x, y);
      break;
  }
  return COtxQuantity(result, kesmar::detail::MakeUnit(unit),
                      std::max(m_precision, right.m_precision));
}

CKesmar COtxQuantityBehaviour::Abs() const {
  return COtxQuantity(std::fabs(m_value), m_unit, m_precision);
}

CKesmar COtxQuantityBehaviour::ToFloat() const {
  return COtxFloat(SiValue(), m_unitBehaviour->ToSIPrecision(m_precision));
}

CKesmar COtxQuantityBehaviour::ToInteger() const { return Value().ToInteger(); }

CKesmar COtxQuantityBehaviour::ToQuantity() const {
  return COtxQuantity(m_value, m_unit, m_precision);
}

CKesmar COtxQuantityBehaviour::ToString() const {
  return COtxString(Format(m_value, m_precision) + ' ' + m_unitBehaviour->Entry().unit.displayName);
}

CKesmar COtxQuantityBehaviour::ToJSONObject() const {
  const OTX::UnitDefinition& unit = m_unitBehaviour->Entry().unit;
  // Below 0 the display rounds, but the number is written in full so that it reads back.
  const int numberPrecision = m_precision < 0 ? kFullPrecision : m_precision;
  std::string text;
  kesmar::detail::JsonObjectWriter(text, StringType())
      .Raw("value", kesmar::detail::JsonFloatText(m_value, numberPrecision, true))
      .Text("unit", unit.displayName)
      .Text("unitId", unit.id)
      .Raw("displayPrecision", std::to_string(m_precision))
      .End();
  return kesmar::detail::JsonValue(std::move(text));
}

CKesmar COtxQuantityBehaviour::Value() const { return COtxFloat(m_value, m_precision); }

CKesmar COtxQuantityBehaviour::BaseUnit() const { return m_unitBehaviour->BaseUnit(); }

CKesmar COtxQuantityBehaviour::ToCountryGroup() { return ToGroup(""); }

CKesmar COtxQuantityBehaviour::ToGroup(const std::string& group) {
  return OTX::COtxUnitSpec::Instance().ConvertToGroup(CKesmar(shared_from_this()), group);
}

std::string COtxQuantityBehaviour::Format(double value, int precision) {
  if (precision < kFullPrecision) return COtxFloatBehaviour::Format(value, precision);
  std::array<char, 32> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, kFullPrecision);
  return std::string(buffer.data(), result.ptr);
}
