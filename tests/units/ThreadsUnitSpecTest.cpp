// A reload while other threads convert: every conversion sees one set of tables, and values
// made from the replaced tables keep working. Run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "OtxUnitSpec.h"
#include "UnitTestSupport.h"

namespace {

using kesmar::test::UnitXml;

// Both documents have the unit p and a group g of one member, a unit the other document
// lacks; a conversion that mixed the group of one with the units of the other would fail.
std::string Document(const char* member, const char* factor) {
  return "<unitSpec>" + UnitXml("p", "1", "d") + UnitXml(member, factor, "d") +
         "<unitGroups><id>g</id><category>COUNTRY</category><unitRef>" + member +
         "</unitRef></unitGroups>" +
         kesmar::test::DimensionXml("d", "<lengthExponent>1</lengthExponent>") + "</unitSpec>";
}

TEST(ThreadsUnitSpec, ConversionsDuringReloadsSeeOneDocument) {
  const std::string first = Document("ten", "10"), second = Document("hundred", "100");
  kesmar::test::Load(first);
  const CKesmar ten = COtxUnit("ten");  // outlives the document it comes from
  std::atomic<bool> done{false};
  std::atomic<int> failures{0};
  std::thread reloader([&] {
    for (int i = 0; i < 200; ++i) kesmar::test::Load(i % 2 == 0 ? second : first);
    done = true;
  });
  std::thread selector([&] {
    while (!done) {
      OTX::SetCountryGroup(COtxString(std::string("g")));
      if (std::string(OTX::GetCountryGroup().String()) != "g") ++failures;
    }
  });
  int conversions = 0;
  while (!done || conversions == 0) {
    const CKesmar shown = COtxQuantity(1000.0, COtxUnit("p"), 3).Quantity().ToGroup("g");
    const double number = shown.Quantity().Value().Float();
    const std::string unit = shown.Quantity().QuantityUnit().Unit().Id();
    if (!((unit == "ten" && number == 100) || (unit == "hundred" && number == 10))) ++failures;
    if ((COtxQuantity(2.0, ten, 0) + COtxQuantity(3.0, ten, 0)).ToFloat().Float() != 50) {
      ++failures;
    }
    ++conversions;
  }
  reloader.join();
  selector.join();
  EXPECT_EQ(failures, 0);
}

}  // namespace
