// The pieces every value's JSON text is made of. Texts are appended to one caller-owned
// buffer, so a whole tree of values renders without a separate text per level.
#pragma once

#include <string>
#include <typeinfo>
#include <string_view>

#include "CKesmar.h"
#include "CKesmarBehaviour.h"

namespace kesmar::detail {

// Appends text as a JSON string: quoted; `"`, `\` and the bytes below 0x20 escaped (\b \t
// \n \f \r, else \u00XX); every other byte, UTF-8 or not, copied as it is.
void AppendJsonString(std::string& out, std::string_view text);

// Writes an object form: {"type":"<type>" followed by the members in call order, then }.
class JsonObjectWriter {
 public:
  JsonObjectWriter(std::string& out, std::string_view type);

  // Appends ,"name": and returns the buffer, for a member value written in place.
  std::string& Key(std::string_view name);
  // A member whose value is already JSON text (a number, an array, ...).
  JsonObjectWriter& Raw(std::string_view name, std::string_view json);
  // A member whose value is a text, written as a JSON string.
  JsonObjectWriter& Text(std::string_view name, std::string_view text);
  void End();

 private:
  std::string& m_out;
};

// A STRING value holding JSON text.
CKesmar JsonValue(std::string&& text);

// The text that behaviour.WriteJSON writes, as a STRING value.
CKesmar RenderJson(const CKesmarBehaviour& behaviour, bool objectForm);

// A container's JSON: its body alone (plain form) or {"type":"<type>","value":<body>}.
// body(std::string&) appends the body.
template <class Body>
void WriteContainerJson(std::string& out, bool objectForm, std::string_view type, Body body) {
  if (!objectForm) {
    body(out);
    return;
  }
  JsonObjectWriter object(out, type);
  body(object.Key("value"));
  object.End();
}

// For the scalars that write their JSON straight into the buffer: a type built on one of them
// (the enumerations on the integer, say) renders through its own ToJSON/ToJSONObject. Writes
// such a value the general way and returns true; returns false for an Exact value itself.
template <class Exact>
bool WroteAsDerivedType(const Exact& self, std::string& out, bool objectForm) {
  if (typeid(self) == typeid(Exact)) return false;
  self.CKesmarBehaviour::WriteJSON(out, objectForm);
  return true;
}

}  // namespace kesmar::detail
