// COtxResultState: the OTX ResultState of a diagnostic result. An integer of type
// RESULT_STATE whose text is "ALL_FAILED", "ALL_INVALID", "ALL_NEGATIVE", "ALL_POSITIVE",
// "FAILED", "INVALID", "NEGATIVE" or "POSITIVE"; its object form is the integer's.
// Immutable and safe to share between threads.
#pragma once

#include "CKesmar.h"
#include "COtxEnumeratedBehaviour.h"
#include "KesmarExport.h"

// A new result state; never throws. Its object form does not read back: the value factory
// makes no RESULT_STATE, so OTX::OtxMapToKesmar reports "Class key not registered".
class KESMAR_API COtxResultState : public CKesmar {
 public:
  enum ResultState : int {
    ALL_FAILED = 0,
    ALL_INVALID = 1,
    ALL_NEGATIVE = 2,
    ALL_POSITIVE = 3,
    FAILED = 4,
    INVALID = 5,
    NEGATIVE = 6,
    POSITIVE = 7,
  };

  // A number outside the enumeration is kept and renders as "".
  explicit COtxResultState(ResultState state);
  COtxResultState(const COtxResultState&) = default;
  COtxResultState& operator=(const COtxResultState&) = default;
  ~COtxResultState() override;
};

// The result state's implementation: its name table over the integer behaviour.
class KESMAR_API COtxResultStateBehaviour : public COtxEnumeratedBehaviour {
 public:
  explicit COtxResultStateBehaviour(long long state);

 protected:
  std::span<const std::string_view> Names() const override;
};
