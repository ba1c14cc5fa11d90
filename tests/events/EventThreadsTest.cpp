// Tests in which several threads meet: waiting, timers, CloseAll and releases of last handles.
// Their names start with "Threads", so the ThreadSanitizer build runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "COtxEventSource.h"
#include "COtxInt.h"
#include "COtxMultiEventSource.h"
#include "COtxThresholdExceededEventSource.h"
#include "COtxTimerExpiredEventSource.h"
#include "EventTestSupport.h"

namespace {

using namespace std::chrono_literals;
using namespace kesmar::test;
using Clock = std::chrono::steady_clock;

TEST(ThreadsEventSource, CloseAllReleasesTheWaitersOfOneGroupOnly) {
  GroupScope scope;
  CKesmar foreign;
  std::thread([&] {
    GroupScope own;
    foreign = COtxEventSource();
  }).join();
  const COtxEventSource plain;
  const COtxMultiEventSource multi;  // no members: only its own closing releases it
  std::atomic<int> released{0};
  {
    std::vector<std::jthread> waiters;
    for (const CKesmar& source : {CKesmar(plain), CKesmar(multi)}) {
      waiters.emplace_back([source, &released] {
        CKesmar event;
        released += source.EventSource().Get(event) ? 0 : 1;
      });
    }
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(released, 0);
    std::thread([&] {  // any thread of the group will do
      GroupScope member(scope.group);
      COtxEventSource::CloseAll(std::this_thread::get_id());
    })
        .join();
  }
  EXPECT_EQ(released, 2);
  EXPECT_TRUE(foreign.EventSource().Put());
}

TEST(ThreadsTimer, FiresOnceAfterItsPeriodOrAtOnce) {
  GroupScope scope;
  for (const long long period : {100LL, 0LL, -5LL, LLONG_MIN}) {
    SCOPED_TRACE(period);
    const auto start = Clock::now();
    const COtxTimerExpiredEventSource timer{COtxInt(period)};
    CKesmar event;
    ASSERT_TRUE(GetWithin(timer, event));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(std::max(period, 0LL)));
    EXPECT_EQ(event.Event().Type(), COtxEvent::TIMER_EXPIRED);
    EXPECT_EQ(event.Event().Value().Type(), OTX::EMPTY);
    EXPECT_FALSE(GetWithin(timer, event, 100ms));  // never a second event
  }
}

TEST(ThreadsTimer, ReleasingATimerThatHasNotFiredReturnsPromptly) {
  GroupScope scope;
  const auto start = Clock::now();
  for (const long long period : {3600000LL, LLONG_MAX}) {
    COtxTimerExpiredEventSource{COtxInt(period)};  // released at once, before it fires
  }
  EXPECT_LT(Clock::now() - start, 1s);
}

// The notifier drops the only other handle while the timer thread puts its event, so the
// timer thread releases the last reference and destroys its own source.
TEST(ThreadsTimer, LastHandleReleasedOnTheTimerThread) {
  struct Holder : QNotify {
    void Notify(EventQueue<CKesmar>*) override { timer.reset(); }
    void NotifyClosed() override { destroyed = true; }  // the destructor's last call
    std::optional<CKesmar> timer;
    std::atomic<bool> destroyed{false};
  } holder;
  GroupScope scope;
  {
    const COtxTimerExpiredEventSource timer(COtxInt(20));
    holder.timer = timer;
    Behaviour(timer).SetNotifier(holder);  // orders the assignment before Notify
  }
  for (const auto end = Clock::now() + 5s; !holder.destroyed && Clock::now() < end;) {
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_TRUE(holder.destroyed);
}

// CloseAll on one thread while others release the last handles of timers, multi-event and
// threshold sources: the registry must never reach a source whose destruction has begun.
TEST(ThreadsEventSource, CloseAllRacesReleasesOfLastHandles) {
  GroupScope scope;
  std::atomic<bool> stop{false};
  std::jthread closer([&] {
    while (!stop) COtxEventSource::CloseAll(scope.group);
  });
  for (int round = 0; round < 300; ++round) {
    std::vector<CKesmar> sources = {
        COtxTimerExpiredEventSource(COtxInt(round % 3 == 0 ? 0 : 3600000)),
        COtxThresholdExceededEventSource(COtxInt(0), COtxInt(1), COtxInt(2)),
        COtxMultiEventSource(), COtxEventSource()};
    sources[2].EventSource().Add(sources[0]);
    sources[2].EventSource().Add(sources[3]);
    sources[3].EventSource().Put();
    if (round % 2 == 0) std::thread([gone = std::move(sources)]() mutable { gone.clear(); }).join();
  }
  stop = true;
  closer.join();
  EXPECT_EQ(COtxEventSourceBehaviour::Registered(scope.group), 0u);
}

// Producers and consumers over the sources of several groups, each group closed by CloseAll at
// a random moment; a multi-event source and a timer are released by their waiters. Every
// consumer must be released with a gapless prefix of what was stored, the rest still queued.
TEST(ThreadsEventSource, StressProducersConsumersAndCloseAll) {
  constexpr int kSources = 5;  // the last two are the members of a multi-event source
  std::atomic<int> failures{0};
  for (int round = 0; round < 20; ++round) {
    std::vector<std::jthread> groups;
    for (int g = 0; g < 3; ++g) {
      groups.emplace_back([&failures, seed = round * 3 + g] {
        GroupScope scope;
        std::atomic<int> stored[kSources] = {}, received[kSources] = {};
        std::vector<CKesmar> sources;
        for (int s = 0; s < kSources; ++s) sources.push_back(COtxMonitorChangeEventSource());
        CKesmar multi = COtxMultiEventSource();
        multi.EventSource().Add(sources[3]);
        multi.EventSource().Add(sources[4]);
        // Every value is its source's number * 10^6 plus its position in that source.
        const auto consume = [&](CKesmar source) {
          CKesmar event;
          while (source.EventSource().Get(event)) {
            const long long value = event.Event().Value().Int();
            if (value % 1000000 != received[value / 1000000]++) ++failures;
          }
        };
        std::vector<std::jthread> workers;
        for (int s = 0; s < kSources; ++s) {
          workers.emplace_back([&, s, source = sources[s]] {
            for (int i = 0; i < 3000 && source.EventSource().Put(COtxInt(s * 1000000LL + i)); ++i) {
              ++stored[s];
            }
          });
          if (s < 3) workers.emplace_back(consume, sources[s]);
        }
        workers.emplace_back(consume, multi);
        multi = CKesmar();
        workers.emplace_back([timer = CKesmar(COtxTimerExpiredEventSource(COtxInt(seed % 4)))] {
          CKesmar event;
          timer.EventSource().Get(event);
        });
        std::this_thread::sleep_for(std::chrono::microseconds(std::mt19937(seed)() % 20000));
        COtxEventSource::CloseAll(std::this_thread::get_id());
        workers.clear();  // joins; a consumer not released would hang here
        for (int s = 0; s < kSources; ++s) {
          if (received[s] + static_cast<int>(Behaviour(sources[s]).Pending()) != stored[s]) {
            ++failures;
          }
        }
      });
    }
  }
  EXPECT_EQ(failures.load(), 0);
}

}  // namespace
