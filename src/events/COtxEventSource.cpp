#include "COtxEventSource.h"

#include <vector>

#include "PelmUtils.h"
#include "core/detail/Allocation.h"

std::map<std::thread::id, std::list<COtxEventSourceBehaviour::Registration>>&
    COtxEventSourceBehaviour::m_eventSources =
        *new std::map<std::thread::id, std::list<COtxEventSourceBehaviour::Registration>>();
std::mutex& COtxEventSourceBehaviour::m_mutex = *new std::mutex();

COtxEventSourceBehaviour::COtxEventSourceBehaviour(COtxEvent::EventType type)
    : CKesmarBehaviour(OTX::EVENT_SOURCE),
      m_eventType(type),
      m_threadGroup(PelmUtil::ThreadGroup::GetThreadGroupId(std::this_thread::get_id())) {
  // A source outside every group could never be closed by CloseAll, so it starts closed.
  if (m_threadGroup == std::thread::id()) {
    m_closed = true;
    m_queue.Close();
  }
}

COtxEventSourceBehaviour::~COtxEventSourceBehaviour() {
  if (m_registered) {
    std::lock_guard lock(m_mutex);
    const auto group = m_eventSources.find(m_threadGroup);
    if (group != m_eventSources.end()) {
      auto& sources = group->second;
      for (auto entry = sources.begin(); entry != sources.end(); ++entry) {
        if (entry->address == this) {
          sources.erase(entry);
          break;
        }
      }
      if (sources.empty()) m_eventSources.erase(group);
    }
  }
  m_queue.Close();
}

bool COtxEventSourceBehaviour::IsEqual(const CKesmar& other) const {
  return other.Type() == OTX::EVENT_SOURCE && other.EventSource().Type() == m_eventType;
}

bool COtxEventSourceBehaviour::Get(CKesmar& event) { return m_queue.Get(event); }

bool COtxEventSourceBehaviour::Put(const CKesmar& value, const CKesmar& params) {
  if (m_closed) return false;
  return m_queue.Put(COtxEvent(static_cast<COtxEvent::EventType>(m_eventType), value, params));
}

bool COtxEventSourceBehaviour::Put(const CKesmar& value) {
  if (m_closed) return false;
  return m_queue.Put(COtxEvent(static_cast<COtxEvent::EventType>(m_eventType), value));
}

bool COtxEventSourceBehaviour::Put() {
  if (m_closed) return false;
  return m_queue.Put(COtxEvent(static_cast<COtxEvent::EventType>(m_eventType)));
}

bool COtxEventSourceBehaviour::Add(const CKesmar&) { return false; }

void COtxEventSourceBehaviour::Close() {
  m_closed = true;
  m_queue.Close();
  ClearNotifier();
}

void COtxEventSourceBehaviour::SetNotifier(QNotify& notifier) { m_queue.SetNotifier(notifier); }

void COtxEventSourceBehaviour::ClearNotifier() { m_queue.ClearNotifier(); }

void COtxEventSourceBehaviour::ReleaseNotifier(const QNotify& notifier) {
  m_queue.ReleaseNotifier(notifier);
}

void COtxEventSourceBehaviour::Start() {}

void COtxEventSourceBehaviour::Register(const std::shared_ptr<CKesmarBehaviour>& behaviour) {
  const auto source = std::dynamic_pointer_cast<COtxEventSourceBehaviour>(behaviour);
  if (source == nullptr || source->m_registered.exchange(true)) return;
  // A source of no group is closed already and has nothing for CloseAll to do.
  if (source->m_threadGroup != std::thread::id()) {
    std::lock_guard lock(m_mutex);
    m_eventSources[source->m_threadGroup].push_back({source.get(), behaviour});
  }
  source->Start();
}

void COtxEventSourceBehaviour::CloseAll(std::thread::id id) {
  const std::thread::id group = PelmUtil::ThreadGroup::GetThreadGroupId(id);
  // Strong references keep the sources alive while they are closed. They are closed after
  // the registry's lock is released, so that no code outside the library (an overriding
  // Close, a notifier) runs under it, and released after that, since the last of them may
  // destroy its source, whose destructor takes the lock.
  std::vector<std::shared_ptr<CKesmarBehaviour>> sources;
  {
    std::lock_guard lock(m_mutex);
    const auto found = m_eventSources.find(group);
    if (found == m_eventSources.end()) return;
    sources.reserve(found->second.size());
    for (const Registration& entry : found->second) {
      // A source whose last handle is gone is being destroyed and is skipped.
      if (auto source = entry.source.lock()) sources.push_back(std::move(source));
    }
  }
  for (const auto& source : sources) source->IEventSource().Close();
}

std::size_t COtxEventSourceBehaviour::Registered(std::thread::id id) {
  const std::thread::id group = PelmUtil::ThreadGroup::GetThreadGroupId(id);
  std::lock_guard lock(m_mutex);
  const auto found = m_eventSources.find(group);
  if (found == m_eventSources.end()) return 0;
  std::size_t live = 0;
  for (const Registration& entry : found->second) live += entry.source.expired() ? 0 : 1;
  return live;
}

COtxEventSource::COtxEventSource()
    : COtxEventSource(
          kesmar::detail::MakeBehaviour<COtxEventSourceBehaviour>(COtxEvent::UNDEFINED)) {}

COtxEventSource::COtxEventSource(const std::shared_ptr<CKesmarBehaviour>& behaviour)
    : CKesmar(behaviour) {
  COtxEventSourceBehaviour::Register(behaviour);
}

COtxEventSource::~COtxEventSource() = default;

void COtxEventSource::CloseAll(std::thread::id id) { COtxEventSourceBehaviour::CloseAll(id); }

COtxMonitorChangeEventSource::COtxMonitorChangeEventSource()
    : COtxEventSource(
          kesmar::detail::MakeBehaviour<COtxEventSourceBehaviour>(COtxEvent::MONITOR_CHANGE)) {}

COtxMonitorChangeEventSource::~COtxMonitorChangeEventSource() = default;

COtxHMIScreenClosedEventSource::COtxHMIScreenClosedEventSource()
    : COtxEventSource(
          kesmar::detail::MakeBehaviour<COtxEventSourceBehaviour>(COtxEvent::SCREEN_CLOSED)) {}

COtxHMIScreenClosedEventSource::~COtxHMIScreenClosedEventSource() = default;
