#include "CKesmar.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>

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

// Notes which comparison it was asked.
class Recorder : public CKesmarBehaviour {
 public:
  mutable std::string asked;
  bool IsEqual(const CKesmar&) const override { return Note("=="); }
  bool IsNotEqual(const CKesmar&) const override { return Note("!="); }
  bool IsLessThan(const CKesmar&) const override { return Note("<"); }
  bool IsLessThanOrEqual(const CKesmar&) const override { return Note("<="); }
  bool IsGreaterThan(const CKesmar&) const override { return Note(">"); }
  bool IsGreaterThanOrEqual(const CKesmar&) const override { return Note(">="); }

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
  copy.SetOTXJSON(true);  // copies share one behaviour
  EXPECT_EQ(std::string(empty.ToJSON().String()), R"({"type":"EMPTY","value":"not supported"})");
}

// A moved-from handle holds no behaviour and acts as EMPTY until it is assigned again.
TEST(Handle, MovedFromHandleActsAsEmpty) {
  CKesmar source = COtxInt(5);
  const CKesmar target = std::move(source);
  EXPECT_EQ(target.Int(), 5);
  source.SetOTXJSON(true);  // changes nothing shared
  EXPECT_EQ(source.Type(), OTX::EMPTY);
  EXPECT_TRUE(source == CKesmar());
  EXPECT_EQ(static_cast<const std::string&>(source.ToJSON().String()),
            static_cast<const std::string&>(CKesmar().ToJSON().String()));
  EXPECT_OTX_THROW(source.Int(), OTX::TypeMismatchException, "EMPTY is not a INTEGER");
  EXPECT_EQ(source.GetBehaviourReference()->Type(), OTX::EMPTY);
  source = COtxString(std::string("x"));
  EXPECT_EQ(static_cast<const std::string&>(source.String()), "x");
}

TEST(Handle, TypeNamesAndOwnTypeConversions) {
  const std::pair<int, const char*> names[] = {
      {0, "EMPTY"}, {35, "COM_CHANNEL_STATE"}, {36, "UNKNOWN"}, {40, "UNKNOWN"}, {-1, "UNKNOWN"}};
  for (const auto& [type, name] : names) {
    EXPECT_EQ(CKesmar::StringType(static_cast<OTX::ValueType>(type)), name) << type;
    EXPECT_EQ(OfType(type).stringType(), name) << type;
  }
  const COtxInt integer(5, COtxInt::HEX);
  EXPECT_EQ(integer.ToInteger().GetBehaviourReference(), integer.GetBehaviourReference());
  EXPECT_EQ(COtxBool(true).ToInteger().Type(), OTX::INTEGER);
}

TEST(Handle, EachComparisonAsksItsOwnOperationOfTheLeftOperand) {
  const std::pair<Call, const char*> cases[] = {
      {On<(&CKesmar::operator==)>, "=="}, {On<(&CKesmar::operator!=)>, "!="},
      {On<(&CKesmar::operator<)>, "<"},   {On<(&CKesmar::operator>)>, ">"},
      {On<(&CKesmar::operator<=)>, "<="}, {On<(&CKesmar::operator>=)>, ">="}};
  for (const auto& [apply, operation] : cases) {
    const auto left = std::make_shared<Recorder>();
    const auto right = std::make_shared<Recorder>();
    apply(CKesmar(left), CKesmar(right));
    EXPECT_EQ(left->asked, operation);
    EXPECT_EQ(right->asked, "") << operation;
  }
}

// '@' stands for the type name; a message without one names the accessor's type ("@ is not a").
TEST(TypeMismatch, BaseBehaviourNamesTheTypeInEveryFailure) {
  using K = CKesmar;
  const std::pair<Call, const char*> cases[] = {
      // clang-format off
      {On<(&K::operator*)>, "multiplying @"}, {On<(&K::operator/)>, "dividing @"},
      {On<(&K::operator+)>, "adding @"}, {On<(&K::operator-)>, "subtracting @"},
      {On<(&K::operator%)>, "modulo of @"}, {On<&K::Abs>, "abs of @"}, {HexBinary, "@ to HEXBIN"},
      {On<&K::ToBoolean>, "@ to BOOLEAN"}, {On<&K::ToInteger>, "@ to INTEGER"},
      {On<&K::ToFloat>, "@ to FLOAT"}, {On<&K::ToByteField>, "@ to BYTEFIELD"},
      {On<&K::ToQuantity>, "@ to QUANTITY"}, {On<&K::Precision>, "@ does not have precision"},
      {On<&K::Bool>, "BOOLEAN"}, {On<&K::Int>, "INTEGER"}, {On<&K::Float>, "FLOAT"},
      {On<&K::String>, "STRING"}, {On<&K::Message>, "MESSAGE_TYPE"}, {On<&K::Result>, "RESULT"},
      {On<&K::Response>, "RESPONSE"}, {On<&K::Parameter>, "PARAMETER"}, {On<&K::Event>, "EVENT"},
      {On<&K::Exception>, "EXCEPTION"}, {On<&K::EventSource>, "EVENT_SOURCE"},
      {On<&K::List>, "LIST"}, {On<&K::Map>, "MAP"}, {On<&K::ByteField>, "BYTEFIELD"},
      {On<&K::Quantity>, "QUANTITY"}, {On<&K::Unit>, "UNIT"}, {On<&K::Request>, "REQUEST"},
      {On<&K::Container>, "CONTAINER"}, {On<&K::ComChannel>, "COM_CHANNEL"},
      {On<&K::DiagService>, "DIAG_SERVICE"}, {On<&K::ServiceProvider>, "SERVICE_PROVIDER"},
      {On<&K::ServiceProviderService>, "SERVICE_PROVIDER_SERVICE"},
      {On<&K::FlashSession>, "FLASH_SESSION"}, {On<&K::ComInterface>, "COM_INTERFACE"},
      {On<&K::FileHandle>, "FILE_HANDLE"}, {On<&K::FileReadHandle>, "FILE_READ_HANDLE"},
      // clang-format on
  };
  for (const CKesmar& value : {CKesmar(), OfType(40)}) {
    for (const auto& [call, text] : cases) {
      std::string message = text;
      if (message.find('@') == std::string::npos) message = "@ is not a " + message;
      message.replace(message.find('@'), 1, value.stringType());
      SCOPED_TRACE(message);
      EXPECT_OTX_THROW(call(value, value), OTX::TypeMismatchException, message);
    }
  }
}
