// COtxUnit: the OTX Unit, a physical unit of the loaded unit specification with its
// conversion to and from the SI base unit and the unit algebra that quantities use. A unit
// keeps the tables it was made from, so it stays valid and unchanged across reloads of the
// specification. Immutable; safe to share between threads. The built-in unit "scalar"
// (dimension "none", factor 1, offset 0) is the unit of plain numbers and is compatible
// with every unit.
#pragma once

#include <memory>
#include <string>

#include "CKesmar.h"
#include "CKesmarBehaviour.h"
#include "KesmarExport.h"
#include "OtxUnitSpec.h"

namespace OTX {

// What a UNIT value tells about itself (CKesmar::Unit()).
class KESMAR_API IUnit {
 public:
  virtual std::string Id() const = 0;
  // A COtxUnit of the SI base unit of this unit's dimension. Throws UnknownUnitException
  // (message: the dimension id) when the dimension has none.
  virtual CKesmar BaseUnit() const = 0;
  // siFactor * x + siOffset.
  virtual double ToSI(double x) const = 0;
  // The precision (decimal places) that keeps the resolution of p decimals of this unit in
  // the base unit: p - round(log10(siFactor)), limited to the range of int. A factor that is
  // zero or not finite leaves p as it is; a negative factor counts by its magnitude.
  virtual int ToSIPrecision(int p) const = 0;
  // (x - siOffset) / siFactor.
  virtual double FromSI(double x) const = 0;
  virtual std::string PhysicalDimension() const = 0;

 protected:
  ~IUnit() = default;
};

}  // namespace OTX

// A unit of the loaded unit document; throws UnknownUnitException for an unknown id. Its
// object form reads back while the loaded document defines the id.
class KESMAR_API COtxUnit : public CKesmar {
 public:
  // The unit "scalar". Throws UnknownUnitException before a specification is loaded.
  COtxUnit();
  // The unit with this id. Throws UnknownUnitException (message: the id).
  explicit COtxUnit(const std::string& id);
  // From the JSON object form: the unit named by "unitId". Throws std::out_of_range
  // "invalid map<K, T> key" when it is missing, UnknownUnitException for an unknown id.
  explicit COtxUnit(const CKesmar& object);
  COtxUnit(const COtxUnit&) = default;
  COtxUnit& operator=(const COtxUnit&) = default;
  ~COtxUnit() override;
};

// The unit's implementation: its entry and the tables that hold it.
class KESMAR_API COtxUnitBehaviour : public CKesmarBehaviour, public OTX::IUnit {
 public:
  // REQUIRES: entry belongs to tables.
  COtxUnitBehaviour(std::shared_ptr<const kesmar::detail::UnitTables> tables,
                    const kesmar::detail::UnitEntry& entry);

  // True for another UNIT with the same id, or when either unit is "scalar".
  bool IsEqual(const CKesmar& other) const override;
  // The base unit of the dimension of a sum; "scalar" takes the other's dimension. Throws
  // InvalidConversionException for units of different dimensions, TypeMismatchException
  // when other is not a unit.
  CKesmar Add(const CKesmar& other) const override;
  CKesmar Subtract(const CKesmar& other) const override;
  // The base unit of the dimension whose exponents are the sum (difference) of both.
  // Throws InvalidConversionException when no dimension has them or other is not a unit.
  CKesmar Multiply(const CKesmar& other) const override;
  CKesmar Divide(const CKesmar& other) const override;
  // A STRING of the display name.
  CKesmar ToString() const override;
  // {"type":"UNIT","unit":"<display name>","unitId":"<id>","value":"<id>"}.
  CKesmar ToJSONObject() const override;
  const OTX::IUnit& IUnit() const override { return *this; }

  std::string Id() const override;
  CKesmar BaseUnit() const override;
  double ToSI(double x) const override;
  int ToSIPrecision(int p) const override;
  double FromSI(double x) const override;
  std::string PhysicalDimension() const override;

  // The unit's entry and the tables that hold it.
  const kesmar::detail::UnitEntry& Entry() const { return *m_entry; }
  const std::shared_ptr<const kesmar::detail::UnitTables>& Tables() const { return m_tables; }

 private:
  std::shared_ptr<const kesmar::detail::UnitTables> m_tables;
  const kesmar::detail::UnitEntry* m_entry;  // inside *m_tables
};
