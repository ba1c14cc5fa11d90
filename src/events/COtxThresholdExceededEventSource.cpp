#include "COtxThresholdExceededEventSource.h"

#include "COtxString.h"
#include "core/detail/Allocation.h"

COtxThresholdExceededEventSourceBehaviour::COtxThresholdExceededEventSourceBehaviour(
    const CKesmar& lower, const CKesmar& upper, const CKesmar& value)
    : COtxEventSourceBehaviour(COtxEvent::THRESHOLD_EXCEEDED), m_lower(lower), m_upper(upper) {
  if (Exceeds(value)) COtxEventSourceBehaviour::Put(value);
}

bool COtxThresholdExceededEventSourceBehaviour::Exceeds(const CKesmar& value) const {
  return value < m_lower || value > m_upper;
}

bool COtxThresholdExceededEventSourceBehaviour::Put(const CKesmar& value, const CKesmar& params) {
  return Exceeds(value) && COtxEventSourceBehaviour::Put(value, params);
}

bool COtxThresholdExceededEventSourceBehaviour::Put(const CKesmar& value) {
  return Exceeds(value) && COtxEventSourceBehaviour::Put(value);
}

CKesmar COtxThresholdExceededEventSourceBehaviour::ToString() const {
  return COtxString(std::string("ThresholdExceededEventSource"));
}

COtxThresholdExceededEventSource::COtxThresholdExceededEventSource(const CKesmar& lower,
                                                                   const CKesmar& upper,
                                                                   const CKesmar& value)
    : COtxEventSource(kesmar::detail::MakeBehaviour<COtxThresholdExceededEventSourceBehaviour>(
          lower, upper, value)) {}

COtxThresholdExceededEventSource::~COtxThresholdExceededEventSource() = default;
