// The unit algebra shared by units and quantities: base units, and the unit of a sum,
// difference, product or quotient, worked out on table entries so that a quantity operation
// makes no unit value but its result's.
#pragma once

#include <memory>
#include <string>

#include "COtxUnit.h"
#include "units/detail/UnitTables.h"

namespace kesmar::detail {

// A unit of one set of tables. Both pointers are never null and refer to storage that
// outlives the reference (a unit value's own members).
struct UnitRef {
  const std::shared_ptr<const UnitTables>* tables;
  const UnitEntry* entry;
};

// The id of the built-in unit of plain numbers.
inline constexpr std::string_view kScalarId = "scalar";

inline bool IsScalar(const UnitEntry& entry) { return entry.unit.id == kScalarId; }

// The behaviour of a UNIT value. Throws TypeMismatchException "<T> is not a UNIT" for any
// other value.
const COtxUnitBehaviour& UnitBehaviourOf(const CKesmar& unit);

inline UnitRef RefOf(const COtxUnitBehaviour& unit) { return {&unit.Tables(), &unit.Entry()}; }

// The base unit of unit's dimension. Throws UnknownUnitException (message: the dimension).
UnitRef BaseOf(UnitRef unit);

// The unit of a sum or difference: the base unit of a's dimension, or of b's when a is
// "scalar". Throws InvalidConversionException when the dimensions differ and neither is
// "scalar", UnknownUnitException when that dimension has no base unit.
UnitRef SumUnit(UnitRef a, UnitRef b);

// The unit of a product (sign 1) or quotient (sign -1): the base unit, in a's tables, of the
// first dimension with the summed exponents. Throws InvalidConversionException when a
// dimension is unknown or none has those exponents.
UnitRef ProductUnit(UnitRef a, UnitRef b, int sign);

// A new UNIT value of unit.
CKesmar MakeUnit(UnitRef unit);

// The unit with this id in tables. Throws UnknownUnitException (message: the id).
CKesmar MakeUnit(const std::shared_ptr<const UnitTables>& tables, const std::string& id);

[[noreturn]] void ThrowInvalidConversion();
[[noreturn]] void ThrowUnknownUnit(const std::string& message);

}  // namespace kesmar::detail
