#include "COtxList.h"

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>

#include "COtxString.h"
#include "containers/detail/ContainerWalk.h"
#include "core/detail/Allocation.h"
#include "core/detail/JsonWriter.h"
#include "core/detail/NestingGuard.h"

namespace kesmar::detail {

Precedence ElementPrecedence(const CKesmar& a, const CKesmar& b) {
  const OTX::ValueType type = a.Type();
  if (type == OTX::LIST && b.Type() == OTX::LIST) return ListPrecedence(a.List(), b.List());
  if (type == OTX::MAP && b.Type() == OTX::MAP) return MapPrecedence(a.Map(), b.Map());
  return {a < b, b < a};
}

// Lexicographic: the first pair of elements of which one is smaller decides; without one, a
// proper prefix is smaller.
Precedence ListPrecedence(const std::vector<CKesmar>& a, const std::vector<CKesmar>& b) {
  const NestingGuard guard(&a, "LIST");
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const Precedence element = ElementPrecedence(a[i], b[i]);
    if (element.less || element.greater) return element;
  }
  return {a.size() < b.size(), b.size() < a.size()};
}

}  // namespace kesmar::detail

using kesmar::detail::NestingGuard;

namespace {

// Every nesting guard knows a list by the address of its element vector.
const void* Address(const COtxListBehaviour* list) {
  return static_cast<const std::vector<CKesmar>*>(list);
}

}  // namespace

COtxListBehaviour::COtxListBehaviour() : COtxComparableBehaviour(OTX::LIST) {}

COtxListBehaviour::COtxListBehaviour(const std::vector<CKesmar>& elements)
    : COtxComparableBehaviour(OTX::LIST), std::vector<CKesmar>(elements) {}

COtxListBehaviour::~COtxListBehaviour() {
  kesmar::detail::ReleaseChildren([this] { clear(); }, [this](std::vector<CKesmar>& pending) {
    for (CKesmar& element : *this) {
      if (kesmar::detail::HoldsElements(element)) kesmar::detail::Defer(element, pending);
    }
  });
}

bool COtxListBehaviour::Compare(Comparison op, const CKesmar& other) const {
  if (other.Type() != OTX::LIST) return Answer(op, std::partial_ordering::unordered);
  const std::vector<CKesmar>& rhs = other.List();
  if (op == Comparison::Equal || op == Comparison::NotEqual) {
    const NestingGuard guard(Address(this), "LIST");
    const bool equal = std::equal(begin(), end(), rhs.begin(), rhs.end());
    return equal == (op == Comparison::Equal);
  }
  const auto order = kesmar::detail::ListPrecedence(*this, rhs);
  return Answer(op, FromLess(order.less, order.greater));
}

CKesmar COtxListBehaviour::ToString() const {
  const NestingGuard guard(Address(this), "LIST");
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
  const NestingGuard guard(Address(this), "LIST");
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
  const NestingGuard guard(Address(this), "LIST");
  const std::size_t start = out.size();
  try {
    kesmar::detail::WriteContainerJson(out, objectForm, StringType(), [this](std::string& text) {
      text += '[';
      for (auto element = begin(); element != end(); ++element) {
        if (element != begin()) text += ',';
        element->WriteJSON(text);
      }
      text += ']';
    });
  } catch (...) {
    out.resize(start);  // no half-written text is left behind
    throw;
  }
}

void COtxListBehaviour::SetOtxJSON(bool otxJson) {
  const NestingGuard guard(Address(this), "LIST");
  CKesmarBehaviour::SetOtxJSON(otxJson);
  for (const CKesmar& element : *this) element.SetOTXJSON(otxJson);
}

COtxList::COtxList() : CKesmar(kesmar::detail::MakeBehaviour<COtxListBehaviour>()) {}
COtxList::COtxList(const std::vector<CKesmar>& elements)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxListBehaviour>(elements)) {}
COtxList::~COtxList() = default;
