// COtxTimerExpiredEventSource: an event source that puts one TIMER_EXPIRED event (empty value
// and params) once its period in milliseconds has passed; a period of 0 or less fires at once.
// Each timer runs one thread of its own, started when its handle is made; releasing the last
// handle cancels a timer that has not fired and returns promptly. Close() only makes the
// expiry's event be refused. Safe from any thread, like every event source.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "CKesmar.h"
#include "COtxEventSource.h"
#include "KesmarExport.h"

// The timer's implementation: the period, the timer thread and the gate that cancels it.
class KESMAR_API COtxTimerExpiredEventSourceBehaviour : public COtxEventSourceBehaviour {
 public:
  // Reads the period, time.Int() milliseconds (throws TypeMismatchException when time is not
  // an integer); the thread starts when the source is registered.
  explicit COtxTimerExpiredEventSourceBehaviour(const CKesmar& time);
  // Cancels the timer and waits for its thread, or lets the thread go when the last handle
  // is released on the timer's own thread.
  ~COtxTimerExpiredEventSourceBehaviour() override;

  // "TimerExpiredEventSource".
  CKesmar ToString() const override;

 protected:
  // Starts the timer thread.
  void Start() override;

 private:
  // The timer thread: waits until the deadline or the gate's release; at the deadline puts
  // one event through a strong reference taken from self, so the source cannot be destroyed
  // under the call.
  void Run(const std::weak_ptr<CKesmarBehaviour>& self);
  // Waits until the gate is released (state 0) and takes it (state -1).
  void AcquireGate();
  // Releases the gate and wakes one waiter.
  void ReleaseGate();

  long long m_period;
  std::thread m_thread;
  std::mutex m_gateMutex;
  std::condition_variable m_gateCondition;
  // 0: released; -1: held. Held from construction until the destructor cancels the timer.
  int m_gateState = 0;
};

// A new timer source, started at once.
class KESMAR_API COtxTimerExpiredEventSource : public COtxEventSource {
 public:
  // A timer of time.Int() milliseconds; throws TypeMismatchException (and starts no thread)
  // when time is not an integer.
  explicit COtxTimerExpiredEventSource(const CKesmar& time);
  COtxTimerExpiredEventSource(const COtxTimerExpiredEventSource&) = default;
  COtxTimerExpiredEventSource(COtxTimerExpiredEventSource&&) = default;
  COtxTimerExpiredEventSource& operator=(const COtxTimerExpiredEventSource&) = default;
  COtxTimerExpiredEventSource& operator=(COtxTimerExpiredEventSource&&) = default;
  ~COtxTimerExpiredEventSource() override;
};
