#include "COtxTimerExpiredEventSource.h"

#include <chrono>

#include "COtxString.h"
#include "core/detail/Allocation.h"

COtxTimerExpiredEventSourceBehaviour::COtxTimerExpiredEventSourceBehaviour(const CKesmar& time)
    : COtxEventSourceBehaviour(COtxEvent::TIMER_EXPIRED), m_period(time.Int()) {
  AcquireGate();
}

COtxTimerExpiredEventSourceBehaviour::~COtxTimerExpiredEventSourceBehaviour() {
  ReleaseGate();
  if (!m_thread.joinable()) return;
  if (m_thread.get_id() == std::this_thread::get_id()) {
    // The timer thread held the last reference while it put its event; it touches nothing
    // of the source once this destructor returns, so it may end on its own.
    m_thread.detach();
  } else {
    m_thread.join();
  }
}

CKesmar COtxTimerExpiredEventSourceBehaviour::ToString() const {
  return COtxString(std::string("TimerExpiredEventSource"));
}

void COtxTimerExpiredEventSourceBehaviour::Start() {
  // Started only now that a shared pointer owns the source, so that the thread can take a
  // strong reference to it when the timer fires.
  m_thread = std::thread([this, self = weak_from_this()] { Run(self); });
}

void COtxTimerExpiredEventSourceBehaviour::Run(const std::weak_ptr<CKesmarBehaviour>& self) {
  using Clock = std::chrono::steady_clock;
  {
    std::unique_lock lock(m_gateMutex);
    const auto released = [this] { return m_gateState == 0; };
    const auto now = Clock::now();
    // A period too long for the clock never expires: only the gate ends the wait.
    const auto room =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::time_point::max() - now);
    bool cancelled;
    if (m_period <= 0) {
      cancelled = released();
    } else if (m_period >= room.count()) {
      m_gateCondition.wait(lock, released);
      cancelled = true;
    } else {
      cancelled =
          m_gateCondition.wait_until(lock, now + std::chrono::milliseconds(m_period), released);
    }
    if (cancelled) {
      m_gateState = -1;
      lock.unlock();
      ReleaseGate();
      return;
    }
  }
  // A failed lock means the destruction has begun: the timer is cancelled. Otherwise the
  // strong reference keeps the source alive under Put; if it is the last one, the source is
  // destroyed on this thread when it goes, and nothing of it is touched afterwards.
  if (const auto source = self.lock()) source->IEventSource().Put();
}

void COtxTimerExpiredEventSourceBehaviour::AcquireGate() {
  std::unique_lock lock(m_gateMutex);
  m_gateCondition.wait(lock, [this] { return m_gateState == 0; });
  m_gateState = -1;
}

void COtxTimerExpiredEventSourceBehaviour::ReleaseGate() {
  {
    std::lock_guard lock(m_gateMutex);
    m_gateState = 0;
  }
  m_gateCondition.notify_one();
}

COtxTimerExpiredEventSource::COtxTimerExpiredEventSource(const CKesmar& time)
    : COtxEventSource(kesmar::detail::MakeBehaviour<COtxTimerExpiredEventSourceBehaviour>(time)) {}

COtxTimerExpiredEventSource::~COtxTimerExpiredEventSource() = default;
