// COtxThresholdExceededEventSource: an event source that puts a THRESHOLD_EXCEEDED event for
// every offered value outside the inclusive range from its lower to its upper bound; a value
// equal to a bound puts nothing. The third constructor argument is the first value offered.
// Values compare with the handle's < and > (the offered value on the left), whose failures
// (quantities of other dimensions) pass to the caller; values of unrelated types put nothing.
// Put() without a value puts unconditionally. Safe from any thread, like every event source.
#pragma once

#include "CKesmar.h"
#include "COtxEventSource.h"
#include "KesmarExport.h"

// The threshold source's implementation: the two bounds, copied at construction.
class KESMAR_API COtxThresholdExceededEventSourceBehaviour : public COtxEventSourceBehaviour {
 public:
  // Copies the bounds and offers value.
  COtxThresholdExceededEventSourceBehaviour(const CKesmar& lower, const CKesmar& upper,
                                            const CKesmar& value);

  // Puts only when value lies outside the bounds; false when it does not or the source is
  // closed.
  bool Put(const CKesmar& value, const CKesmar& params) override;
  bool Put(const CKesmar& value) override;
  using COtxEventSourceBehaviour::Put;
  // "ThresholdExceededEventSource".
  CKesmar ToString() const override;

 private:
  // Whether value < lower or value > upper.
  bool Exceeds(const CKesmar& value) const;

  const CKesmar m_lower;
  const CKesmar m_upper;
};

// A new threshold source; throws what comparing value with the bounds throws.
class KESMAR_API COtxThresholdExceededEventSource : public COtxEventSource {
 public:
  COtxThresholdExceededEventSource(const CKesmar& lower, const CKesmar& upper,
                                   const CKesmar& value);
  COtxThresholdExceededEventSource(const COtxThresholdExceededEventSource&) = default;
  COtxThresholdExceededEventSource(COtxThresholdExceededEventSource&&) = default;
  COtxThresholdExceededEventSource& operator=(const COtxThresholdExceededEventSource&) = default;
  COtxThresholdExceededEventSource& operator=(COtxThresholdExceededEventSource&&) = default;
  ~COtxThresholdExceededEventSource() override;
};
