#include "OtxVariable.h"

#include <gtest/gtest.h>

#include <vector>

#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMultiEventSource.h"
#include "COtxString.h"
#include "COtxThresholdExceededEventSource.h"
#include "EventTestSupport.h"

namespace {

using namespace kesmar::test;

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
