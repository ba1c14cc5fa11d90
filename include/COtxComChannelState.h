// COtxComChannelState: the OTX ComChannelState of a communication channel. An integer of type
// COM_CHANNEL_STATE whose text is "COMMUNICATION", "ONLINE", "OFFLINE" or "CREATED"; its
// object form is the integer's. Immutable and safe to share between threads.
#pragma once

#include "CKesmar.h"
#include "COtxEnumeratedBehaviour.h"
#include "KesmarExport.h"

// A new channel state; never throws. Its object form does not read back: the value factory
// makes no COM_CHANNEL_STATE, so OTX::OtxMapToKesmar reports "Class key not registered".
class KESMAR_API COtxComChannelState : public CKesmar {
 public:
  enum ComChannelState : int { COMMUNICATION = 0, ONLINE = 1, OFFLINE = 2, CREATED = 3 };

  // A number outside the enumeration is kept and renders as "".
  explicit COtxComChannelState(ComChannelState state);
  COtxComChannelState(const COtxComChannelState&) = default;
  COtxComChannelState& operator=(const COtxComChannelState&) = default;
  ~COtxComChannelState() override;
};

// The channel state's implementation: its name table over the integer behaviour.
class KESMAR_API COtxComChannelStateBehaviour : public COtxEnumeratedBehaviour {
 public:
  explicit COtxComChannelStateBehaviour(long long state);

 protected:
  std::span<const std::string_view> Names() const override;
};
