#include "COtxEventSource.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "COtxInt.h"
#include "COtxMultiEventSource.h"
#include "COtxString.h"
#include "COtxThresholdExceededEventSource.h"
#include "COtxTimerExpiredEventSource.h"
#include "EventTestSupport.h"
#include "TestSupport.h"

namespace {

using namespace kesmar::test;

TEST(Event, TextAndEqualityByEventTypeOnly) {
  EXPECT_EQ(COtxEvent(COtxEvent::TIMER_EXPIRED).ToString().String(), "TIMER_EXPIRED:EMPTY");
  EXPECT_EQ(COtxEvent(COtxEvent::MULTI_EVENT, COtxInt(3)).ToString().String(), "MULTI_EVENT:3");
  EXPECT_EQ(COtxEvent(COtxEvent::EventType{9}, COtxInt(3)).ToString().String(), "UNKNOWN:3");
  const COtxEvent timer(COtxEvent::TIMER_EXPIRED);
  EXPECT_TRUE(timer == COtxEvent(COtxEvent::TIMER_EXPIRED, COtxInt(1), COtxString("p")));
  EXPECT_FALSE(timer == COtxEvent(COtxEvent::MULTI_EVENT));
  EXPECT_FALSE(timer == COtxInt(1));
  EXPECT_OTX_THROW(COtxInt(3).Event(), OTX::TypeMismatchException, "INTEGER is not a EVENT");
}

TEST(EventSource, DeliversInOrderWithItsTypeAndNothingOnceClosed) {
  GroupScope scope;
  const std::pair<std::function<CKesmar()>, int> kinds[] = {
      {[] { return COtxEventSource(); }, COtxEvent::UNDEFINED},
      {[] { return COtxMonitorChangeEventSource(); }, COtxEvent::MONITOR_CHANGE},
      {[] { return COtxHMIScreenClosedEventSource(); }, COtxEvent::SCREEN_CLOSED}};
  for (const auto& [make, type] : kinds) {
    SCOPED_TRACE(type);
    const CKesmar source = make();
    OTX::IEventSource& events = source.EventSource();
    EXPECT_EQ(events.Type(), type);
    EXPECT_TRUE(events.Put(COtxInt(1), COtxString("p")));
    EXPECT_TRUE(events.Put(COtxInt(2)));
    EXPECT_TRUE(events.Put());
    CKesmar event;
    ASSERT_TRUE(events.Get(event));
    EXPECT_EQ(event.Event().Type(), type);
    EXPECT_EQ(event.Event().Params().String(), "p");
    EXPECT_EQ(Next(source).Int(), 2);
    EXPECT_EQ(Next(source).Type(), OTX::EMPTY);
    events.Put(COtxInt(4));
    events.Close();
    EXPECT_FALSE(events.Put());
    EXPECT_FALSE(events.Get(event));        // the queued 4 is never delivered
    EXPECT_EQ(event.Event().Type(), type);  // left unchanged
  }
}

TEST(EventSource, SourcesMadeOutsideEveryGroupStartClosed) {
  for (const CKesmar& source :
       {CKesmar(COtxEventSource()), CKesmar(COtxMultiEventSource()),
        CKesmar(COtxThresholdExceededEventSource(COtxInt(1), COtxInt(2), COtxInt(3)))}) {
    CKesmar event;
    EXPECT_TRUE(source.EventSource().IsClosed());
    EXPECT_FALSE(source.EventSource().Put(COtxInt(5)));
    EXPECT_FALSE(source.EventSource().Get(event));  // at once
  }
}

TEST(EventSource, SetNotifierReplaysAndReplaces) {
  GroupScope scope;
  const COtxEventSource source;
  RecordingNotifier first, second, late;
  source.EventSource().Put();
  source.EventSource().Put();
  Behaviour(source).SetNotifier(first);
  Behaviour(source).SetNotifier(second);
  Behaviour(source).ReleaseNotifier(first);  // no longer the notifier: no effect
  source.EventSource().Put();
  source.EventSource().Close();
  Behaviour(source).SetNotifier(late);
  EXPECT_EQ(first.notified, 2);
  EXPECT_EQ(second.notified, 3);
  EXPECT_EQ(second.closed, 1);
  EXPECT_EQ(late.notified, 0);
  EXPECT_EQ(late.closed, 1);
}

TEST(EventSource, EqualityAndTextForms) {
  GroupScope scope;
  const COtxMonitorChangeEventSource monitor;
  const COtxTimerExpiredEventSource timer(COtxInt(3600000));
  EXPECT_TRUE(monitor == COtxMonitorChangeEventSource());
  EXPECT_FALSE(monitor == timer);
  EXPECT_FALSE(monitor == COtxEvent(COtxEvent::MONITOR_CHANGE));
  const COtxMultiEventSource multi;
  EXPECT_EQ(multi.ToString().String(), "MultiEventSource: ");
  multi.EventSource().Add(timer);
  multi.EventSource().Add(monitor);
  std::ostringstream text;
  text << multi << '|' << COtxThresholdExceededEventSource(COtxInt(0), COtxInt(1), COtxInt(0));
  EXPECT_EQ(text.str(),
            "MultiEventSource: TimerExpiredEventSourceEMPTY|ThresholdExceededEventSource");
  EXPECT_FALSE(monitor.EventSource().Add(timer));
  EXPECT_OTX_THROW(COtxTimerExpiredEventSource(COtxString("9")), OTX::TypeMismatchException,
                   "STRING is not a INTEGER");
}

}  // namespace
