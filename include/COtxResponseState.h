// COtxResponseState: the OTX ResponseState of a diagnostic response. An integer of type
// RESPONSE_STATE whose text is "FAILED", "INVALID", "NEGATIVE" or "POSITIVE"; its object
// form is the integer's. Immutable and safe to share between threads.
#pragma once

#include "CKesmar.h"
#include "COtxEnumeratedBehaviour.h"
#include "KesmarExport.h"

class KESMAR_API COtxResponseState : public CKesmar {
 public:
  enum ResponseState : int { FAILED = 0, INVALID = 1, NEGATIVE = 2, POSITIVE = 3 };

  // A number outside the enumeration is kept and renders as "".
  explicit COtxResponseState(ResponseState state);
  COtxResponseState(const COtxResponseState&) = default;
  COtxResponseState& operator=(const COtxResponseState&) = default;
  ~COtxResponseState() override;
};

class KESMAR_API COtxResponseStateBehaviour : public COtxEnumeratedBehaviour {
 public:
  explicit COtxResponseStateBehaviour(long long state);

 protected:
  std::span<const std::string_view> Names() const override;
};
