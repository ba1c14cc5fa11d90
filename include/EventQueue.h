// EventQueue: the blocking first-in, first-out queue that every event source owns, and QNotify,
// the notifier that learns of each element a queue stores and of its closing. Get blocks until
// an element arrives or the queue closes; once closed, a queue stores and delivers nothing
// more. Every member is safe to call from any thread; the notifier is called under the queue's
// mutex, so it must not call back into that queue nor take the event-source registry's lock.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <type_traits>
#include <utility>

#include "CKesmar.h"
#include "KesmarExport.h"

template <class T>
class EventQueue;

// Told of what happens in a queue of events. Both calls run under the notifying queue's mutex.
class KESMAR_API QNotify {
 public:
  // queue has just stored one element.
  virtual void Notify(EventQueue<CKesmar>* queue) = 0;
  // The queue has been closed.
  virtual void NotifyClosed() = 0;
  virtual ~QNotify() = default;
};

// The queue described above, of elements of type T.
template <class T>
class EventQueue {
 public:
  EventQueue() = default;
  EventQueue(const EventQueue&) = delete;
  EventQueue& operator=(const EventQueue&) = delete;
  ~EventQueue() = default;

  // Appends element, tells the notifier and wakes a waiter. Returns false and stores nothing
  // once the queue is closed: an element stored then could never be delivered. Taken by
  // value, so that a temporary is moved in rather than copied.
  bool Put(T element) {
    bool waiting;
    {
      std::lock_guard lock(m_mutex);
      waiting = m_waiters > 0;
      if (m_closed) return false;
      m_items.push_back(std::move(element));
      if constexpr (kNotifies) {
        if (m_notifier != nullptr) m_notifier->Notify(this);
      }
    }
    // Whoever calls Put keeps the queue alive until it returns, so waking after the unlock is
    // safe and spares the woken thread a wait for the mutex. One element needs one taker.
    if (waiting) m_condition.notify_one();
    return true;
  }

  // Takes the oldest element into element, waiting without time limit while the queue is
  // empty and open. Returns false, leaving element unchanged, when the queue is closed, even
  // if elements are still queued.
  bool Get(T& element) {
    std::unique_lock lock(m_mutex);
    ++m_waiters;
    m_condition.wait(lock, [this] { return m_closed || !m_items.empty(); });
    --m_waiters;
    return TakeFront(lock, element);
  }

  // Like Get, but returns false at once when the queue is empty.
  bool TryGet(T& element) {
    std::unique_lock lock(m_mutex);
    return TakeFront(lock, element);
  }

  // Closes the queue for good: tells the notifier and releases every waiter.
  void Close() {
    std::lock_guard lock(m_mutex);
    if (m_closed) return;
    m_closed = true;
    if (m_notifier != nullptr) m_notifier->NotifyClosed();
    m_condition.notify_all();
  }

  bool IsClosed() const {
    std::lock_guard lock(m_mutex);
    return m_closed;
  }

  // The number of elements waiting.
  std::size_t Size() const {
    std::lock_guard lock(m_mutex);
    return m_items.size();
  }

  // Makes notifier the notifier, replacing any earlier one, and tells it at once what it
  // missed: NotifyClosed() once if the queue is closed, else Notify() once per waiting element.
  void SetNotifier(QNotify& notifier) {
    static_assert(kNotifies, "only queues of values have notifiers");
    std::lock_guard lock(m_mutex);
    m_notifier = &notifier;
    if (m_closed) {
      notifier.NotifyClosed();
      return;
    }
    for (std::size_t i = 0; i < m_items.size(); ++i) notifier.Notify(this);
  }

  void ClearNotifier() {
    std::lock_guard lock(m_mutex);
    m_notifier = nullptr;
  }

  // Clears the notifier only if it is notifier, so that a notifier that was replaced cannot
  // unhook its successor.
  void ReleaseNotifier(const QNotify& notifier) {
    std::lock_guard lock(m_mutex);
    if (m_notifier == &notifier) m_notifier = nullptr;
  }

 private:
  // Only queues of values take a notifier, since QNotify names the queue that stored.
  static constexpr bool kNotifies = std::is_same_v<T, CKesmar>;

  // REQUIRES: lock holds m_mutex. Moves the front element into element outside the lock, so
  // that releasing element's old value (possibly the last handle of an event source, whose
  // destructor takes the registry's lock) never happens under this queue's mutex.
  bool TakeFront(std::unique_lock<std::mutex>& lock, T& element) {
    if (m_closed || m_items.empty()) return false;
    T taken = std::move(m_items.front());
    m_items.pop_front();
    lock.unlock();
    element = std::move(taken);
    return true;
  }

  std::deque<T> m_items;
  QNotify* m_notifier = nullptr;
  mutable std::mutex m_mutex;
  std::condition_variable m_condition;
  bool m_closed = false;
  // Threads waiting in Get; Put wakes one only when there is one.
  int m_waiters = 0;
};
