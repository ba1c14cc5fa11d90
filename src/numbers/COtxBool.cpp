#include "COtxBool.h"


#include "COtxByteField.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxString.h"
#include "core/detail/Allocation.h"
#include "core/detail/JsonWriter.h"
#include "core/detail/ObjectForm.h"
#include "numbers/detail/NumberRules.h"

COtxBoolBehaviour::COtxBoolBehaviour(bool value)
    : COtxComparableBehaviour(OTX::BOOLEAN), m_value(value) {}

bool COtxBoolBehaviour::Compare(Comparison op, const CKesmar& other) const {
  if (other.Type() != OTX::BOOLEAN) return Answer(op, std::partial_ordering::unordered);
  return Answer(op, m_value <=> other.Bool());
}

CKesmar COtxBoolBehaviour::ToInteger() const { return COtxInt(m_value ? 1 : 0, COtxInt::DEC); }
CKesmar COtxBoolBehaviour::ToBoolean() const { return COtxBool(m_value); }
CKesmar COtxBoolBehaviour::ToString() const {
  return COtxString(std::string(m_value ? "true" : "false"));
}
CKesmar COtxBoolBehaviour::ToFloat() const {
  return COtxFloat(m_value ? 1.0 : 0.0, kesmar::detail::kFullPrecision);
}
CKesmar COtxBoolBehaviour::ToByteField() const {
  const unsigned char byte = m_value ? 0x01 : 0x00;
  return COtxByteField(&byte, 1, OTX::NoEncoding, -1);
}
CKesmar COtxBoolBehaviour::ToJSON() const { return ToString(); }

void COtxBoolBehaviour::WriteJSON(std::string& out, bool objectForm) const {
  if (kesmar::detail::WroteAsDerivedType(*this, out, objectForm)) return;
  const char* const text = m_value ? "true" : "false";
  if (!objectForm) {
    out += text;
    return;
  }
  kesmar::detail::JsonObjectWriter(out, StringType()).Raw("value", text).End();
}

COtxBool::COtxBool() : CKesmar(kesmar::detail::MakeBehaviour<COtxBoolBehaviour>(false)) {}
COtxBool::COtxBool(bool value) : CKesmar(kesmar::detail::MakeBehaviour<COtxBoolBehaviour>(value)) {}
COtxBool::COtxBool(const CKesmar& object)
    : CKesmar(kesmar::detail::ObjectMember(object, "value")) {}
COtxBool::~COtxBool() = default;
