#include "CKesmar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "CKesmarBehaviour.h"
#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxQuantity.h"
#include "COtxString.h"
#include "COtxUnit.h"
#include "OtxGeneric.h"
#include "TestSupport.h"
#include "units/UnitTestSupport.h"

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

namespace {

CKesmar S(const char* text) { return COtxString(std::string(text)); }
CKesmar F(double value) { return COtxFloat(value, 16); }
CKesmar L(const std::vector<CKesmar>& elements) { return COtxList(elements); }

// Keys in ascending order; a key in braces with its predecessor is the same key.
TEST(KeyOrder, IsATotalOrderAcrossTypes) {
  constexpr long long kTwo53 = 1LL << 53;
  const std::vector<std::vector<CKesmar>> kAscending = {
      {COtxBool(false)}, {COtxBool(true)},
      {COtxInt(std::numeric_limits<long long>::min()), F(-9223372036854775808.0)},
      {F(-1.5)}, {COtxInt(-1)}, {F(-0.5)}, {COtxInt(0), F(-0.0), F(0.0)}, {F(0.5)},
      {COtxInt(kTwo53), F(9007199254740992.0)}, {COtxInt(kTwo53 + 1)}, {F(9007199254740994.0)},
      {COtxInt(std::numeric_limits<long long>::max())}, {F(9223372036854775808.0)},
      {F(INFINITY)}, {F(NAN), F(-NAN)},
      {S("")}, {S("B")}, {S("a")}, {S("\xC3\xA9")},
      {L({})}, {L({COtxInt(1)})}, {L({COtxInt(1), S("a")})}, {L({S("a")})},
      {COtxMap()}, {COtxMap(std::map<CKesmar, CKesmar>{{COtxInt(1), S("x")}})},
      {COtxByteField(std::vector<unsigned char>{0x00})},
      {COtxByteField(std::vector<unsigned char>{0x01})},
  };
  std::vector<std::pair<CKesmar, size_t>> keys;  // each key with the rank of its group
  for (size_t rank = 0; rank < kAscending.size(); ++rank) {
    for (const CKesmar& key : kAscending[rank]) keys.emplace_back(key, rank);
  }
  for (const auto& [a, rankA] : keys) {
    for (const auto& [b, rankB] : keys) {
      SCOPED_TRACE(a.ToString().String() + " vs " + b.ToString().String());
      EXPECT_EQ(OTX::KeyLess(a, b), rankA < rankB);
    }
  }
}

TEST(KeyOrder, MapsKeepKeysOfTypesThatDoNotCompare) {
  CKesmar map = COtxMap(std::map<CKesmar, CKesmar>{{S("a"), COtxInt(1)}, {S("b"), COtxInt(2)}});
  EXPECT_EQ(map.Map().find(COtxInt(42)), map.Map().end());
  EXPECT_TRUE(map.Map().emplace(COtxInt(42), COtxInt(3)).second);
  EXPECT_TRUE(map.Map().emplace(F(NAN), COtxInt(4)).second);
  EXPECT_FALSE(map.Map().emplace(F(42.0), COtxInt(5)).second);  // 42 and 42.0 are one key
  EXPECT_EQ(static_cast<const std::string&>(map.ToString().String()), "42:3, nan:4, a:1, b:2");
}

// Quantities of different dimensions do not compare with each other (they throw), yet as keys
// they order without throwing: by dimension, then by SI value.
TEST(KeyOrder, OrdersQuantitiesAcrossDimensionsWithoutThrowing) {
  using kesmar::test::UnitXml;
  kesmar::test::Load("<unitSpec>" + UnitXml("km", "1000", "length") + UnitXml("m", "1", "length") +
                     UnitXml("kg", "1", "mass") + "</unitSpec>");
  const auto q = [](double value, const char* unit) {
    return COtxQuantity(value, COtxUnit(unit), 2);
  };
  const std::vector<std::vector<CKesmar>> kAscending = {
      {q(1, "m")}, {q(1, "km"), q(1000, "m")}, {q(NAN, "m")},
      {q(-5, "kg")}, {q(2, "kg")}, {q(1, "scalar")}};
  for (size_t i = 0; i < kAscending.size(); ++i) {
    for (size_t j = 0; j < kAscending.size(); ++j) {
      for (const CKesmar& a : kAscending[i]) {
        for (const CKesmar& b : kAscending[j]) {
          SCOPED_TRACE(a.ToString().String() + " vs " + b.ToString().String());
          EXPECT_EQ(OTX::KeyLess(a, b), i < j);
        }
      }
    }
  }
}


TEST(DeepCopy, CopiesContainersAndSharesEverythingElse) {
  const CKesmar inner = COtxList(std::vector<CKesmar>{COtxInt(1)});
  const CKesmar source = COtxList(std::vector<CKesmar>{inner, COtxString("s")});
  CKesmar copy = OTX::DeepCopy(source);
  EXPECT_TRUE(copy == source);
  copy.List()[0].List().push_back(COtxInt(2));
  EXPECT_EQ(inner.List().size(), 1u);
  EXPECT_EQ(copy.List()[1].GetBehaviourReference(), source.List()[1].GetBehaviourReference());

  const CKesmar map = COtxMap(std::map<CKesmar, CKesmar>{{COtxString("k"), inner}});
  CKesmar mapCopy = OTX::DeepCopy(map);
  mapCopy.Map().begin()->second.List().clear();
  EXPECT_EQ(inner.List().size(), 1u);
  EXPECT_EQ(mapCopy.Map().begin()->first.GetBehaviourReference(),
            map.Map().begin()->first.GetBehaviourReference());
}

TEST(Parameters, LookupAndTypeCheckTexts) {
  const CKesmar params = COtxMap(std::map<CKesmar, CKesmar>{{COtxString("a"), COtxInt(1)}});
  EXPECT_EQ(OTX::GetParameter(params, "a", OTX::INTEGER).Int(), 1);
  EXPECT_EQ(OTX::GetParameter(params, "a", OTX::EMPTY).Int(), 1);  // EMPTY accepts any type
  EXPECT_STD_THROW(OTX::GetParameter(params, "a", OTX::STRING), std::runtime_error,
                   "Incorrect parameter type: INTEGER");
  EXPECT_STD_THROW(OTX::GetParameter(params, "b", OTX::INTEGER), std::runtime_error,
                   "Missing parameter: b");
  EXPECT_STD_THROW(OTX::GetParameter(COtxInt(3), "a", OTX::EMPTY), std::runtime_error,
                   "Missing parameter: a");
  EXPECT_EQ(OTX::GetOptionalParameter(params, "a", COtxInt(9), OTX::INTEGER).Int(), 1);
  EXPECT_EQ(OTX::GetOptionalParameter(params, "b", COtxInt(9), OTX::INTEGER).Int(), 9);
  EXPECT_STD_THROW(OTX::GetOptionalParameter(params, "b", CKesmar(), OTX::INTEGER),
                   std::runtime_error, "Incorrect parameter type: EMPTY");
}

TEST(NamedValues, MapRoundTripSharesValues) {
  const std::map<const std::string, CKesmar> named = {{"x", COtxInt(1)}, {"y", COtxString("v")}};
  const auto back = OTX::ValMap(OTX::OtxMap(named));
  ASSERT_EQ(back.size(), 2u);
  for (const auto& [name, value] : named) {
    EXPECT_EQ(back.at(name).GetBehaviourReference(), value.GetBehaviourReference());
  }
  EXPECT_THROW(OTX::ValMap(COtxMap(std::map<CKesmar, CKesmar>{{COtxInt(1), COtxInt(2)}})),
               COtxException);
  EXPECT_THROW(OTX::ValMap(COtxInt(1)), COtxException);
}

TEST(Component, IdentifiesTheLibrary) {
  EXPECT_EQ(Kesmar::GetComponentName(), "Kesmar");
  EXPECT_FALSE(Kesmar::GetComponentVersion().empty());
  EXPECT_EQ(Kesmar::GetComponentVersion().find_first_not_of("0123456789."), std::string::npos);
}

}  // namespace
