#include "COtxUnit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "COtxException.h"
#include "COtxString.h"
#include "core/detail/Allocation.h"
#include "core/detail/Errors.h"
#include "core/detail/JsonWriter.h"
#include "core/detail/ObjectForm.h"
#include "units/detail/UnitAlgebra.h"

namespace kesmar::detail {

namespace {

// a + sign * b, merged by base quantity index; indices whose exponents cancel are left out.
// Empty when an exponent leaves the range of int, which no dimension can have.
std::optional<OTX::DimensionExponents> Combine(const OTX::DimensionExponents& a,
                                               const OTX::DimensionExponents& b, int sign) {
  OTX::DimensionExponents result = a;
  for (const auto& [index, exponent] : b) {
    const auto existing = result.find(index);
    const long long sum = (existing != result.end() ? existing->second : 0LL) +
                          static_cast<long long>(sign) * exponent;
    if (sum < std::numeric_limits<int>::min() || sum > std::numeric_limits<int>::max()) {
      return std::nullopt;
    }
    if (existing == result.end()) {
      result.emplace(index, static_cast<int>(sum));  // an explicit 0 is copied as it is
    } else if (sum == 0) {
      result.erase(existing);
    } else {
      existing->second = static_cast<int>(sum);
    }
  }
  return result;
}

}  // namespace

void ThrowInvalidConversion() { throw COtxException(OTX::InvalidConversionException); }

void ThrowUnknownUnit(const std::string& message) {
  throw COtxException(OTX::UnknownUnitException, message);
}

const COtxUnitBehaviour& UnitBehaviourOf(const CKesmar& unit) {
  // Unit() throws for every value that is not a unit.
  const auto* behaviour = dynamic_cast<const COtxUnitBehaviour*>(&unit.Unit());
  if (behaviour == nullptr) ThrowTypeMismatch(unit.stringType() + " is not a UNIT");
  return *behaviour;
}

UnitRef BaseOf(UnitRef unit) {
  if (unit.entry->base == nullptr) ThrowUnknownUnit(unit.entry->unit.physicalDimensionRef);
  return {unit.tables, unit.entry->base};
}

UnitRef SumUnit(UnitRef a, UnitRef b) {
  const bool aScalar = IsScalar(*a.entry);
  if (!aScalar && !IsScalar(*b.entry) &&
      a.entry->unit.physicalDimensionRef != b.entry->unit.physicalDimensionRef) {
    ThrowInvalidConversion();
  }
  return BaseOf(aScalar ? b : a);
}

UnitRef ProductUnit(UnitRef a, UnitRef b, int sign) {
  // Worked out in a's tables; b's dimension is looked up there by its id when b comes from
  // other tables (a unit made before or after a reload).
  const UnitTables& tables = **a.tables;
  const OTX::DimensionExponents* bExponents =
      a.tables->get() == b.tables->get() ? b.entry->exponents
                                         : tables.FindDimension(b.entry->unit.physicalDimensionRef);
  if (a.entry->exponents == nullptr || bExponents == nullptr) ThrowInvalidConversion();
  const auto exponents = Combine(*a.entry->exponents, *bExponents, sign);
  const std::string* dimension = exponents ? tables.FindDimensionForExponents(*exponents) : nullptr;
  const UnitEntry* base = dimension != nullptr ? tables.FindBaseUnit(*dimension) : nullptr;
  if (base == nullptr) ThrowInvalidConversion();
  return {a.tables, base};
}

CKesmar MakeUnit(UnitRef unit) {
  return CKesmar(kesmar::detail::MakeBehaviour<COtxUnitBehaviour>(*unit.tables, *unit.entry));
}

CKesmar MakeUnit(const std::shared_ptr<const UnitTables>& tables, const std::string& id) {
  const UnitEntry* entry = tables->FindUnit(id);
  if (entry == nullptr) ThrowUnknownUnit(id);
  return MakeUnit(UnitRef{&tables, entry});
}

}  // namespace kesmar::detail

using kesmar::detail::RefOf;
using kesmar::detail::UnitBehaviourOf;

COtxUnit::COtxUnit() : COtxUnit(std::string(kesmar::detail::kScalarId)) {}
COtxUnit::COtxUnit(const std::string& id)
    : CKesmar(kesmar::detail::MakeUnit(OTX::COtxUnitSpec::Instance().Tables(), id)) {}
COtxUnit::COtxUnit(const CKesmar& object)
    : COtxUnit(static_cast<const std::string&>(
          kesmar::detail::ReadMember<&CKesmar::String>(object, "unitId"))) {}
COtxUnit::~COtxUnit() = default;

COtxUnitBehaviour::COtxUnitBehaviour(std::shared_ptr<const kesmar::detail::UnitTables> tables,
                                     const kesmar::detail::UnitEntry& entry)
    : CKesmarBehaviour(OTX::UNIT), m_tables(std::move(tables)), m_entry(&entry) {}

bool COtxUnitBehaviour::IsEqual(const CKesmar& other) const {
  if (other.Type() != OTX::UNIT) return false;
  const auto& otherEntry = UnitBehaviourOf(other).Entry();
  return m_entry->unit.id == otherEntry.unit.id || kesmar::detail::IsScalar(*m_entry) ||
         kesmar::detail::IsScalar(otherEntry);
}

CKesmar COtxUnitBehaviour::Add(const CKesmar& other) const {
  return MakeUnit(SumUnit(RefOf(*this), RefOf(UnitBehaviourOf(other))));
}

CKesmar COtxUnitBehaviour::Subtract(const CKesmar& other) const { return Add(other); }

CKesmar COtxUnitBehaviour::Multiply(const CKesmar& other) const {
  if (other.Type() != OTX::UNIT) kesmar::detail::ThrowInvalidConversion();
  return MakeUnit(ProductUnit(RefOf(*this), RefOf(UnitBehaviourOf(other)), 1));
}

CKesmar COtxUnitBehaviour::Divide(const CKesmar& other) const {
  if (other.Type() != OTX::UNIT) kesmar::detail::ThrowInvalidConversion();
  return MakeUnit(ProductUnit(RefOf(*this), RefOf(UnitBehaviourOf(other)), -1));
}

CKesmar COtxUnitBehaviour::ToString() const { return COtxString(m_entry->unit.displayName); }

CKesmar COtxUnitBehaviour::ToJSONObject() const {
  std::string text;
  kesmar::detail::JsonObjectWriter(text, StringType())
      .Text("unit", m_entry->unit.displayName)
      .Text("unitId", m_entry->unit.id)
      .Text("value", m_entry->unit.id)
      .End();
  return kesmar::detail::JsonValue(std::move(text));
}

std::string COtxUnitBehaviour::Id() const { return m_entry->unit.id; }

CKesmar COtxUnitBehaviour::BaseUnit() const {
  return MakeUnit(kesmar::detail::BaseOf(RefOf(*this)));
}

double COtxUnitBehaviour::ToSI(double x) const {
  return m_entry->unit.siFactor * x + m_entry->unit.siOffset;
}

int COtxUnitBehaviour::ToSIPrecision(int p) const {
  const double factor = std::fabs(m_entry->unit.siFactor);
  // log10 of 0 or a non-finite factor has no integer value; such a unit keeps the precision.
  if (factor == 0.0 || !std::isfinite(factor)) return p;
  // A finite non-zero double lies within 10^-324 and 10^309, so the shift is small.
  const auto shift = static_cast<long long>(std::round(std::log10(factor)));
  return static_cast<int>(std::clamp<long long>(static_cast<long long>(p) - shift,
                                                std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

double COtxUnitBehaviour::FromSI(double x) const {
  return (x - m_entry->unit.siOffset) / m_entry->unit.siFactor;
}

std::string COtxUnitBehaviour::PhysicalDimension() const {
  return m_entry->unit.physicalDimensionRef;
}
