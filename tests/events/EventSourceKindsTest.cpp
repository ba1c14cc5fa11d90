#include <gtest/gtest.h>

#include <optional>

#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxMultiEventSource.h"
#include "COtxString.h"
#include "COtxThresholdExceededEventSource.h"
#include "EventTestSupport.h"
#include "TestSupport.h"

namespace {

using namespace kesmar::test;

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

}  // namespace
