// COtxMultiEventSource: an event source that delivers the events of its member sources, in
// the order in which they arrived in the members, each with its member's event type; a
// sequence waits on it for the first of several events. Get returns false once any member or
// the source itself is closed. Members are to be added before other threads use the source;
// Get, Close and the members' notifications are then safe from any thread.
#pragma once

#include <string>
#include <vector>

#include "CKesmar.h"
#include "COtxEventSource.h"
#include "EventQueue.h"
#include "KesmarExport.h"

// The multi-event source's implementation: the members and one ready entry per event
// waiting in them.
class KESMAR_API COtxMultiEventSourceBehaviour : public COtxEventSourceBehaviour, public QNotify {
 public:
  COtxMultiEventSourceBehaviour();
  // Unhooks itself from the members that it still notifies, then releases them.
  ~COtxMultiEventSourceBehaviour() override;

  // Appends source to the members and becomes its notifier, which replaces the member's
  // earlier notifier and at once accounts for the events already waiting in it. Throws
  // TypeMismatchException when source is not an event source; returns false (adding nothing)
  // for an event source of the surrounding runtime that takes no notifier.
  bool Add(const CKesmar& source) override;
  using COtxEventSourceBehaviour::Add;
  // The next event of any member, waiting while there is none. Returns false once a member
  // or this source is closed.
  bool Get(CKesmar& event) override;
  // Closes this source and releases every waiter of Get.
  void Close() override;
  // "MultiEventSource: " followed by the members' stream forms.
  CKesmar ToString() const override;

  // A member's queue has stored an event.
  void Notify(EventQueue<CKesmar>* queue) override;
  // A member's queue has closed.
  void NotifyClosed() override;

 private:
  std::vector<CKesmar> m_sources;
  // One entry per event stored in a member and not yet taken through this source.
  EventQueue<EventQueue<CKesmar>*> m_ready;
};

// A new multi-event source without members; never throws.
class KESMAR_API COtxMultiEventSource : public COtxEventSource {
 public:
  COtxMultiEventSource();
  COtxMultiEventSource(const COtxMultiEventSource&) = default;
  COtxMultiEventSource(COtxMultiEventSource&&) = default;
  COtxMultiEventSource& operator=(const COtxMultiEventSource&) = default;
  COtxMultiEventSource& operator=(COtxMultiEventSource&&) = default;
  ~COtxMultiEventSource() override;
};
