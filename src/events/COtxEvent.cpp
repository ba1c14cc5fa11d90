#include "COtxEvent.h"

#include <array>
#include <sstream>

#include "COtxString.h"
#include "core/detail/Allocation.h"

namespace {

// Indexed by event type; the last entry names every number outside the table.
const std::array<std::string, 10>& EventTypeNames() {
  static const std::array<std::string, 10> names = {
      "UNDEFINED",
      "TIMER_EXPIRED",
      "MONITOR_CHANGE",
      "DIAG_SERVICE",
      "SCREEN_CLOSED",
      "SERVICE_PROVIDER",
      "SERVICE_EXECUTION_FINISHED",
      "THRESHOLD_EXCEEDED",
      "MULTI_EVENT",
      "UNKNOWN",
  };
  return names;
}

}  // namespace

COtxEvent::COtxEvent() = default;

COtxEvent::COtxEvent(EventType type)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxEventBehaviour>(type)) {}

COtxEvent::COtxEvent(EventType type, const CKesmar& value)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxEventBehaviour>(type, value)) {}

COtxEvent::COtxEvent(EventType type, const CKesmar& value, const CKesmar& params)
    : CKesmar(kesmar::detail::MakeBehaviour<COtxEventBehaviour>(type, value, params)) {}

COtxEvent::~COtxEvent() = default;

const std::string& COtxEvent::EventTypeName(int type) {
  const auto& names = EventTypeNames();
  const bool named = type >= UNDEFINED && type <= MULTI_EVENT;
  return names[named ? static_cast<std::size_t>(type) : names.size() - 1];
}

COtxEventBehaviour::COtxEventBehaviour(COtxEvent::EventType type)
    : CKesmarBehaviour(OTX::EVENT), m_eventType(type) {}

COtxEventBehaviour::COtxEventBehaviour(COtxEvent::EventType type, const CKesmar& value)
    : CKesmarBehaviour(OTX::EVENT), m_value(value), m_eventType(type) {}

COtxEventBehaviour::COtxEventBehaviour(COtxEvent::EventType type, const CKesmar& value,
                                       const CKesmar& params)
    : CKesmarBehaviour(OTX::EVENT), m_value(value), m_params(params), m_eventType(type) {}

// Copies share the other event's value and params, made first if they are still to be made.
COtxEventBehaviour::COtxEventBehaviour(const COtxEventBehaviour& other)
    : CKesmarBehaviour(other),
      OTX::IEvent(other),
      m_value(other.Value()),
      m_params(other.Params()),
      m_eventType(other.m_eventType) {}

COtxEventBehaviour& COtxEventBehaviour::operator=(const COtxEventBehaviour& other) {
  CKesmarBehaviour::operator=(other);
  // Made here on both sides, so that no later first use writes the fields again.
  Value();
  Params();
  *m_value = other.Value();
  *m_params = other.Params();
  m_eventType = other.m_eventType;
  return *this;
}

const CKesmar& COtxEventBehaviour::Field(std::optional<CKesmar>& field, std::once_flag& made) {
  std::call_once(made, [&field] {
    if (!field) field.emplace();
  });
  return *field;
}

bool COtxEventBehaviour::IsEqual(const CKesmar& other) const {
  return other.Type() == OTX::EVENT && other.Event().Type() == m_eventType;
}

CKesmar COtxEventBehaviour::ToString() const {
  std::ostringstream text;
  text << COtxEvent::EventTypeName(m_eventType) << ':' << Value();
  return COtxString(text.str());
}
