// Events and event sources on one thread: texts, equality, queues, notifiers, threshold and
// multi-event sources, and variables that post to their sources.
#include "COtxEventSource.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>
#include <vector>

#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMultiEventSource.h"
#include "COtxString.h"
#include "COtxThresholdExceededEventSource.h"
#include "COtxTimerExpiredEventSource.h"
#include "EventTestSupport.h"
#include "OtxVariable.h"
#include "TestSupport.h"

namespace {

using namespace kesmar::test;

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

// Events compare by their event type only; sources by their kind.
TEST(EventSource, TextsAndEqualityOfEventsAndSources) {
  GroupScope scope;
  EXPECT_EQ(COtxEvent(COtxEvent::TIMER_EXPIRED).ToString().String(), "TIMER_EXPIRED:EMPTY");
  EXPECT_EQ(COtxEvent(COtxEvent::MULTI_EVENT, COtxInt(3)).ToString().String(), "MULTI_EVENT:3");
  EXPECT_EQ(COtxEvent(COtxEvent::EventType{9}, COtxInt(3)).ToString().String(), "UNKNOWN:3");
  const COtxEvent expired(COtxEvent::TIMER_EXPIRED);
  EXPECT_TRUE(expired == COtxEvent(COtxEvent::TIMER_EXPIRED, COtxInt(1), COtxString("p")));
  EXPECT_FALSE(expired == COtxEvent(COtxEvent::MULTI_EVENT));
  EXPECT_FALSE(expired == COtxInt(1));
  EXPECT_OTX_THROW(COtxInt(3).Event(), OTX::TypeMismatchException, "INTEGER is not a EVENT");
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

TEST(ThresholdSource, PutsOnlyValuesOutsideTheInclusiveBounds) {
  GroupScope scope;
  const std::pair<CKesmar, bool> cases[] = {{COtxInt(9), true},       {COtxInt(10), false},
                                            {COtxInt(15), false},     {COtxInt(20), false},
                                            {COtxInt(21), true},      {COtxFloat(20.5), true},
                                            {COtxFloat(10.0), false}, {COtxString("99"), false}};
  for (const auto& [value, exceeds] : cases) {
    SCOPED_TRACE(value.ToString().String());
    const COtxThresholdExceededEventSource offered(COtxInt(10), COtxInt(20), value);
    EXPECT_EQ(Behaviour(offered).Pending(), exceeds ? 1u : 0u);
    EXPECT_EQ(offered.EventSource().Put(value, COtxString("p")), exceeds);
    EXPECT_TRUE(offered.EventSource().Put());  // no value: unconditional
    EXPECT_TRUE(Next(offered) == (exceeds ? value : CKesmar()));
  }
}

TEST(MultiEventSource, DeliversMembersEventsInOrderOfArrivalWithTheirTypes) {
  GroupScope scope;
  const COtxMonitorChangeEventSource first;
  const COtxHMIScreenClosedEventSource second;
  first.EventSource().Put(COtxInt(1));  // waiting before Add
  const COtxMultiEventSource multi;
  multi.EventSource().Add(first);
  multi.EventSource().Add(second);
  second.EventSource().Put(COtxInt(2));
  first.EventSource().Put(COtxInt(3));
  for (const auto& [type, value] :
       {std::pair(COtxEvent::MONITOR_CHANGE, 1), std::pair(COtxEvent::SCREEN_CLOSED, 2),
        std::pair(COtxEvent::MONITOR_CHANGE, 3)}) {
    CKesmar event;
    ASSERT_TRUE(GetWithin(multi, event));
    EXPECT_EQ(event.Event().Type(), type);
    EXPECT_EQ(event.Event().Value().Int(), value);
  }
  EXPECT_OTX_THROW(multi.EventSource().Add(COtxInt(1)), OTX::TypeMismatchException,
                   "INTEGER is not a EVENT_SOURCE");
}

TEST(MultiEventSource, StaleEntriesAndAnEarlierSharerHoldNothingBack) {
  GroupScope scope;
  const COtxEventSource taken, other;
  const COtxMultiEventSource multi;
  std::optional<COtxMultiEventSource> earlier(std::in_place);
  earlier->EventSource().Add(other);
  taken.EventSource().Put(COtxInt(1));
  multi.EventSource().Add(taken);
  multi.EventSource().Add(taken);  // twice: two entries stand for one event
  multi.EventSource().Add(other);  // takes other over from earlier
  earlier.reset();                 // must not unhook other from multi
  EXPECT_EQ(Next(multi).Int(), 1);
  taken.EventSource().Put(COtxInt(2));
  EXPECT_EQ(Next(taken).Int(), 2);  // taken from the member directly
  other.EventSource().Put(COtxInt(3));
  EXPECT_EQ(Next(multi).Int(), 3);
}

TEST(MultiEventSource, AClosedMemberOrOwnCloseEndsGet) {
  GroupScope scope;
  for (int closing : {0, 1, 2}) {  // member before Add, member after Add, the multi itself
    SCOPED_TRACE(closing);
    const COtxEventSource open, member;
    const COtxMultiEventSource multi;
    open.EventSource().Put(COtxInt(1));
    if (closing == 0) member.EventSource().Close();
    multi.EventSource().Add(open);
    multi.EventSource().Add(member);
    (closing == 2 ? multi : member).EventSource().Close();
    CKesmar event;
    EXPECT_FALSE(multi.EventSource().Get(event));  // although open holds an event
  }
}

TEST(Variable, PostsADeepCopyUnderItsNameToEverySourceInOrder) {
  GroupScope scope;
  const COtxMonitorChangeEventSource monitor;
  const COtxThresholdExceededEventSource threshold(COtxInt(0), COtxInt(5), COtxInt(0));
  const COtxMultiEventSource arrivals;
  arrivals.EventSource().Add(threshold);
  arrivals.EventSource().Add(monitor);
  struct Counting : OtxVariable {
    using OtxVariable::OtxVariable;
    using OtxVariable::operator=;
    void Set(const CKesmar& value) override {
      ++sets;
      OtxVariable::Set(value);
    }
    int sets = 0;
  } variable(COtxInt(0));
  variable.AddEventSource("speed", monitor);
  variable.AddEventSource("ignored", COtxInt(1));  // not a source
  variable.AddEventSource("limit", threshold);

  const CKesmar inner = COtxList(std::vector<CKesmar>{COtxInt(1)});
  const CKesmar list = COtxList(std::vector<CKesmar>{inner});
  variable = COtxInt(25);                // both sources, the monitor first
  EXPECT_EQ(&(variable = list), &list);  // only the monitor: no bound is exceeded
  EXPECT_EQ(variable.sets, 2);
  inner.List().push_back(COtxInt(2));
  EXPECT_EQ(variable.Get().List()[0].List().size(), 2u);  // the variable shares the value

  for (const auto& [type, name] : {std::pair(COtxEvent::MONITOR_CHANGE, "speed"),
                                   std::pair(COtxEvent::THRESHOLD_EXCEEDED, "limit"),
                                   std::pair(COtxEvent::MONITOR_CHANGE, "speed")}) {
    CKesmar event;
    ASSERT_TRUE(GetWithin(arrivals, event));
    EXPECT_EQ(event.Event().Type(), type);
    EXPECT_TRUE(event.Event().Params() == COtxString(name)) << name;
    if (event.Event().Value().Type() == OTX::LIST) {  // a copy the change did not reach
      EXPECT_EQ(event.Event().Value().List()[0].List().size(), 1u);
    } else {
      EXPECT_EQ(event.Event().Value().Int(), 25);
    }
  }
  variable.Close();
  variable.Close();
  EXPECT_TRUE(monitor.EventSource().IsClosed());
  EXPECT_TRUE(threshold.EventSource().IsClosed());
}

}  // namespace
