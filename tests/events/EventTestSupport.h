// Helpers of the event tests: thread-group membership, a recording notifier, a bounded Get.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

#include "COtxEventSource.h"
#include "PelmUtils.h"

namespace kesmar::test {

// Puts the calling thread into group (its own by default) for the scope's lifetime.
struct GroupScope {
  explicit GroupScope(std::thread::id g = std::this_thread::get_id()) : group(g) {
    PelmUtil::ThreadGroup::Add(std::this_thread::get_id(), group);
  }
  ~GroupScope() { PelmUtil::ThreadGroup::Remove(std::this_thread::get_id()); }
  const std::thread::id group;
};

inline COtxEventSourceBehaviour& Behaviour(const CKesmar& source) {
  return dynamic_cast<COtxEventSourceBehaviour&>(source.EventSource());
}

struct RecordingNotifier : QNotify {
  void Notify(EventQueue<CKesmar>*) override { ++notified; }
  void NotifyClosed() override { ++closed; }
  int notified = 0;
  std::atomic<int> closed{0};
};

// Get that closes the source after limit, so that a missing event fails instead of hanging.
inline bool GetWithin(const CKesmar& source, CKesmar& event,
                      std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  std::jthread watchdog([&](std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any never;
    std::unique_lock lock(mutex);
    never.wait_for(lock, stop, limit, [] { return false; });
    if (!stop.stop_requested()) source.EventSource().Close();
  });
  return source.EventSource().Get(event);
}

// The value of the next event, which should be waiting (empty if none comes).
inline CKesmar Next(const CKesmar& source) {
  CKesmar event = COtxEvent(COtxEvent::UNDEFINED);
  GetWithin(source, event, std::chrono::seconds(2));
  return event.Event().Value();
}

}  // namespace kesmar::test
