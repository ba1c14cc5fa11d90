// The constructors of lists and maps from their JSON object forms. They live with the JSON
// reader because every element is itself an object form that OTX::OtxMapToKesmar reads.
#include "COtxList.h"

#include <map>
#include <memory>
#include <vector>

#include "COtxMap.h"
#include "OtxJSON.h"
#include "core/detail/ObjectForm.h"

namespace {

// The typed elements of {"type":"LIST","value":[<object form>,...]}.
std::vector<CKesmar> ReadElements(const CKesmar& object) {
  const CKesmar forms = kesmar::detail::ObjectMember(object, "value");
  std::vector<CKesmar> elements;
  elements.reserve(forms.List().size());
  for (const CKesmar& form : forms.List()) elements.push_back(OTX::OtxMapToKesmar(form));
  return elements;
}

// The entries of {"type":"MAP","value":{"<key>":<object form>,...}} with typed values.
std::map<CKesmar, CKesmar> ReadEntries(const CKesmar& object) {
  const CKesmar forms = kesmar::detail::ObjectMember(object, "value");
  std::map<CKesmar, CKesmar> entries;
  for (const auto& [key, form] : forms.Map()) {
    entries.emplace_hint(entries.end(), key, OTX::OtxMapToKesmar(form));
  }
  return entries;
}

}  // namespace

COtxList::COtxList(const CKesmar& object)
    : CKesmar(std::make_shared<COtxListBehaviour>(ReadElements(object))) {}

COtxMap::COtxMap(const CKesmar& object)
    : CKesmar(std::make_shared<COtxMapBehaviour>(ReadEntries(object), OTX::MAP)) {}
