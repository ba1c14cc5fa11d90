#include "COtxEnumeratedBehaviour.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "COtxComChannelState.h"
#include "COtxConfirmationType.h"
#include "COtxEnumerationItem.h"
#include "COtxLogLevel.h"
#include "COtxMap.h"
#include "COtxMessageType.h"
#include "COtxResponseState.h"
#include "COtxResultState.h"
#include "COtxString.h"
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

CKesmar S(const char* text) { return COtxString(std::string(text)); }

const COtxEnumerationItemBehaviour& Item(const CKesmar& value) {
  return dynamic_cast<const COtxEnumerationItemBehaviour&>(*value.GetBehaviourReference());
}

TEST(EnumerationItem, ActsAsItsNumberAndShowsItsName) {
  const CKesmar red = COtxEnumerationItem(S("Colour"), S("RED"), COtxInt(2));
  EXPECT_EQ(red.ToString().String(), "RED");
  // Equal by number, whatever the names, so one map key with another item of number 2.
  const CKesmar two = COtxEnumerationItem(S("Size"), S("TWO"), S("2"));
  EXPECT_TRUE(red == two);
  EXPECT_EQ((std::map<CKesmar, int>{{red, 1}, {two, 2}}.size()), 1U);
  EXPECT_EQ((red + COtxInt(3)).Int(), 5);
  EXPECT_OTX_THROW(COtxEnumerationItem(S("E"), S("N"), S("seven")), OTX::TypeMismatchException, "");
  // A name that is no string is its own text, shared; the object form needs strings.
  const CKesmar four = COtxInt(4);
  const CKesmar numbered = COtxEnumerationItem(S("E"), four, COtxInt(1));
  EXPECT_EQ(numbered.ToString().GetBehaviourReference(), four.GetBehaviourReference());
  numbered.SetOTXJSON(true);
  EXPECT_OTX_THROW(numbered.ToJSON(), OTX::TypeMismatchException, "INTEGER is not a STRING");
}

// Reading back the form is part of the JSON round trip.
TEST(EnumerationItem, ObjectForm) {
  const CKesmar item = COtxEnumerationItem(S("Col\"our"), S("RED"), COtxInt(-1));
  item.SetOTXJSON(true);
  EXPECT_EQ(item.ToJSON().String(),
            R"({"type":"ENUMERATION_ITEM","enumerationName":"Col\"our","name":"RED", "value":-1})");
  // A radix, when there is one, reads as an integer's; every other member is required.
  Members members = {{"displayRadix", S("HEX")},
                     {"value", COtxInt(3)},
                     {"enumerationName", S("E")},
                     {"name", S("N")}};
  EXPECT_EQ(Item(COtxEnumerationItem(COtxMap(members))).GetRadix(), COtxInt::HEX);
  members.erase("enumerationName");
  EXPECT_STD_THROW(COtxEnumerationItem(COtxMap(members)), std::out_of_range,
                   "invalid map<K, T> key");
}

}  // namespace
