#include "CKesmar.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <type_traits>

#include "CKesmarBehaviour.h"
#include "COtxBool.h"
#include "COtxInt.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

using Call = void (*)(const CKesmar&, const CKesmar&);

// Calls a handle member on a, passing b when the member takes an argument.
template <auto Member>
void On(const CKesmar& a, const CKesmar& b) {
  if constexpr (std::is_invocable_v<decltype(Member), const CKesmar&, const CKesmar&>) {
    static_cast<void>((a.*Member)(b));
  } else {
    static_cast<void>((a.*Member)());
  }
}

void HexBinary(const CKesmar& value, const CKesmar&) {
  value.GetBehaviourReference()->ToHexBinaryString();
}

CKesmar OfType(int type) {
  return CKesmar(std::make_shared<CKesmarBehaviour>(static_cast<OTX::ValueType>(type)));
}

// Notes which comparison it was asked; arithmetic operators show theirs in the messages of the
// mismatch table below.
class Recorder : public CKesmarBehaviour {
 public:
  mutable std::string asked;
  bool IsEqual(const CKesmar&) const override { return Note("IsEqual"); }
  bool IsNotEqual(const CKesmar&) const override { return Note("IsNotEqual"); }
  bool IsLessThan(const CKesmar&) const override { return Note("IsLessThan"); }
  bool IsLessThanOrEqual(const CKesmar&) const override { return Note("IsLessThanOrEqual"); }
  bool IsGreaterThan(const CKesmar&) const override { return Note("IsGreaterThan"); }
  bool IsGreaterThanOrEqual(const CKesmar&) const override { return Note("IsGreaterThanOrEqual"); }

 private:
  bool Note(const char* name) const { return (asked = name, true); }
};

}  // namespace

TEST(Handle, EmptyValuesEqualEachOtherAndShareThroughCopies) {
  const CKesmar empty;
  const CKesmar copy = empty;
  std::ostringstream stream;
  stream << empty;
  EXPECT_EQ(stream.str(), "EMPTY");
  EXPECT_EQ(std::string(empty.ToJSON().String()), "\"not supported\"");
  EXPECT_TRUE(empty == CKesmar() && !(empty != CKesmar()) && empty != COtxInt(0));
  EXPECT_FALSE(empty < copy || empty <= copy || empty > copy || empty >= copy);
  EXPECT_EQ(copy.GetBehaviourReference(), empty.GetBehaviourReference());
  copy.SetOTXJSON(true);
  EXPECT_EQ(std::string(empty.ToJSON().String()), R"({"type":"EMPTY","value":"not supported"})");
}

TEST(Handle, TypeNamesAndOwnTypeConversions) {
  const std::pair<int, const char*> names[] = {
      {0, "EMPTY"}, {35, "COM_CHANNEL_STATE"}, {36, "UNKNOWN"}, {40, "UNKNOWN"}, {-1, "UNKNOWN"}};
  for (const auto& [type, name] : names) {
    SCOPED_TRACE(type);
    EXPECT_EQ(CKesmar::StringType(static_cast<OTX::ValueType>(type)), name);
    EXPECT_EQ(OfType(type).stringType(), name);
  }
  const COtxInt integer(5, COtxInt::HEX);
  EXPECT_EQ(integer.ToInteger().GetBehaviourReference(), integer.GetBehaviourReference());
  EXPECT_EQ(COtxBool(true).ToInteger().Type(), OTX::INTEGER);
}

TEST(Handle, EachComparisonAsksItsOwnOperationOfTheLeftOperand) {
  const struct {
    Call apply;
    const char* operation;
  } cases[] = {
      // clang-format off
      {On<(&CKesmar::operator==)>, "IsEqual"},       {On<(&CKesmar::operator!=)>, "IsNotEqual"},
      {On<(&CKesmar::operator<)>, "IsLessThan"},     {On<(&CKesmar::operator>)>, "IsGreaterThan"},
      {On<(&CKesmar::operator<=)>, "IsLessThanOrEqual"},
      {On<(&CKesmar::operator>=)>, "IsGreaterThanOrEqual"},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.operation);
    const auto left = std::make_shared<Recorder>();
    const auto right = std::make_shared<Recorder>();
    c.apply(CKesmar(left), CKesmar(right));
    EXPECT_EQ(left->asked, c.operation);
    EXPECT_EQ(right->asked, "");
  }
}

// Every operation the base behaviour lacks. '@' stands for the type name; a message without
// one names the type the accessor wanted ("@ is not a <it>").
TEST(TypeMismatch, BaseBehaviourNamesTheTypeInEveryFailure) {
  const struct {
    Call call;
    const char* message;
  } cases[] = {
      // clang-format off
      {On<(&CKesmar::operator*)>, "multiplying @"}, {On<(&CKesmar::operator/)>, "dividing @"},
      {On<(&CKesmar::operator+)>, "adding @"},      {On<(&CKesmar::operator-)>, "subtracting @"},
      {On<(&CKesmar::operator%)>, "modulo of @"},   {On<&CKesmar::Abs>, "abs of @"},
      {On<&CKesmar::ToBoolean>, "@ to BOOLEAN"},    {On<&CKesmar::ToInteger>, "@ to INTEGER"},
      {On<&CKesmar::ToFloat>, "@ to FLOAT"},        {On<&CKesmar::ToByteField>, "@ to BYTEFIELD"},
      {On<&CKesmar::ToQuantity>, "@ to QUANTITY"},  {HexBinary, "@ to HEXBIN"},
      {On<&CKesmar::Precision>, "@ does not have precision"},
      {On<&CKesmar::Bool>, "BOOLEAN"},              {On<&CKesmar::Int>, "INTEGER"},
      {On<&CKesmar::Float>, "FLOAT"},               {On<&CKesmar::String>, "STRING"},
      {On<&CKesmar::Message>, "MESSAGE_TYPE"},      {On<&CKesmar::Result>, "RESULT"},
      {On<&CKesmar::Response>, "RESPONSE"},         {On<&CKesmar::Parameter>, "PARAMETER"},
      {On<&CKesmar::Exception>, "EXCEPTION"},       {On<&CKesmar::EventSource>, "EVENT_SOURCE"},
      {On<&CKesmar::Event>, "EVENT"},               {On<&CKesmar::List>, "LIST"},
      {On<&CKesmar::Map>, "MAP"},                   {On<&CKesmar::ByteField>, "BYTEFIELD"},
      {On<&CKesmar::Quantity>, "QUANTITY"},         {On<&CKesmar::Unit>, "UNIT"},
      {On<&CKesmar::Request>, "REQUEST"},           {On<&CKesmar::Container>, "CONTAINER"},
      {On<&CKesmar::ComChannel>, "COM_CHANNEL"},    {On<&CKesmar::DiagService>, "DIAG_SERVICE"},
      {On<&CKesmar::ServiceProvider>, "SERVICE_PROVIDER"},
      {On<&CKesmar::ServiceProviderService>, "SERVICE_PROVIDER_SERVICE"},
      {On<&CKesmar::FlashSession>, "FLASH_SESSION"}, {On<&CKesmar::ComInterface>, "COM_INTERFACE"},
      {On<&CKesmar::FileHandle>, "FILE_HANDLE"},
      {On<&CKesmar::FileReadHandle>, "FILE_READ_HANDLE"},
      // clang-format on
  };
  for (const CKesmar& value : {CKesmar(), OfType(40)}) {
    for (const auto& c : cases) {
      std::string message = c.message;
      if (message.find('@') == std::string::npos) message = "@ is not a " + message;
      message.replace(message.find('@'), 1, value.stringType());
      SCOPED_TRACE(message);
      EXPECT_OTX_THROW(c.call(value, value), OTX::TypeMismatchException, message);
    }
  }
}
