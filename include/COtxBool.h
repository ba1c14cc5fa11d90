// COtxBool: the OTX Boolean. Immutable; compares only with Booleans (false before true) and
// converts to integer, float, string and byte field. Safe to share between threads.
#pragma once

#include <string>

#include "CKesmar.h"
#include "COtxOperatorBehaviours.h"
#include "KesmarExport.h"

// The Boolean's implementation: one bool, fixed at construction.
class KESMAR_API COtxBoolBehaviour : public COtxComparableBehaviour {
 public:
  explicit COtxBoolBehaviour(bool value = false);

  // 1 or 0, radix DEC.
  CKesmar ToInteger() const override;
  CKesmar ToBoolean() const override;
  // "true" or "false".
  CKesmar ToString() const override;
  // 1.0 or 0.0, precision 16.
  CKesmar ToFloat() const override;
  // One byte: 01 for true, 00 for false.
  CKesmar ToByteField() const override;
  // Appends the same text as ToJSON() / ToJSONObject() straight to out (the value's own
  // class only; a derived class that renders differently goes through those).
  void WriteJSON(std::string& out, bool objectForm) const override;
  // "true" or "false".
  CKesmar ToJSON() const override;
  bool Bool() const override { return m_value; }

 protected:
  bool Compare(Comparison op, const CKesmar& other) const override;

 private:
  bool m_value;
};

// A new Boolean. Its object form {"type":"BOOLEAN","value":true} reads back.
class KESMAR_API COtxBool : public CKesmar {
 public:
  // false.
  COtxBool();
  explicit COtxBool(bool value);
  // From the JSON object form: shares the behaviour of the map's "value" member as it is.
  // Throws std::out_of_range "invalid map<K, T> key" when the member is missing.
  explicit COtxBool(const CKesmar& object);
  COtxBool(const COtxBool&) = default;
  COtxBool& operator=(const COtxBool&) = default;
  ~COtxBool() override;
};
