// The content of one "unitSpec" document and the lookup tables built from it. Tables are
// built once and never change, so any number of threads may read them; units keep a shared
// pointer to the tables they come from.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "OtxUnitSpec.h"

namespace kesmar::detail {

// A "name" or "description" of a unit group.
struct LocalisedText {
  std::string language;
  std::string text;
};

struct UnitGroup {
  std::string id;
  std::vector<std::string> unitRefs;  // in preference order
  std::string category;               // "COUNTRY" or "EQUIV_UNITS"
  std::vector<LocalisedText> names;
  std::vector<LocalisedText> descriptions;
};

struct Dimension {
  std::string id;
  OTX::DimensionExponents exponents;
};

// A document's elements in document order.
struct UnitDocument {
  std::vector<OTX::UnitDefinition> units;
  std::vector<Dimension> dimensions;
  std::vector<UnitGroup> groups;
};

// A unit with what the value types look up for it on every operation.
struct UnitEntry {
  OTX::UnitDefinition unit;
  const UnitEntry* base = nullptr;                     // null: the dimension has no base unit
  const OTX::DimensionExponents* exponents = nullptr;  // null: the dimension is not defined
};

class UnitTables {
 public:
  // No document: no units at all, not even "scalar".
  UnitTables();
  // The tables of a document; in every table the first entry for a key wins. A unit whose id
  // is taken already is left out altogether. "scalar" and the base unit of "none" are the
  // built-in unit unless the document defines them first.
  explicit UnitTables(UnitDocument document);
  UnitTables(const UnitTables&) = delete;
  UnitTables& operator=(const UnitTables&) = delete;

  // Null when absent.
  const UnitEntry* FindUnit(std::string_view id) const;
  const UnitEntry* FindBaseUnit(std::string_view dimensionId) const;
  const OTX::DimensionExponents* FindDimension(std::string_view dimensionId) const;
  const UnitGroup* FindGroup(std::string_view groupId) const;
  // The id of the first dimension, by ascending id, with exactly these exponents; null when
  // there is none.
  const std::string* FindDimensionForExponents(const OTX::DimensionExponents& exponents) const;

  // Groups by ascending id.
  const std::map<std::string, const UnitGroup*, std::less<>>& Groups() const { return m_groups; }
  // Every unit by id.
  const std::map<std::string, const UnitEntry*, std::less<>>& Units() const { return m_units; }

 private:
  UnitDocument m_document;
  std::vector<UnitEntry> m_entries;  // the kept units, then the built-in one; never resized
  std::map<std::string, const UnitEntry*, std::less<>> m_units;
  std::map<std::string, const UnitEntry*, std::less<>> m_baseUnits;
  std::map<std::string, OTX::DimensionExponents, std::less<>> m_dimensions;
  std::map<std::string, const UnitGroup*, std::less<>> m_groups;
};

// The text of texts for language: the first exact match; else the text of the last "en"
// entry unless it is empty; else the first text of another language; else "".
std::string ChooseLocalisedText(const std::vector<LocalisedText>& texts,
                                const std::string& language);

}  // namespace kesmar::detail
