#include "units/detail/UnitTables.h"

#include <utility>

namespace kesmar::detail {

namespace {

// The unit of plain numbers, present in every loaded specification.
const OTX::UnitDefinition kBuiltIn{"scalar", "", 1.0, 0.0, "none"};

template <class Map>
auto Find(const Map& map, std::string_view key) -> decltype(map.begin()->second) {
  const auto found = map.find(key);
  return found != map.end() ? found->second : nullptr;
}

}  // namespace

UnitTables::UnitTables() = default;

UnitTables::UnitTables(UnitDocument document) : m_document(std::move(document)) {
  for (const Dimension& dimension : m_document.dimensions) {
    m_dimensions.emplace(dimension.id, dimension.exponents);
  }

  // The built-in unit comes last, so a document's own "scalar" or base unit of "none" wins.
  // The reservation keeps the entries where the tables point.
  m_entries.reserve(m_document.units.size() + 1);
  const auto add = [this](const OTX::UnitDefinition& unit) {
    // A unit whose id is taken is left out of every table: it could not be looked up, so it
    // must not be a base unit either. The built-in unit may still be the base of "none".
    const bool builtIn = &unit == &kBuiltIn;
    if (m_units.find(unit.id) != m_units.end() && !builtIn) return;
    const UnitEntry& entry = m_entries.emplace_back(UnitEntry{unit});
    m_units.emplace(unit.id, &entry);
    if (unit.siFactor == 1.0 && unit.siOffset == 0.0) {
      m_baseUnits.emplace(unit.physicalDimensionRef, &entry);
    }
  };
  for (const OTX::UnitDefinition& unit : m_document.units) add(unit);
  add(kBuiltIn);
  for (UnitEntry& entry : m_entries) {
    entry.base = Find(m_baseUnits, entry.unit.physicalDimensionRef);
    const auto dimension = m_dimensions.find(entry.unit.physicalDimensionRef);
    if (dimension != m_dimensions.end()) entry.exponents = &dimension->second;
  }

  for (const UnitGroup& group : m_document.groups) m_groups.emplace(group.id, &group);
}

const UnitEntry* UnitTables::FindUnit(std::string_view id) const { return Find(m_units, id); }

const UnitEntry* UnitTables::FindBaseUnit(std::string_view dimensionId) const {
  return Find(m_baseUnits, dimensionId);
}

const OTX::DimensionExponents* UnitTables::FindDimension(std::string_view dimensionId) const {
  const auto found = m_dimensions.find(dimensionId);
  return found != m_dimensions.end() ? &found->second : nullptr;
}

const UnitGroup* UnitTables::FindGroup(std::string_view groupId) const {
  return Find(m_groups, groupId);
}

const std::string* UnitTables::FindDimensionForExponents(
    const OTX::DimensionExponents& exponents) const {
  for (const auto& [id, candidate] : m_dimensions) {
    if (candidate == exponents) return &id;
  }
  return nullptr;
}

std::string ChooseLocalisedText(const std::vector<LocalisedText>& texts,
                                const std::string& language) {
  const std::string* english = nullptr;
  const std::string* other = nullptr;
  for (const LocalisedText& text : texts) {
    if (text.language == language) return text.text;
    if (text.language == "en") {
      english = &text.text;
    } else if (other == nullptr) {
      other = &text.text;
    }
  }
  if (english != nullptr && !english->empty()) return *english;
  return other != nullptr ? *other : std::string();
}

}  // namespace kesmar::detail
