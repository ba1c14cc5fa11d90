#include "COtxMultiEventSource.h"

#include <sstream>

#include "COtxString.h"
#include "core/detail/Allocation.h"

COtxMultiEventSourceBehaviour::COtxMultiEventSourceBehaviour()
    : COtxEventSourceBehaviour(COtxEvent::MULTI_EVENT) {
  // A source made outside every group is closed from the start, and so is its Get.
  if (IsClosed()) m_ready.Close();
}

COtxMultiEventSourceBehaviour::~COtxMultiEventSourceBehaviour() {
  // Once a member's notifier is cleared under the member's lock, no notification is under
  // way or can follow; a member that has moved on to another multi-event source keeps it.
  for (const CKesmar& source : m_sources) {
    auto& member = dynamic_cast<COtxEventSourceBehaviour&>(source.EventSource());
    member.ReleaseNotifier(*this);
  }
  m_ready.Close();
}

bool COtxMultiEventSourceBehaviour::Add(const CKesmar& source) {
  auto* member = dynamic_cast<COtxEventSourceBehaviour*>(&source.EventSource());
  if (member == nullptr) return false;
  m_sources.push_back(source);
  member->SetNotifier(*this);
  return true;
}

bool COtxMultiEventSourceBehaviour::Get(CKesmar& event) {
  EventQueue<CKesmar>* member = nullptr;
  while (m_ready.Get(member)) {
    if (member->TryGet(event)) return true;
    // The event of this entry was taken from the member directly, or the member was added
    // twice: the entry is stale, and the next one may stand for an event of another member.
    if (member->IsClosed()) return false;
  }
  return false;
}

void COtxMultiEventSourceBehaviour::Close() {
  COtxEventSourceBehaviour::Close();
  m_ready.Close();
}

CKesmar COtxMultiEventSourceBehaviour::ToString() const {
  std::ostringstream text;
  text << "MultiEventSource: ";
  for (const CKesmar& source : m_sources) text << source;
  return COtxString(text.str());
}

void COtxMultiEventSourceBehaviour::Notify(EventQueue<CKesmar>* queue) { m_ready.Put(queue); }

void COtxMultiEventSourceBehaviour::NotifyClosed() { m_ready.Close(); }

COtxMultiEventSource::COtxMultiEventSource()
    : COtxEventSource(kesmar::detail::MakeBehaviour<COtxMultiEventSourceBehaviour>()) {}

COtxMultiEventSource::~COtxMultiEventSource() = default;
