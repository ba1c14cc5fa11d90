// Event sources: Put and Get across two threads against a bare mutex and condition-variable
// queue of int, and the lateness of a 10 ms timer against a bare condition-variable wait of
// 10 ms on a thread of its own. Budgets: an event source passes at least 500,000 events per
// second and takes at most 3 times the bare queue's time; a timer is about as late as the
// bare wait.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "COtxEventSource.h"
#include "COtxInt.h"
#include "COtxTimerExpiredEventSource.h"
#include "PelmUtils.h"
#include "RatioReporter.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBatch = 20000;
constexpr int kTimerRuns = 50;
constexpr auto kPeriod = std::chrono::milliseconds(10);

// Sources are only open on a thread of a group.
void JoinOwnGroup() {
  PelmUtil::ThreadGroup::Add(std::this_thread::get_id(), std::this_thread::get_id());
}

class BareQueue {
 public:
  void Put(int value) {
    {
      std::lock_guard lock(m_mutex);
      m_items.push_back(value);
    }
    m_condition.notify_one();
  }
  int Get() {
    std::unique_lock lock(m_mutex);
    m_condition.wait(lock, [this] { return !m_items.empty(); });
    const int value = m_items.front();
    m_items.pop_front();
    return value;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_condition;
  std::deque<int> m_items;
};

void BareQueuePutGet(benchmark::State& state) {
  BareQueue queue;
  for (auto _ : state) {
    std::thread producer([&queue] {
      for (int i = 0; i < kBatch; ++i) queue.Put(i);
    });
    for (int i = 0; i < kBatch; ++i) benchmark::DoNotOptimize(queue.Get());
    producer.join();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}

// With a value (one value shared by all events, as a variable's deep copies of a scalar are)
// or without (as a timer puts).
void EventSourcePutGet(benchmark::State& state) {
  JoinOwnGroup();
  const COtxEventSource source;
  const COtxInt value(1);
  const bool withValue = state.range(0) != 0;
  for (auto _ : state) {
    std::thread producer([&] {
      for (int i = 0; i < kBatch; ++i) {
        withValue ? source.EventSource().Put(value) : source.EventSource().Put();
      }
    });
    CKesmar event;
    for (int i = 0; i < kBatch; ++i) benchmark::DoNotOptimize(source.EventSource().Get(event));
    producer.join();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}

// Runs wait kTimerRuns times; each returns when its 10 ms have passed. Reports the elapsed
// time as the iteration time and the lateness beyond 10 ms as median and worst counters.
template <class Wait>
void MeasureLateness(benchmark::State& state, Wait wait) {
  std::vector<double> late;
  for (auto _ : state) {
    const auto start = Clock::now();
    wait();
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    state.SetIterationTime(elapsed.count());
    late.push_back(std::chrono::duration<double, std::micro>(elapsed - kPeriod).count());
  }
  std::sort(late.begin(), late.end());
  state.counters["late_median_us"] = late[late.size() / 2];
  state.counters["late_worst_us"] = late.back();
}

void BareTimedWait(benchmark::State& state) {
  MeasureLateness(state, [] {
    std::mutex mutex;
    std::condition_variable condition;
    bool fired = false;
    std::thread timer([&] {
      std::unique_lock lock(mutex);
      condition.wait_until(lock, Clock::now() + kPeriod, [] { return false; });
      fired = true;
      condition.notify_all();
    });
    {
      std::unique_lock lock(mutex);
      condition.wait(lock, [&] { return fired; });
    }
    timer.join();
  });
}

void TimerSource(benchmark::State& state) {
  JoinOwnGroup();
  MeasureLateness(state, [] {
    const COtxTimerExpiredEventSource timer(COtxInt(kPeriod.count()));
    CKesmar event;
    timer.EventSource().Get(event);
  });
}

BENCHMARK(BareQueuePutGet)->Name("queue:baseline mutex+cv deque<int>, 2 threads")->UseRealTime();
BENCHMARK(EventSourcePutGet)
    ->Name("queue:event source Put(value)/Get, 2 threads")
    ->Arg(1)
    ->UseRealTime();
BENCHMARK(EventSourcePutGet)
    ->Name("queue:event source Put()/Get, 2 threads")
    ->Arg(0)
    ->UseRealTime();
BENCHMARK(BareTimedWait)
    ->Name("timer:baseline cv wait of 10 ms on a new thread")
    ->Iterations(kTimerRuns)
    ->UseManualTime();
const bool kBudget =
    kesmar::bench::AddBudget("event source Put(value)/Get <= 3.0x mutex+cv deque<int>",
                             "queue:event source Put(value)/Get, 2 threads/1",
                             "queue:baseline mutex+cv deque<int>, 2 threads", 3.0);

BENCHMARK(TimerSource)->Name("timer:10 ms timer source")->Iterations(kTimerRuns)->UseManualTime();

}  // namespace
