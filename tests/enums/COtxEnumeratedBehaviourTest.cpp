#include "COtxEnumeratedBehaviour.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxComChannelState.h"
#include "COtxConfirmationType.h"
#include "COtxEnumerationItem.h"
#include "COtxFloat.h"
#include "COtxList.h"
#include "COtxLogLevel.h"
#include "COtxMap.h"
#include "COtxMessageType.h"
#include "COtxQuantity.h"
#include "COtxResponseState.h"
#include "COtxResultState.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "OtxJSON.h"
#include "OtxUnitSpec.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;
using Confirmation = COtxConfirmationType;
using Message = COtxMessageType;
using Response = COtxResponseState;
using Members = std::map<const std::string, CKesmar>;

TEST(EnumeratedTypes, NumbersRenderTheirNamesAndLookupsThatMissGiveZero) {
  struct Case {
    CKesmar value;
    long long number;
    const char* name;
    const char* form;
  };
  const Case cases[] = {
      // clang-format off
      {Confirmation(Confirmation::CANCEL), 2, "CANCEL",
       R"({"type":"CONFIRMATION_TYPE","value":"CANCEL"})"},
      {Confirmation("cancel"s), 0, "YES", R"({"type":"CONFIRMATION_TYPE","value":"YES"})"},
      {Message("YESNO_QUESTION"s), 3, "YESNO_QUESTION",
       R"({"type":"MESSAGE_TYPE","value":"YESNO_QUESTION"})"},
      {Message(static_cast<Message::MessageType>(5)), 5, "", R"({"type":"MESSAGE_TYPE","value":""})"},
      {COtxLogLevel("WARN"s), 4, "WARN", R"({"type":"LOG_LEVEL","value":4,"displayRadix":"DEC"})"},
      {COtxLogLevel("WARNING"s), 0, "ALL", R"({"type":"LOG_LEVEL","value":0,"displayRadix":"DEC"})"},
      {COtxResultState(COtxResultState::FAILED), 4, "FAILED",
       R"({"type":"RESULT_STATE","value":4,"displayRadix":"DEC"})"},
      {Response(Response::FAILED), 0, "FAILED",
       R"({"type":"RESPONSE_STATE","value":0,"displayRadix":"DEC"})"},
      {Response(static_cast<Response::ResponseState>(-1)), -1, "",
       R"({"type":"RESPONSE_STATE","value":-1,"displayRadix":"DEC"})"},
      {COtxComChannelState(COtxComChannelState::CREATED), 3, "CREATED",
       R"({"type":"COM_CHANNEL_STATE","value":3,"displayRadix":"DEC"})"},
      // clang-format on
  };
  for (const auto& [value, number, name, form] : cases) {
    SCOPED_TRACE(form);
    EXPECT_EQ(value.Int(), number);
    EXPECT_EQ(value.ToString().String(), name);
    // Otherwise an integer: equal to the integer of its number, and one map key with it.
    EXPECT_TRUE(value == COtxInt(number));
    EXPECT_EQ((std::map<CKesmar, int>{{value, 1}, {COtxInt(number), 2}}.size()), 1U);
    EXPECT_EQ(value.ToJSON().String(), std::to_string(number));
    value.SetOTXJSON(true);
    EXPECT_EQ(value.ToJSON().String(), form);
  }
  const auto levels = COtxLogLevel(COtxLogLevel::ALL).GetBehaviourReference();
  EXPECT_EQ(dynamic_cast<COtxEnumeratedBehaviour&>(*levels).EnumeratorFromName("OFF"), 7);
  EXPECT_STD_THROW(Confirmation(COtxMap(Members{{"name", COtxString("NO")}})), std::out_of_range,
                   "invalid map<K, T> key");
  EXPECT_OTX_THROW(Message(COtxMap(Members{{"value", COtxInt(1)}})), OTX::TypeMismatchException,
                   "INTEGER is not a STRING");
}

// Every type that the value factory creates reads back from the object form it writes, and
// the value read writes the same form again.
TEST(ObjectFormReadBack, EveryCreatableTypeReadsItsOwnForm) {
  std::istringstream units(
      "<unitSpec><physicalDimensions><id>length</id><lengthExponent>1</lengthExponent>"
      "</physicalDimensions><units><id>km</id><displayName>km</displayName>"
      "<siFactor>1000</siFactor><siOffset>0</siOffset>"
      "<physicalDimensionRef>length</physicalDimensionRef></units></unitSpec>");
  OTX::Initialise(units);
  const CKesmar values[] = {
      COtxBool(true),
      COtxInt(-3, COtxInt::BIN),
      COtxFloat(1.5, 2),
      COtxString("a\"b"),
      COtxByteField(std::vector<unsigned char>{0x0A, 0xFF}),
      COtxList(std::vector<CKesmar>{Message(Message::WARNING)}),
      COtxMap(Members{{"k", COtxString("v")}}),
      COtxException(OTX::UserException, "message"),
      Confirmation(Confirmation::CANCEL),
      COtxEnumerationItem(COtxString("Colour"), COtxString("RED"), COtxInt(1)),
      COtxUnit("km"),
      COtxQuantity(1.25, COtxUnit("km"), 3)};
  for (const CKesmar& value : values) {
    value.SetOTXJSON(true);
    const std::string form = value.ToJSON().String();
    SCOPED_TRACE(form);
    const CKesmar back = OTX::OtxMapToKesmar(OTX::FromJSON(form));
    back.SetOTXJSON(true);
    EXPECT_EQ(back.ToJSON().String(), form);
  }
}

}  // namespace
