#include "COtxList.h"

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>

#include "COtxString.h"
#include "core/detail/JsonWriter.h"

COtxListBehaviour::COtxListBehaviour() : COtxComparableBehaviour(OTX::LIST) {}

COtxListBehaviour::COtxListBehaviour(const std::vector<CKesmar>& elements)
    : COtxComparableBehaviour(OTX::LIST), std::vector<CKesmar>(elements) {}

COtxListBehaviour::~COtxListBehaviour() = default;

bool COtxListBehaviour::Compare(Comparison op, const CKesmar& other) const {
  if (other.Type() != OTX::LIST) return Answer(op, std::partial_ordering::unordered);
  const std::vector<CKesmar>& rhs = other.List();
  if (op == Comparison::Equal || op == Comparison::NotEqual) {
    const bool equal = std::equal(begin(), end(), rhs.begin(), rhs.end());
    return equal == (op == Comparison::Equal);
  }
  // Lexicographic with the elements' operator<; a proper prefix is smaller.
  const auto less = [](const std::vector<CKesmar>& a, const std::vector<CKesmar>& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
  };
  const std::vector<CKesmar>& lhs = *this;
  return Answer(op, FromLess(less(lhs, rhs), less(rhs, lhs)));
}

CKesmar COtxListBehaviour::ToString() const {
  std::ostringstream text;
  const char* separator = "";
  for (const CKesmar& element : *this) {
    text << separator;
    element.ToStream(text, 0);
    separator = ", ";
  }
  return COtxString(std::move(text).str());
}

std::ostream& COtxListBehaviour::ToStream(std::ostream& stream, int indent) const {
  if (empty()) return stream << "<empty>";
  indent = std::max(indent, 0);
  const std::string indentation(static_cast<std::size_t>(indent) + 2, ' ');
  stream << '[';
  for (const CKesmar& element : *this) {
    stream << std::endl << indentation;
    element.ToStream(stream, indent + 2);
  }
  return stream << std::endl << indentation.substr(2) << ']';
}

CKesmar COtxListBehaviour::ToJSON() const { return kesmar::detail::RenderJson(*this, false); }

CKesmar COtxListBehaviour::ToJSONObject() const {
  return kesmar::detail::RenderJson(*this, true);
}

void COtxListBehaviour::WriteJSON(std::string& out, bool objectForm) const {
  kesmar::detail::WriteContainerJson(out, objectForm, StringType(), [this](std::string& text) {
    text += '[';
    for (auto element = begin(); element != end(); ++element) {
      if (element != begin()) text += ',';
      element->WriteJSON(text);
    }
    text += ']';
  });
}

void COtxListBehaviour::SetOtxJSON(bool otxJson) {
  CKesmarBehaviour::SetOtxJSON(otxJson);
  for (const CKesmar& element : *this) element.SetOTXJSON(otxJson);
}

COtxList::COtxList() : CKesmar(std::make_shared<COtxListBehaviour>()) {}
COtxList::COtxList(const std::vector<CKesmar>& elements)
    : CKesmar(std::make_shared<COtxListBehaviour>(elements)) {}
COtxList::~COtxList() = default;
