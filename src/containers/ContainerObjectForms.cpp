// The constructors of lists and maps from their JSON object forms. Every element is itself an
// object form, which OTX::OtxMapToKesmar reads; an element that reads as EMPTY is dropped.
#include "COtxList.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "COtxMap.h"
#include "COtxString.h"
#include "OtxJSON.h"
#include "core/detail/Allocation.h"
#include "core/detail/NestingGuard.h"
#include "core/detail/ObjectForm.h"

namespace {

// The typed elements of {"type":"LIST","value":[<object form>,...]}.
std::vector<CKesmar> ReadElements(const CKesmar& object) {
  const CKesmar forms = kesmar::detail::ObjectMember(object, "value");
  const kesmar::detail::NestingGuard guard(&forms.List(), "LIST");
  std::vector<CKesmar> elements;
  elements.reserve(forms.List().size());
  for (const CKesmar& form : forms.List()) {
    CKesmar element = OTX::OtxMapToKesmar(form);
    if (element.Type() != OTX::EMPTY) elements.push_back(std::move(element));
  }
  return elements;
}

// The entries of {"type":"MAP","value":{"<key>":<object form>,...}} with typed values. Keys
// must be strings (String() throws for any other type); a repeated key keeps its first value.
std::map<CKesmar, CKesmar> ReadEntries(const CKesmar& object) {
  const CKesmar forms = kesmar::detail::ObjectMember(object, "value");
  const kesmar::detail::NestingGuard guard(&forms.Map(), "MAP");
  std::map<CKesmar, CKesmar> entries;
  for (const auto& [key, form] : forms.Map()) {
    CKesmar value = OTX::OtxMapToKesmar(form);
    if (value.Type() == OTX::EMPTY) continue;
    // A string key is immutable and can be shared; any other key becomes a string (or throws).
    CKesmar name = key.Type() == OTX::STRING ? key : COtxString(key.String());
    entries.emplace_hint(entries.end(), std::move(name), std::move(value));
  }
  return entries;
}

}  // namespace

COtxList::COtxList(const CKesmar& object)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxListBehaviour>(ReadElements(object))) {}

COtxMap::COtxMap(const CKesmar& object)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxMapBehaviour>(ReadEntries(object), OTX::MAP)) {}
