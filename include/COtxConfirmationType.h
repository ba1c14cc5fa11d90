// COtxConfirmationType: the OTX ConfirmationType, the answer to a confirmation dialog. An
// integer of type CONFIRMATION_TYPE whose text is "YES", "NO" or "CANCEL"; its object form
// carries the name. Immutable and safe to share between threads.
#pragma once

#include <string>

#include "CKesmar.h"
#include "COtxEnumeratedBehaviour.h"
#include "KesmarExport.h"

// A new confirmation type. Its object form reads back through the name.
class KESMAR_API COtxConfirmationType : public CKesmar {
 public:
  enum ConfirmationType : int { YES = 0, NO = 1, CANCEL = 2 };

  // A number outside the enumeration is kept and renders as "".
  explicit COtxConfirmationType(ConfirmationType type);
  // The answer named name exactly (case-sensitive); YES for any other text.
  explicit COtxConfirmationType(const std::string& name);
  // From the JSON object form: the name in "value". Throws std::out_of_range
  // "invalid map<K, T> key" when it is missing, TypeMismatchException when object is not a
  // map or the name not a string.
  explicit COtxConfirmationType(const CKesmar& object);
  COtxConfirmationType(const COtxConfirmationType&) = default;
  COtxConfirmationType(COtxConfirmationType&&) = default;
  COtxConfirmationType& operator=(const COtxConfirmationType&) = default;
  COtxConfirmationType& operator=(COtxConfirmationType&&) = default;
  ~COtxConfirmationType() override;
};

// The confirmation type's implementation: its name table over the integer behaviour.
class KESMAR_API COtxConfirmationTypeBehaviour : public COtxNamedEnumeratedBehaviour {
 public:
  explicit COtxConfirmationTypeBehaviour(long long type);

 protected:
  std::span<const std::string_view> Names() const override;
};
