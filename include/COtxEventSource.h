// COtxEventSource: the OTX EventSource, a queue of events on which a sequence waits. Producers
// call Put, the consumer's Get blocks until an event arrives or the source is closed; closing
// is final and drops the events still queued. A source belongs to the thread group of the
// thread that created it (one created outside any group is closed from the start), and
// CloseAll closes every live source of a group at once. Every operation is safe from any
// thread. Lock order: the registry, a source's queue, its notifier's queue; the only calls
// out of the library under a lock are those of a queue to its notifier.
// The monitor-change and screen-closed sources differ only in the type of their events.
#pragma once

#include <atomic>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "CKesmar.h"
#include "CKesmarBehaviour.h"
#include "COtxEvent.h"
#include "EventQueue.h"
#include "KesmarExport.h"

namespace OTX {

// What an EVENT_SOURCE value does (CKesmar::EventSource()). A closed source refuses quietly:
// Get and Put return false; what else a member throws is stated at the source kind.
class KESMAR_API IEventSource {
 public:
  // The type of the events that Put creates (not the value type).
  virtual int Type() = 0;
  // Takes the oldest event into event, waiting while there is none. Returns false, leaving
  // event unchanged, once the source is closed.
  virtual bool Get(CKesmar& event) = 0;
  // Queues an event with this value and params; false (nothing stored) when closed.
  virtual bool Put(const CKesmar& value, const CKesmar& params) = 0;
  // Queues an event with this value and empty params; false when closed.
  virtual bool Put(const CKesmar& value) = 0;
  // Queues an event with empty value and params; false when closed.
  virtual bool Put() = 0;
  // Makes source a member; only the multi-event source accepts members, others return false.
  virtual bool Add(const CKesmar& source) = 0;
  // Closes the source for good and releases every waiter.
  virtual void Close() = 0;
  virtual bool IsClosed() const = 0;

 protected:
  ~IEventSource() = default;
};

}  // namespace OTX

// The base of every event source's implementation: the queue, the closed state and the
// registration in the source registry of its thread group.
class KESMAR_API COtxEventSourceBehaviour : public CKesmarBehaviour, public OTX::IEventSource {
 public:
  // An open source of the calling thread's group, stamping type on its events; closed at once
  // when the calling thread is in no group. It joins the registry when Register is called.
  explicit COtxEventSourceBehaviour(COtxEvent::EventType type);
  COtxEventSourceBehaviour(const COtxEventSourceBehaviour&) = delete;
  COtxEventSourceBehaviour& operator=(const COtxEventSourceBehaviour&) = delete;
  // Leaves the registry and closes the queue, which tells the notifier and wakes waiters.
  ~COtxEventSourceBehaviour() override;

  // True iff other is an EVENT_SOURCE of the same event type, whichever source it is.
  bool IsEqual(const CKesmar& other) const override;
  OTX::IEventSource& IEventSource() override { return *this; }

  int Type() override { return m_eventType; }
  bool Get(CKesmar& event) override;
  bool Put(const CKesmar& value, const CKesmar& params) override;
  bool Put(const CKesmar& value) override;
  bool Put() override;
  // Returns false: a plain source takes no members.
  bool Add(const CKesmar& source) override;
  using CKesmarBehaviour::Add;
  // Sets the closed flag, closes the queue and clears the notifier.
  void Close() override;
  bool IsClosed() const override { return m_closed.load(); }

  // Makes notifier the queue's notifier and replays to it what is waiting (see EventQueue).
  virtual void SetNotifier(QNotify& notifier);
  virtual void ClearNotifier();
  // Clears the notifier only if it still is notifier.
  void ReleaseNotifier(const QNotify& notifier);

  // The number of events waiting.
  std::size_t Pending() const { return m_queue.Size(); }
  // The type stamped on events, readable through a const source.
  int EventType() const { return m_eventType; }
  // The thread group the source belongs to; the empty id for a source of no group.
  std::thread::id ThreadGroup() const { return m_threadGroup; }

  // Enters a source, now owned by its shared pointer, in the registry of its thread group,
  // then starts what it runs by itself (a timer's thread). Does nothing for a behaviour that
  // is not an event source or was registered before. The registry keeps a weak reference, so
  // it never keeps a source alive and never reaches one whose destruction has begun.
  static void Register(const std::shared_ptr<CKesmarBehaviour>& behaviour);
  // Closes every live source of the thread group of id (any thread of the group will do);
  // sources of other groups stay open.
  static void CloseAll(std::thread::id id);
  // The number of live registered sources of the thread group of id.
  static std::size_t Registered(std::thread::id id);

 protected:
  // Called once by Register, after the source is entered in the registry.
  virtual void Start();

 private:
  // A registry entry: the address identifies the source for its removal and is never
  // dereferenced; the weak reference reaches the source only while it is alive.
  struct Registration {
    const COtxEventSourceBehaviour* address;
    std::weak_ptr<CKesmarBehaviour> source;
  };

  EventQueue<CKesmar> m_queue;
  std::atomic<bool> m_closed{false};
  const int m_eventType;
  const std::thread::id m_threadGroup;
  std::atomic<bool> m_registered{false};

  // The registry, by thread group, in order of registration. Both objects are created once
  // and never destroyed, so that sources released while the process exits still find them.
  static std::map<std::thread::id, std::list<Registration>>& m_eventSources;
  static std::mutex& m_mutex;
};

// A new, registered event source. Event sources of every kind have no JSON form of their
// own ("not supported"), and the object form does not read back.
class KESMAR_API COtxEventSource : public CKesmar {
 public:
  // A plain source with event type UNDEFINED.
  COtxEventSource();
  COtxEventSource(const COtxEventSource&) = default;
  COtxEventSource& operator=(const COtxEventSource&) = default;
  ~COtxEventSource() override;

  // See COtxEventSourceBehaviour::CloseAll.
  static void CloseAll(std::thread::id id);

 protected:
  // Wraps a source behaviour made by a subclass and registers it (see
  // COtxEventSourceBehaviour::Register).
  explicit COtxEventSource(const std::shared_ptr<CKesmarBehaviour>& behaviour);
};

// A source of MONITOR_CHANGE events, fed by the variables it watches (OtxVariable).
class KESMAR_API COtxMonitorChangeEventSource : public COtxEventSource {
 public:
  COtxMonitorChangeEventSource();
  COtxMonitorChangeEventSource(const COtxMonitorChangeEventSource&) = default;
  COtxMonitorChangeEventSource(COtxMonitorChangeEventSource&&) = default;
  COtxMonitorChangeEventSource& operator=(const COtxMonitorChangeEventSource&) = default;
  COtxMonitorChangeEventSource& operator=(COtxMonitorChangeEventSource&&) = default;
  ~COtxMonitorChangeEventSource() override;
};

// A source of SCREEN_CLOSED events, fed by the runtime.
class KESMAR_API COtxHMIScreenClosedEventSource : public COtxEventSource {
 public:
  COtxHMIScreenClosedEventSource();
  COtxHMIScreenClosedEventSource(const COtxHMIScreenClosedEventSource&) = default;
  COtxHMIScreenClosedEventSource(COtxHMIScreenClosedEventSource&&) = default;
  COtxHMIScreenClosedEventSource& operator=(const COtxHMIScreenClosedEventSource&) = default;
  COtxHMIScreenClosedEventSource& operator=(COtxHMIScreenClosedEventSource&&) = default;
  ~COtxHMIScreenClosedEventSource() override;
};
