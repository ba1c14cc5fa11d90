// COtxResponseState: the OTX ResponseState of a diagnostic response. An integer of type
// RESPONSE_STATE whose text is "FAILED", "INVALID", "NEGATIVE" or "POSITIVE"; its object
// form is the integer's. Immutable and safe to share between threads.
#pragma once

#include "CKesmar.h"
#include "COtxEnumeratedBehaviour.h"
#include "KesmarExport.h"

// A new response state; never throws. Its object form does not read back: the value factory
// makes no RESPONSE_STATE, so OTX::OtxMapToKesmar reports "Class key not registered".
class KESMAR_API COtxResponseState : public CKesmar {
 public:
  enum ResponseState : int { FAILED = 0, INVALID = 1, NEGATIVE = 2, POSITIVE = 3 };

  // A number outside the enumeration is kept and renders as "".
  explicit COtxResponseState(ResponseState state);
  COtxResponseState(const COtxResponseState&) = default;
  COtxResponseState& operator=(const COtxResponseState&) = default;
  ~COtxResponseState() override;
};

// The response state's implementation: its name table over the integer behaviour.
class KESMAR_API COtxResponseStateBehaviour : public COtxEnumeratedBehaviour {
 public:
  explicit COtxResponseStateBehaviour(long long state);

 protected:
  std::span<const std::string_view> Names() const override;
};
