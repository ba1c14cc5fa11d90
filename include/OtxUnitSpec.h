// The process-wide unit specification: units (a display name and a linear conversion to the
// SI base unit of their physical dimension), physical dimensions (exponents of the seven SI
// base quantities) and unit groups (country groups and groups of equivalent units), read
// from a "unitSpec" XML document that the caller passes to OTX::Initialise. Each load builds
// one immutable set of tables and publishes it at once; units keep the tables they were made
// from alive, so a reload never invalidates them and a concurrent reader sees the old or the
// new tables, never a mix. The selected country group is guarded by its own mutex.
#pragma once

#include <istream>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "CKesmar.h"
#include "KesmarExport.h"

namespace kesmar::detail {
class UnitTables;
struct UnitEntry;
}  // namespace kesmar::detail

namespace OTX {

// One unit: the SI value of a number x in it is siFactor * x + siOffset.
struct UnitDefinition {
  std::string id;
  std::string displayName;
  double siFactor = 1.0;
  double siOffset = 0.0;
  std::string physicalDimensionRef;
};

// Exponents of a physical dimension by base quantity index: 0 length, 1 mass, 2 time,
// 3 current, 4 temperature, 5 molar amount, 6 luminous intensity. Holds exactly the
// exponents a document writes, explicit zeros included.
using DimensionExponents = std::map<int, int>;

// The process's unit specification and selected country group; see above for what throws.
class KESMAR_API COtxUnitSpec {
 public:
  // The one specification of the process, made when the library loads (which initialises
  // the XML platform) and destroyed when it unloads.
  static COtxUnitSpec& Instance();

  COtxUnitSpec(const COtxUnitSpec&) = delete;
  COtxUnitSpec& operator=(const COtxUnitSpec&) = delete;

  // Replaces the tables by those of the document read from xml. Entities are never
  // expanded and nothing outside the stream is read. Throws std::runtime_error
  // "XMLParsingException <diagnostics with line and column>" (after logging them) for a
  // document that is not well formed, has another root, lacks a required element, has an
  // unknown "category" or a malformed number; the loaded tables then stay as they were.
  void Initialise(std::istream& xml);

  // The unit with this id. Throws UnknownUnitException (message: the id).
  std::shared_ptr<const UnitDefinition> GetUnit(const std::string& id) const;
  // The SI base unit of a dimension (factor 1, offset 0, first listed). Throws
  // UnknownUnitException (message: the dimension id).
  std::shared_ptr<const UnitDefinition> GetBaseUnit(const std::string& dimensionId) const;
  // The exponents of a dimension. Throws UnknownUnitException (message: the dimension id).
  DimensionExponents GetDimensionExponents(const std::string& dimensionId) const;
  // A COtxUnit: the base unit of the first dimension, by ascending id, with exactly these
  // exponents. Throws UnknownUnitException (no message) when there is none.
  CKesmar GetBaseUnitForExponents(const DimensionExponents& exponents) const;

  // Selects the country group with this id (a group of any category); an unknown id is
  // logged and clears the selection.
  void SelectCountryGroup(const std::string& group);
  // A COtxString of the selected country group id, "" when none is selected.
  CKesmar GetCountryGroup() const;
  // A COtxMap from group id to its name in language ("en" and then any other language as
  // fallbacks, the id when it has no name), for the groups of category "COUNTRY" or
  // "EQUIV_UNITS", in ascending order of id.
  CKesmar GetGroups(const std::string& category, const std::string& language) const;
  // The id of the member of group with unit's dimension whose siFactor is nearest to unit's
  // (the first listed on a tie), "" when no member has that dimension. Throws
  // UnknownUnitException "unknown group: <group>" and TypeMismatchException when unit is not
  // a unit.
  std::string FindClosestUnitMatchInGroup(const std::string& group, const CKesmar& unit) const;
  // quantity converted into the closest member of group ("" selects the country group); the
  // quantity itself when it is dimensionless or no group is given or selected. Throws
  // InvalidConversionException when the group has no member of the quantity's dimension.
  CKesmar ConvertToGroup(const CKesmar& quantity, const std::string& group) const;

  // The tables of the loaded document (empty tables before the first load), for the
  // library's value types.
  std::shared_ptr<const kesmar::detail::UnitTables> Tables() const;

 private:
  COtxUnitSpec();
  ~COtxUnitSpec();

  std::string SelectedCountryGroup() const;
  // FindClosestUnitMatchInGroup over the given tables, for a unit's own definition.
  std::string ClosestMember(const kesmar::detail::UnitTables& tables, const std::string& group,
                            const UnitDefinition& unit) const;

  // Guards only the pointer: the tables it points to never change.
  mutable std::mutex m_tablesMutex;
  std::shared_ptr<const kesmar::detail::UnitTables> m_tables;
  mutable std::mutex m_mutex;  // guards m_countryGroup
  std::string m_countryGroup;
  bool m_platformReady = false;
};

// COtxUnitSpec::Instance().Initialise(xml).
KESMAR_API void Initialise(std::istream& xml);
// Selects the country group named by a STRING value; throws TypeMismatchException for any
// other value.
KESMAR_API void SetCountryGroup(const CKesmar& group);
// A STRING value of the selected country group, "" when none is selected.
KESMAR_API CKesmar GetCountryGroup();
// The country groups with their names in the language of a STRING value (see GetGroups).
KESMAR_API CKesmar GetCountryGroups(const CKesmar& language);
// The groups of equivalent units with their names in the language of a STRING value.
KESMAR_API CKesmar GetEquivalenceGroups(const CKesmar& language);

}  // namespace OTX
