// Tests in which several threads meet: waiting, timers, CloseAll and releases of last handles,
// and a soak of the event machinery from many threads at once (thousands of timers made and
// dropped, CloseAll racing producers and consumers, variables assigned on many threads while
// threshold and monitor sources watch them), sized to take seconds in the optimised build and
// well under a minute under ThreadSanitizer. Every suite name starts with "Threads", so the
// ThreadSanitizer build runs them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "COtxEventSource.h"
#include "COtxInt.h"
#include "COtxMultiEventSource.h"
#include "COtxString.h"
#include "COtxThresholdExceededEventSource.h"
#include "COtxTimerExpiredEventSource.h"
#include "EventTestSupport.h"
#include "OtxVariable.h"

namespace {

using namespace std::chrono_literals;
using namespace kesmar::test;
using Clock = std::chrono::steady_clock;

// Waits until done() holds or the limit passes; true when it holds.
template <class Done>
bool WaitUntil(Done done, std::chrono::milliseconds limit = 10s) {
  const auto deadline = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

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
  EXPECT_TRUE(WaitUntil([&] { return holder.destroyed.load(); }, 5s));
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

// Every thread makes timers of every kind and drops them: the ones that fire at once deliver
// exactly one event, the long ones are cancelled by the release of their last handle.
TEST(ThreadsEventSoak, ThousandsOfTimersFireOnceOrCancel) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 200;  // five timers a round: 4,000 timers in all
  GroupScope scope;
  std::atomic<int> fired{0};
  std::atomic<int> failures{0};
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&] {
        GroupScope member(scope.group);
        for (int round = 0; round < kRounds; ++round) {
          const COtxTimerExpiredEventSource now{COtxInt(0)};
          const COtxTimerExpiredEventSource soon{COtxInt(1)};
          COtxTimerExpiredEventSource{COtxInt(3600000)};    // dropped before it fires
          COtxTimerExpiredEventSource{COtxInt(round % 2)};  // dropped while it may be firing
          const COtxTimerExpiredEventSource never{COtxInt(LLONG_MAX)};
          for (const CKesmar& timer : {CKesmar(now), CKesmar(soon)}) {
            CKesmar event;
            if (GetWithin(timer, event) && event.Event().Type() == COtxEvent::TIMER_EXPIRED) {
              ++fired;
            }
            if (Behaviour(timer).Pending() != 0) ++failures;  // a second event
          }
          if (Behaviour(never).Pending() != 0) ++failures;
        }
      });
    }
  }
  EXPECT_EQ(fired, kThreads * kRounds * 2);
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(COtxEventSourceBehaviour::Registered(scope.group), 0U);
}

// Producers put numbered values into plain sources and a multi-event source over two of
// them while consumers take them, and a timer of the group fires at about the same time; once
// everything put so far has arrived, CloseAll closes the group in the middle of further puts
// and gets. Every Get returns, nothing arrives twice, nothing arrives that was refused, and
// nothing put before the close is lost.
TEST(ThreadsEventSoak, CloseAllRacesPutAndGet) {
  constexpr int kRounds = 50;
  constexpr int kProducers = 3;
  constexpr int kConsumersPerSource = 2;
  constexpr int kBeforeClose = 200;  // values each producer puts before the close is allowed
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    GroupScope scope;
    const std::vector<CKesmar> plain = {COtxEventSource(), COtxEventSource(), COtxEventSource()};
    const COtxMultiEventSource multi;
    multi.EventSource().Add(plain[1]);
    multi.EventSource().Add(plain[2]);
    // plain[0] and the multi source have consumers; plain[1] and plain[2] feed the multi.
    const COtxTimerExpiredEventSource timer{COtxInt(round % 3)};
    const std::vector<CKesmar> consumed = {plain[0], multi, timer};

    std::mutex mutex;
    std::set<long long> accepted;  // values whose Put returned true
    std::set<long long> received;
    std::atomic<int> putBeforeClose{0};
    std::atomic<int> receivedEarly{0};  // of the values put before the close was allowed
    std::atomic<int> returned{0};
    std::atomic<bool> closing{false};
    std::atomic<int> timerEvents{0};
    {
      std::vector<std::jthread> threads;
      for (const CKesmar& source : consumed) {
        for (int c = 0; c < kConsumersPerSource; ++c) {
          threads.emplace_back([&, source] {
            CKesmar event;
            while (source.EventSource().Get(event)) {
              if (event.Event().Type() == COtxEvent::TIMER_EXPIRED) {
                ++timerEvents;
                continue;
              }
              const long long value = event.Event().Value().Int();
              std::lock_guard lock(mutex);
              if (!received.insert(value).second) ADD_FAILURE() << "arrived twice: " << value;
              if (value % 1000000 < kBeforeClose) ++receivedEarly;
            }
            ++returned;
          });
        }
      }
      for (int p = 0; p < kProducers; ++p) {
        threads.emplace_back([&, p] {
          for (long long i = 0;; ++i) {
            const long long value = p * 1000000LL + i;
            const CKesmar& target = plain[static_cast<std::size_t>(i % 3)];
            const bool beforeClose = !closing;
            if (target.EventSource().Put(COtxInt(value))) {
              std::lock_guard lock(mutex);
              accepted.insert(value);
            } else if (beforeClose && i < kBeforeClose) {
              ADD_FAILURE() << "refused before the close: " << value;
            }
            if (i == kBeforeClose - 1) ++putBeforeClose;
            if (i >= kBeforeClose && plain[0].EventSource().IsClosed() &&
                plain[1].EventSource().IsClosed() && plain[2].EventSource().IsClosed()) {
              return;
            }
          }
        });
      }
      // Closes even when the wait fails, so that the producers stop.
      EXPECT_TRUE(WaitUntil([&] {
        return putBeforeClose == kProducers && receivedEarly == kProducers * kBeforeClose;
      }));
      closing = true;
      COtxEventSource::CloseAll(scope.group);
      if (!WaitUntil([&] {
            return returned == static_cast<int>(consumed.size()) * kConsumersPerSource;
          })) {
        ADD_FAILURE() << "a Get was not released by CloseAll";
        for (const CKesmar& source : consumed) source.EventSource().Close();
      }
    }
    for (const CKesmar& source : plain) EXPECT_FALSE(source.EventSource().Put());
    EXPECT_TRUE(multi.EventSource().IsClosed());
    EXPECT_LE(timerEvents, 1);
    // Nothing that was refused arrived; every value put before the close arrived.
    EXPECT_TRUE(std::includes(accepted.begin(), accepted.end(), received.begin(), received.end()));
    for (int p = 0; p < kProducers; ++p) {
      for (long long i = 0; i < kBeforeClose; ++i) {
        EXPECT_EQ(received.count(p * 1000000LL + i), 1U) << p << ' ' << i;
      }
    }
  }
  EXPECT_EQ(COtxEventSourceBehaviour::Registered(std::this_thread::get_id()), 0U);
}

// Variables on many threads, each watched by one shared threshold source and one shared
// monitor source: every assignment reaches the monitor, every value outside the bounds the
// threshold source, exactly once and in each variable's order of assignment.
TEST(ThreadsEventSoak, VariablesAssignedOnManyThreadsFeedTheirWatchers) {
  constexpr int kThreads = 8;
  constexpr int kAssignments = 1000;  // half of them outside the bounds
  GroupScope scope;
  const COtxThresholdExceededEventSource threshold(COtxInt(0), COtxInt(100), COtxInt(50));
  const COtxMonitorChangeEventSource monitor;

  // The consumers: per variable name, the values in the order they arrived.
  std::map<std::string, std::vector<long long>> exceeded;
  std::map<std::string, int> changes;
  std::jthread thresholdConsumer([&] {
    CKesmar event;
    while (threshold.EventSource().Get(event)) {
      exceeded[event.Event().Params().String()].push_back(event.Event().Value().Int());
    }
  });
  std::jthread monitorConsumer([&] {
    CKesmar event;
    while (monitor.EventSource().Get(event)) ++changes[event.Event().Params().String()];
  });
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        OtxVariable variable{COtxInt(50)};
        variable.AddEventSource("v" + std::to_string(t), threshold);
        variable.AddEventSource("v" + std::to_string(t), monitor);
        for (long long i = 0; i < kAssignments; ++i) {
          variable = COtxInt(i % 2 == 0 ? i % 100 : 1000 + i);  // odd ones exceed
        }
      });
    }
  }
  ASSERT_TRUE(WaitUntil(
      [&] { return Behaviour(threshold).Pending() == 0 && Behaviour(monitor).Pending() == 0; }));
  std::this_thread::sleep_for(20ms);  // lets the consumers file the last events they took
  threshold.EventSource().Close();
  monitor.EventSource().Close();
  thresholdConsumer.join();
  monitorConsumer.join();

  ASSERT_EQ(exceeded.size(), static_cast<std::size_t>(kThreads));
  for (int t = 0; t < kThreads; ++t) {
    const std::string name = "v" + std::to_string(t);
    std::vector<long long> expected;
    for (long long i = 1; i < kAssignments; i += 2) expected.push_back(1000 + i);
    EXPECT_EQ(exceeded[name], expected) << name;
    EXPECT_EQ(changes[name], kAssignments) << name;
  }
}

}  // namespace
