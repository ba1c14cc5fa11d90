// COtxQuantity: the OTX Quantity, a number in a unit with a display precision. The number is
// kept in the unit it was made in; arithmetic and comparisons go through SI values and give
// results in SI base units. Combining or comparing quantities of different dimensions throws
// InvalidConversionException ("scalar" goes with every unit); comparing with a value that is
// no number or quantity throws rather than answering false. Immutable; safe to share
// between threads.
#pragma once

#include <string>

#include "CKesmar.h"
#include "COtxOperatorBehaviours.h"
#include "KesmarExport.h"

namespace OTX {

// What a QUANTITY value tells about itself (CKesmar::Quantity()).
class KESMAR_API IQuantity {
 public:
  // A FLOAT of the number in the quantity's own unit, with its precision.
  virtual CKesmar Value() const = 0;
  // The COtxUnit.
  virtual CKesmar QuantityUnit() const = 0;
  virtual int DisplayPrecision() const = 0;
  // The base unit of the quantity's unit; throws UnknownUnitException when there is none.
  virtual CKesmar BaseUnit() const = 0;
  // This quantity in the closest unit of the selected country group, see ToGroup.
  virtual CKesmar ToCountryGroup() = 0;
  // This quantity in the member of group whose siFactor is nearest to its unit's; itself
  // when it is dimensionless or group is "" and no country group is selected. Throws
  // InvalidConversionException when the group has no unit of the quantity's dimension,
  // UnknownUnitException for an unknown group.
  virtual CKesmar ToGroup(const std::string& group) = 0;

 protected:
  ~IQuantity() = default;
};

}  // namespace OTX

// A new quantity; constructors throw as stated at each. The object form reads back; a unit
// id that the loaded specification does not know throws UnknownUnitException.
class KESMAR_API COtxQuantity : public CKesmar {
 public:
  // The three fields as given. Throws TypeMismatchException when unit is not a unit.
  COtxQuantity(double value, const CKesmar& unit, int precision);
  // value in unit: a number as it is, a quantity in an equal unit unconverted, a quantity of
  // the same dimension converted through its SI value. Throws InvalidConversionException for
  // a quantity of another dimension and TypeMismatchException for a value that has no float.
  COtxQuantity(const CKesmar& value, const CKesmar& unit, int precision);
  // From the JSON object form: "unitId" ("scalar" when missing or not a string; an unknown
  // id throws UnknownUnitException),
  // "displayPrecision" (16 when missing or not an integer) and "value" (required).
  explicit COtxQuantity(const CKesmar& object);
  COtxQuantity(const COtxQuantity&) = default;
  COtxQuantity& operator=(const COtxQuantity&) = default;
  ~COtxQuantity() override;
};

class COtxUnitBehaviour;

// The quantity's implementation: the number in its own unit, the unit and the precision.
class KESMAR_API COtxQuantityBehaviour : public COtxArithmeticBehaviour, public OTX::IQuantity {
 public:
  // REQUIRES: unit is a COtxUnit.
  COtxQuantityBehaviour(double value, const CKesmar& unit, int precision);

  // |value| in the same unit and precision.
  CKesmar Abs() const override;
  // A FLOAT of the SI value at the SI precision.
  CKesmar ToFloat() const override;
  // The number in the quantity's own unit, truncated as a float is.
  CKesmar ToInteger() const override;
  // A new quantity with the same fields.
  CKesmar ToQuantity() const override;
  // The number at the display precision, a blank and the unit's display name.
  CKesmar ToString() const override;
  // {"type":"QUANTITY","value":<number>,"unit":"<display name>","unitId":"<id>",
  // "displayPrecision":<p>}; at full or negative precision the number reads back exactly.
  CKesmar ToJSONObject() const override;
  OTX::IQuantity& Quantity() override { return *this; }

  CKesmar Value() const override;
  CKesmar QuantityUnit() const override { return m_unit; }
  int DisplayPrecision() const override { return m_precision; }
  CKesmar BaseUnit() const override;
  CKesmar ToCountryGroup() override;
  CKesmar ToGroup(const std::string& group) override;

  // The number in the quantity's own unit.
  double Number() const { return m_value; }
  // The number in the SI base unit.
  double SiValue() const;
  const COtxUnitBehaviour& UnitBehaviour() const { return *m_unitBehaviour; }

  // The number text at a display precision: 16 significant digits from 16 on, p decimals
  // from 0 to 15, rounded to a multiple of 10^-p (halves away from zero) below 0.
  static std::string Format(double value, int precision);

 protected:
  // Throws InvalidConversionException when the base units differ (neither is "scalar").
  // Equality is float equality at the SI precision; orderings compare SI values exactly.
  bool Compare(Comparison op, const CKesmar& other) const override;
  // A quantity in the base unit of the result's dimension, at the larger precision.
  CKesmar Calculate(Arithmetic op, const CKesmar& other) const override;

 private:
  double m_value;
  CKesmar m_unit;
  int m_precision;
  const COtxUnitBehaviour* m_unitBehaviour;  // the behaviour of m_unit
};
