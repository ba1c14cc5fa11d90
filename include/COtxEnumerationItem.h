// COtxEnumerationItem: one member of an enumeration that a test sequence declares itself. An
// integer of type ENUMERATION_ITEM (its number, radix DEC) that also carries the name of its
// enumeration and its own name, both values stored as given and shared with the caller. It
// compares, calculates and converts as its number (an item equals every item and integer of
// the same number); its text is its name. Immutable and safe to share between threads as
// far as its two name values are.
#pragma once

#include "CKesmar.h"
#include "COtxInt.h"
#include "KesmarExport.h"

// A new enumeration item. Its object form reads back (the missing "displayRadix" reads as
// DEC) when both names are strings; writing it throws otherwise.
class KESMAR_API COtxEnumerationItem : public CKesmar {
 public:
  // The item numbered ToInteger() of value; the names are kept unexamined. Throws what
  // value's ToInteger() throws (TypeMismatchException for a string that is no number).
  COtxEnumerationItem(const CKesmar& enumerationName, const CKesmar& name, const CKesmar& value);
  // From the JSON object form: "displayRadix" (DEC when missing), "value" (an integer),
  // "enumerationName" and "name" (stored as they are). Throws std::out_of_range
  // "invalid map<K, T> key" for another missing member, TypeMismatchException when object is
  // not a map or "value" not an integer.
  explicit COtxEnumerationItem(const CKesmar& object);
  COtxEnumerationItem(const COtxEnumerationItem&) = default;
  COtxEnumerationItem& operator=(const COtxEnumerationItem&) = default;
  ~COtxEnumerationItem() override;
};

// The item's implementation: the integer behaviour plus the two name values.
class KESMAR_API COtxEnumerationItemBehaviour : public COtxIntBehaviour {
 public:
  // See COtxEnumerationItem.
  COtxEnumerationItemBehaviour(const CKesmar& enumerationName, const CKesmar& name,
                               const CKesmar& value);
  explicit COtxEnumerationItemBehaviour(const CKesmar& object);
  ~COtxEnumerationItemBehaviour() override;

  // The name value itself, shared, whatever its type.
  CKesmar ToString() const override;
  // {"type":"ENUMERATION_ITEM","enumerationName":"<text>","name":"<text>", "value":<number>}.
  // Throws TypeMismatchException when either name is not a string.
  CKesmar ToJSONObject() const override;

  const CKesmar& GetEnumerationName() const { return m_enumerationName; }
  const CKesmar& GetName() const { return m_name; }

 private:
  COtxEnumerationItemBehaviour(const CKesmar& object, COtxInt::Radix radix);

  CKesmar m_name;
  CKesmar m_enumerationName;
};
