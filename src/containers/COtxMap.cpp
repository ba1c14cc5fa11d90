#include "COtxMap.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "COtxString.h"
#include "core/detail/JsonWriter.h"

namespace {

using Entry = std::pair<const CKesmar, CKesmar>;

// Entries order by key first, then by mapped value.
bool EntryLess(const Entry& a, const Entry& b) {
  if (a.first < b.first) return true;
  if (b.first < a.first) return false;
  return a.second < b.second;
}

bool EntryEqual(const Entry& a, const Entry& b) { return a.first == b.first && a.second == b.second; }

}  // namespace

COtxMapBehaviour::COtxMapBehaviour() : COtxComparableBehaviour(OTX::MAP) {}

COtxMapBehaviour::COtxMapBehaviour(const std::map<const std::string, CKesmar>& values)
    : COtxComparableBehaviour(OTX::MAP) {
  for (const auto& [name, value] : values) emplace(COtxString(name), value);
}

COtxMapBehaviour::COtxMapBehaviour(const std::map<CKesmar, CKesmar>& entries,
                                   OTX::ValueType type)
    : COtxComparableBehaviour(type), std::map<CKesmar, CKesmar>(entries) {}

COtxMapBehaviour::~COtxMapBehaviour() = default;

bool COtxMapBehaviour::Compare(Comparison op, const CKesmar& other) const {
  if (other.Type() != OTX::MAP) return Answer(op, std::partial_ordering::unordered);
  const std::map<CKesmar, CKesmar>& rhs = other.Map();
  const std::map<CKesmar, CKesmar>& lhs = *this;
  if (op == Comparison::Equal || op == Comparison::NotEqual) {
    const bool equal = std::equal(lhs.begin(), lhs.end(), rhs.begin(), rhs.end(), EntryEqual);
    return equal == (op == Comparison::Equal);
  }
  const auto less = [](const std::map<CKesmar, CKesmar>& a, const std::map<CKesmar, CKesmar>& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), EntryLess);
  };
  return Answer(op, FromLess(less(lhs, rhs), less(rhs, lhs)));
}

CKesmar COtxMapBehaviour::ToString() const {
  std::ostringstream text;
  const char* separator = "";
  for (const auto& [key, value] : *this) {
    text << separator;
    key.ToStream(text, 0) << ':';
    value.ToStream(text, 0);
    separator = ", ";
  }
  return COtxString(std::move(text).str());
}

std::ostream& COtxMapBehaviour::ToStream(std::ostream& stream, int indent) const {
  if (empty()) return stream << "<empty>";
  indent = std::max(indent, 0);
  const std::string indentation(static_cast<std::size_t>(indent) + 2, ' ');
  stream << '{';
  for (const auto& [key, value] : *this) {
    stream << std::endl << indentation << static_cast<const std::string&>(key.ToString().String())
           << ": ";
    value.ToStream(stream, indent + 2);
  }
  return stream << std::endl << indentation.substr(2) << '}';
}

CKesmar COtxMapBehaviour::ToJSON() const { return kesmar::detail::RenderJson(*this, false); }

CKesmar COtxMapBehaviour::ToJSONObject() const { return kesmar::detail::RenderJson(*this, true); }

// Keys are written as the JSON strings of their ToString() texts, whatever their type.
void COtxMapBehaviour::WriteJSON(std::string& out, bool objectForm) const {
  kesmar::detail::WriteContainerJson(out, objectForm, StringType(), [this](std::string& text) {
    text += '{';
    for (auto entry = begin(); entry != end(); ++entry) {
      if (entry != begin()) text += ',';
      const CKesmar& key = entry->first;
      kesmar::detail::AppendJsonString(
          text, key.Type() == OTX::STRING ? key.String() : key.ToString().String());
      text += ':';
      entry->second.WriteJSON(text);
    }
    text += '}';
  });
}

void COtxMapBehaviour::SetOtxJSON(bool otxJson) {
  CKesmarBehaviour::SetOtxJSON(otxJson);
  for (const auto& entry : *this) entry.second.SetOTXJSON(otxJson);
}

COtxMap::COtxMap() : CKesmar(std::make_shared<COtxMapBehaviour>()) {}
COtxMap::COtxMap(const std::map<CKesmar, CKesmar>& entries)
    : CKesmar(std::make_shared<COtxMapBehaviour>(entries, OTX::MAP)) {}
COtxMap::COtxMap(const std::map<const std::string, CKesmar>& values)
    : CKesmar(std::make_shared<COtxMapBehaviour>(values)) {}
COtxMap::~COtxMap() = default;
