#include "COtxEnumerationItem.h"

#include <memory>
#include <string>

#include "COtxString.h"
#include "core/detail/Allocation.h"
#include "core/detail/JsonWriter.h"
#include "core/detail/ObjectForm.h"

namespace {

using kesmar::detail::ObjectMember;

// The "displayRadix" of an object form. The form an item writes has none, so a missing member
// means DEC; a present one reads as for integers (exact name, else DEC).
COtxInt::Radix RadixMember(const CKesmar& object) {
  const auto& members = object.Map();
  const auto found = members.find(COtxString(std::string("displayRadix")));
  if (found == members.end()) return COtxInt::DEC;
  const std::string& name = found->second.String();
  for (auto radix : {COtxInt::BIN, COtxInt::OCT, COtxInt::DEC, COtxInt::HEX}) {
    if (COtxInt::RadixName(radix) == name) return radix;
  }
  return COtxInt::DEC;
}

}  // namespace

COtxEnumerationItem::COtxEnumerationItem(const CKesmar& enumerationName, const CKesmar& name,
                                         const CKesmar& value)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxEnumerationItemBehaviour>(enumerationName, name,
                                                                        value)) {}
COtxEnumerationItem::COtxEnumerationItem(const CKesmar& object)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxEnumerationItemBehaviour>(object)) {}
COtxEnumerationItem::~COtxEnumerationItem() = default;

COtxEnumerationItemBehaviour::COtxEnumerationItemBehaviour(const CKesmar& enumerationName,
                                                           const CKesmar& name,
                                                           const CKesmar& value)
    : COtxIntBehaviour(value.ToInteger().Int(), COtxInt::DEC, OTX::ENUMERATION_ITEM),
      m_name(name),
      m_enumerationName(enumerationName) {}

// The radix is read first, so that a value that is not a map fails there.
COtxEnumerationItemBehaviour::COtxEnumerationItemBehaviour(const CKesmar& object)
    : COtxEnumerationItemBehaviour(object, RadixMember(object)) {}

COtxEnumerationItemBehaviour::COtxEnumerationItemBehaviour(const CKesmar& object,
                                                           COtxInt::Radix radix)
    : COtxIntBehaviour(ObjectMember(object, "value").Int(), radix, OTX::ENUMERATION_ITEM),
      m_name(ObjectMember(object, "name")),
      m_enumerationName(ObjectMember(object, "enumerationName")) {}

COtxEnumerationItemBehaviour::~COtxEnumerationItemBehaviour() = default;

CKesmar COtxEnumerationItemBehaviour::ToString() const { return m_name; }

CKesmar COtxEnumerationItemBehaviour::ToJSONObject() const {
  std::string text;
  kesmar::detail::JsonObjectWriter object(text, StringType());
  object.Text("enumerationName", m_enumerationName.String()).Text("name", m_name.String());
  // The blank after the comma belongs to the form that stored files and peers know.
  text += ", \"value\":";
  text += std::to_string(Int());
  object.End();
  return kesmar::detail::JsonValue(std::move(text));
}
