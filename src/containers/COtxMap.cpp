#include "COtxMap.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "COtxString.h"
#include "containers/detail/ContainerWalk.h"
#include "core/detail/Allocation.h"
#include "core/detail/JsonWriter.h"
#include "core/detail/NestingGuard.h"

namespace kesmar::detail {

// Lexicographic over the entries, which order by key first, then by mapped value.
Precedence MapPrecedence(const std::map<CKesmar, CKesmar>& a, const std::map<CKesmar, CKesmar>& b) {
  const NestingGuard guard(&a, "MAP");
  for (auto x = a.begin(), y = b.begin(); x != a.end() && y != b.end(); ++x, ++y) {
    Precedence entry = ElementPrecedence(x->first, y->first);
    if (!entry.less && !entry.greater) entry = ElementPrecedence(x->second, y->second);
    if (entry.less || entry.greater) return entry;
  }
  return {a.size() < b.size(), b.size() < a.size()};
}

}  // namespace kesmar::detail

using kesmar::detail::NestingGuard;

namespace {

bool EntryEqual(const std::pair<const CKesmar, CKesmar>& a,
                const std::pair<const CKesmar, CKesmar>& b) {
  return a.first == b.first && a.second == b.second;
}

// Every nesting guard knows a map by the address of its std::map.
const void* Address(const COtxMapBehaviour* map) {
  return static_cast<const std::map<CKesmar, CKesmar>*>(map);
}

}  // namespace

COtxMapBehaviour::COtxMapBehaviour() : COtxComparableBehaviour(OTX::MAP) {}

COtxMapBehaviour::COtxMapBehaviour(const std::map<const std::string, CKesmar>& values)
    : COtxComparableBehaviour(OTX::MAP) {
  for (const auto& [name, value] : values) emplace(COtxString(name), value);
}

COtxMapBehaviour::COtxMapBehaviour(const std::map<CKesmar, CKesmar>& entries,
                                   OTX::ValueType type)
    : COtxComparableBehaviour(type), std::map<CKesmar, CKesmar>(entries) {}

COtxMapBehaviour::~COtxMapBehaviour() {
  kesmar::detail::ReleaseChildren([this] { clear(); }, [this](std::vector<CKesmar>& pending) {
    for (auto& [key, value] : *this) {
      if (kesmar::detail::HoldsElements(value)) kesmar::detail::Defer(value, pending);
      // A key cannot move out of its node: a copy joins the work list instead, and the
      // node's own handle is released with the node.
      if (kesmar::detail::HoldsElements(key)) {
        CKesmar copy = key;
        kesmar::detail::Defer(copy, pending);
      }
    }
  });
}

bool COtxMapBehaviour::Compare(Comparison op, const CKesmar& other) const {
  if (other.Type() != OTX::MAP) return Answer(op, std::partial_ordering::unordered);
  const std::map<CKesmar, CKesmar>& rhs = other.Map();
  const std::map<CKesmar, CKesmar>& lhs = *this;
  if (op == Comparison::Equal || op == Comparison::NotEqual) {
    const NestingGuard guard(Address(this), "MAP");
    const bool equal = std::equal(lhs.begin(), lhs.end(), rhs.begin(), rhs.end(), EntryEqual);
    return equal == (op == Comparison::Equal);
  }
  const auto order = kesmar::detail::MapPrecedence(lhs, rhs);
  return Answer(op, FromLess(order.less, order.greater));
}

CKesmar COtxMapBehaviour::ToString() const {
  const NestingGuard guard(Address(this), "MAP");
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
  const NestingGuard guard(Address(this), "MAP");
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
  const NestingGuard guard(Address(this), "MAP");
  const std::size_t start = out.size();
  try {
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
  } catch (...) {
    out.resize(start);  // no half-written text is left behind
    throw;
  }
}

void COtxMapBehaviour::SetOtxJSON(bool otxJson) {
  const NestingGuard guard(Address(this), "MAP");
  CKesmarBehaviour::SetOtxJSON(otxJson);
  for (const auto& entry : *this) entry.second.SetOTXJSON(otxJson);
}

COtxMap::COtxMap() : CKesmar(kesmar::detail::MakeBehaviour<COtxMapBehaviour>()) {}
COtxMap::COtxMap(const std::map<CKesmar, CKesmar>& entries)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxMapBehaviour>(entries, OTX::MAP)) {}
COtxMap::COtxMap(const std::map<const std::string, CKesmar>& values)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxMapBehaviour>(values)) {}
COtxMap::~COtxMap() = default;
