// COtxEvent: the OTX Event, the record that something happened: an event type, a value and
// parameters (for a variable's change: the new value and the variable's name). Event sources
// create events; a waiting sequence receives them from Get. Immutable after construction, so
// an event may be shared between threads. OTX::IEvent, which CKesmar::Event() returns, reads
// the three fields.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "CKesmar.h"
#include "CKesmarBehaviour.h"
#include "KesmarExport.h"

namespace OTX {

// The three fields of an EVENT value; no member throws.
class KESMAR_API IEvent {
 public:
  // What the event carries.
  virtual const CKesmar& Value() const = 0;
  // The event type, a COtxEvent::EventType.
  virtual int Type() const = 0;
  // Additional data.
  virtual const CKesmar& Params() const = 0;

 protected:
  ~IEvent() = default;
};

}  // namespace OTX

// A new event; never throws. Events have no JSON form of their own: both forms say
// "not supported", and the object form does not read back.
class KESMAR_API COtxEvent : public CKesmar {
 public:
  // The kinds of event. The fixed underlying type makes every int a valid event type; only
  // 0 to 8 have names.
  enum EventType : int {
    UNDEFINED = 0,
    TIMER_EXPIRED = 1,
    MONITOR_CHANGE = 2,
    DIAG_SERVICE = 3,
    SCREEN_CLOSED = 4,
    SERVICE_PROVIDER = 5,
    SERVICE_EXECUTION_FINISHED = 6,
    THRESHOLD_EXCEEDED = 7,
    MULTI_EVENT = 8,
  };

  // An event with an empty value and empty params.
  explicit COtxEvent(EventType type);
  COtxEvent(EventType type, const CKesmar& value);
  COtxEvent(EventType type, const CKesmar& value, const CKesmar& params);
  COtxEvent(const COtxEvent&) = default;
  COtxEvent& operator=(const COtxEvent&) = default;
  ~COtxEvent() override;

  // "UNDEFINED" to "MULTI_EVENT"; "UNKNOWN" for a number outside 0 to 8.
  static const std::string& EventTypeName(int type);

 protected:
  // An empty value, for subclasses.
  COtxEvent();
};

// The event's implementation; the empty value and params are made on first use.
class KESMAR_API COtxEventBehaviour : public CKesmarBehaviour, public OTX::IEvent {
 public:
  // An event with an empty value and empty params.
  explicit COtxEventBehaviour(COtxEvent::EventType type);
  // An event with empty params.
  COtxEventBehaviour(COtxEvent::EventType type, const CKesmar& value);
  COtxEventBehaviour(COtxEvent::EventType type, const CKesmar& value, const CKesmar& params);
  COtxEventBehaviour(const COtxEventBehaviour& other);
  COtxEventBehaviour& operator=(const COtxEventBehaviour& other);

  // True iff other is an EVENT of the same event type; values and params are not compared.
  bool IsEqual(const CKesmar& other) const override;
  // "<event type name>:<value's stream form>", e.g. "TIMER_EXPIRED:EMPTY".
  CKesmar ToString() const override;
  const OTX::IEvent& IEvent() const override { return *this; }

  const CKesmar& Value() const override { return Field(m_value, m_valueMade); }
  // The event type (the value type is CKesmarBehaviour::Type()).
  int Type() const override { return m_eventType; }
  const CKesmar& Params() const override { return Field(m_params, m_paramsMade); }

 private:
  // The field, made an empty value on first use if the event was built without it. Most
  // events are never asked for what they lack, and making empty values up front would be a
  // large part of the cost of putting an event.
  static const CKesmar& Field(std::optional<CKesmar>& field, std::once_flag& made);

  mutable std::optional<CKesmar> m_value;
  mutable std::optional<CKesmar> m_params;
  int m_eventType;
  mutable std::once_flag m_valueMade;
  mutable std::once_flag m_paramsMade;
};
