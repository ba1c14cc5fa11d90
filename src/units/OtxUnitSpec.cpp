#include "OtxUnitSpec.h"

#include <cmath>
#include <stdexcept>
#include <utility>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>

#include "COtxMap.h"
#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "core/detail/Log.h"
#include "units/detail/UnitAlgebra.h"
#include "units/detail/UnitSpecReader.h"

namespace {

using kesmar::detail::UnitEntry;
using kesmar::detail::UnitTables;

// Made while the library loads, which initialises the XML platform before any caller can
// load a specification.
[[maybe_unused]] const OTX::COtxUnitSpec& g_unitSpec = OTX::COtxUnitSpec::Instance();

}  // namespace

namespace OTX {

COtxUnitSpec& COtxUnitSpec::Instance() {
  static COtxUnitSpec instance;
  return instance;
}

COtxUnitSpec::COtxUnitSpec() : m_tables(std::make_shared<const UnitTables>()) {
  try {
    xercesc::XMLPlatformUtils::Initialize();
    m_platformReady = true;
  } catch (const xercesc::XMLException&) {
    // Reported by every Initialise call instead: a failing static constructor would end the
    // process that loads the library.
  }
}

COtxUnitSpec::~COtxUnitSpec() {
  if (m_platformReady) xercesc::XMLPlatformUtils::Terminate();
}

void COtxUnitSpec::Initialise(std::istream& xml) {
  std::shared_ptr<const UnitTables> tables;
  try {
    if (!m_platformReady) {
      throw kesmar::detail::UnitSpecError("the XML platform could not be initialised");
    }
    tables = std::make_shared<const UnitTables>(kesmar::detail::ReadUnitSpec(xml));
  } catch (const kesmar::detail::UnitSpecError& failure) {
    KESMAR_LOG_OBJECT(kesmar::detail::kLogError, *this, "OTX::COtxUnitSpec::Initialise",
                      failure.what());
    throw std::runtime_error(std::string("XMLParsingException ") + failure.what());
  }
  // Published at once; the replaced tables live on in the units made from them.
  const std::lock_guard lock(m_tablesMutex);
  m_tables.swap(tables);
}

std::shared_ptr<const UnitTables> COtxUnitSpec::Tables() const {
  const std::lock_guard lock(m_tablesMutex);
  return m_tables;
}

std::shared_ptr<const UnitDefinition> COtxUnitSpec::GetUnit(const std::string& id) const {
  std::shared_ptr<const UnitTables> tables = Tables();
  const UnitEntry* entry = tables->FindUnit(id);
  if (entry == nullptr) kesmar::detail::ThrowUnknownUnit(id);
  // Shares the ownership of the tables, so the definition outlives a reload.
  return std::shared_ptr<const UnitDefinition>(std::move(tables), &entry->unit);
}

std::shared_ptr<const UnitDefinition> COtxUnitSpec::GetBaseUnit(
    const std::string& dimensionId) const {
  std::shared_ptr<const UnitTables> tables = Tables();
  const UnitEntry* entry = tables->FindBaseUnit(dimensionId);
  if (entry == nullptr) kesmar::detail::ThrowUnknownUnit(dimensionId);
  return std::shared_ptr<const UnitDefinition>(std::move(tables), &entry->unit);
}

DimensionExponents COtxUnitSpec::GetDimensionExponents(const std::string& dimensionId) const {
  const DimensionExponents* exponents = Tables()->FindDimension(dimensionId);
  if (exponents == nullptr) kesmar::detail::ThrowUnknownUnit(dimensionId);
  return *exponents;
}

CKesmar COtxUnitSpec::GetBaseUnitForExponents(const DimensionExponents& exponents) const {
  const std::shared_ptr<const UnitTables> tables = Tables();
  const std::string* dimension = tables->FindDimensionForExponents(exponents);
  if (dimension == nullptr) kesmar::detail::ThrowUnknownUnit("");
  const UnitEntry* base = tables->FindBaseUnit(*dimension);
  if (base == nullptr) kesmar::detail::ThrowUnknownUnit(*dimension);
  return kesmar::detail::MakeUnit({&tables, base});
}

void COtxUnitSpec::SelectCountryGroup(const std::string& group) {
  const bool known = Tables()->FindGroup(group) != nullptr;
  {
    const std::lock_guard lock(m_mutex);
    m_countryGroup = known ? group : std::string();
  }
  if (!known) {
    KESMAR_LOG_OBJECT(kesmar::detail::kLogError, *this, "OTX::COtxUnitSpec::SelectCountryGroup",
                      "Country group " << group << " not found");
  }
}

std::string COtxUnitSpec::SelectedCountryGroup() const {
  const std::lock_guard lock(m_mutex);
  return m_countryGroup;
}

CKesmar COtxUnitSpec::GetCountryGroup() const { return COtxString(SelectedCountryGroup()); }

CKesmar COtxUnitSpec::GetGroups(const std::string& category, const std::string& language) const {
  const std::shared_ptr<const UnitTables> tables = Tables();
  std::map<CKesmar, CKesmar> groups;
  for (const auto& [id, group] : tables->Groups()) {
    if (group->category != category) continue;
    std::string name = kesmar::detail::ChooseLocalisedText(group->names, language);
    groups.emplace_hint(groups.end(), COtxString(id), COtxString(name.empty() ? id : name));
  }
  return COtxMap(groups);
}

std::string COtxUnitSpec::FindClosestUnitMatchInGroup(const std::string& group,
                                                      const CKesmar& unit) const {
  return ClosestMember(*Tables(), group, kesmar::detail::UnitBehaviourOf(unit).Entry().unit);
}

std::string COtxUnitSpec::ClosestMember(const UnitTables& tables, const std::string& group,
                                        const UnitDefinition& unit) const {
  const kesmar::detail::UnitGroup* members = tables.FindGroup(group);
  if (members == nullptr) kesmar::detail::ThrowUnknownUnit("unknown group: " + group);
  // The unit's own definition, which stays valid when a reload has dropped its id.
  const double factor = unit.siFactor;
  std::string result;
  double best = 0.0;
  for (const std::string& reference : members->unitRefs) {
    const UnitEntry* member = tables.FindUnit(reference);
    if (member == nullptr) {
      KESMAR_LOG_OBJECT(kesmar::detail::kLogError, *this,
                        "OTX::COtxUnitSpec::FindClosestUnitMatchInGroup",
                        "Invalid unit reference in unit group");
      continue;
    }
    if (member->unit.physicalDimensionRef != unit.physicalDimensionRef) continue;
    // Strictly nearer only, so the earlier member wins a tie.
    if (result.empty() || std::fabs(member->unit.siFactor - factor) < std::fabs(best - factor)) {
      result = reference;
      best = member->unit.siFactor;
    }
  }
  return result;
}

CKesmar COtxUnitSpec::ConvertToGroup(const CKesmar& quantity, const std::string& group) const {
  OTX::IQuantity& value = quantity.Quantity();
  const CKesmar unit = value.QuantityUnit();
  const UnitEntry& entry = kesmar::detail::UnitBehaviourOf(unit).Entry();
  if (entry.exponents == nullptr) kesmar::detail::ThrowUnknownUnit(entry.unit.physicalDimensionRef);
  if (entry.exponents->empty()) return quantity;
  const std::string name = group.empty() ? SelectedCountryGroup() : group;
  if (name.empty()) return quantity;
  // One set of tables for the group and the unit made from it.
  const std::shared_ptr<const UnitTables> tables = Tables();
  const std::string target = ClosestMember(*tables, name, entry.unit);
  if (target.empty()) kesmar::detail::ThrowInvalidConversion();
  return COtxQuantity(quantity, kesmar::detail::MakeUnit(tables, target), value.DisplayPrecision());
}

void Initialise(std::istream& xml) { COtxUnitSpec::Instance().Initialise(xml); }

void SetCountryGroup(const CKesmar& group) {
  COtxUnitSpec::Instance().SelectCountryGroup(group.String());
}

CKesmar GetCountryGroup() { return COtxUnitSpec::Instance().GetCountryGroup(); }

CKesmar GetCountryGroups(const CKesmar& language) {
  return COtxUnitSpec::Instance().GetGroups("COUNTRY", language.String());
}

CKesmar GetEquivalenceGroups(const CKesmar& language) {
  return COtxUnitSpec::Instance().GetGroups("EQUIV_UNITS", language.String());
}

}  // namespace OTX
