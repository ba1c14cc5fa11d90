#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "COtxBool.h"
#include "COtxByteField.h"
#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "OtxJSON.h"

namespace {

bool IsJson(const std::string& text) {
  rapidjson::Document document;
  document.Parse(text.c_str(), text.size());
  return !document.HasParseError();
}

// The object form written, parsed and made into a value again.
CKesmar RoundTrip(const CKesmar& value) {
  value.SetOTXJSON(true);
  const std::string text = value.ToJSON().String();
  EXPECT_TRUE(IsJson(text)) << text;
  CKesmar parsed;
  EXPECT_TRUE(OTX::FromJSON(text.c_str(), parsed)) << text << " -> " << parsed.ToString().String();
  return OTX::OtxMapToKesmar(parsed);
}

COtxInt::Radix RadixOf(const CKesmar& value) {
  return std::dynamic_pointer_cast<COtxIntBehaviour>(value.GetBehaviourReference())->GetRadix();
}

// What the object form must carry, read through the value's own accessors: type, radix,
// precision, the exact double at full precision, exception texts, nested elements.
std::string Signature(const CKesmar& value) {
  std::ostringstream out;
  out << value.Type() << ':';
  if (value.Type() == OTX::INTEGER) {
    out << value.Int() << " radix " << RadixOf(value);
  } else if (value.Type() == OTX::FLOAT) {
    // Below full precision the rounded text must agree; -0 may come back as 0 there.
    const bool exact = value.Precision() >= 16 && !std::isnan(value.Float());
    out << value.Precision() << ' '
        << (exact ? std::to_string(std::bit_cast<uint64_t>(value.Float()))
                  : COtxFloatBehaviour::Format(value.Float() + 0.0, value.Precision()));
  } else if (value.Type() == OTX::EXCEPTION) {
    out << value.Exception().GetId() << ' ' << value.Exception().GetText();
  } else if (value.Type() == OTX::LIST) {
    for (const CKesmar& element : value.List()) out << '[' << Signature(element) << ']';
  } else if (value.Type() == OTX::MAP) {
    for (const auto& [key, element] : value.Map()) {
      out << key.String() << '=' << Signature(element) << ';';
    }
  } else {
    out << value.ToString().String();
  }
  return out.str();
}

std::vector<CKesmar> Extremes() {
  using Limits = std::numeric_limits<long long>;
  constexpr double kInf = std::numeric_limits<double>::infinity();
  // clang-format off
  std::vector<CKesmar> values = {
      COtxBool(false), COtxBool(true), COtxString(""), COtxString("q\"uote \\ \n\t\x01\x1f"),
      COtxString("\xff\xfe invalid UTF-8 \xc3"), COtxString("caf\xc3\xa9"), COtxByteField(),
      COtxByteField(std::vector<unsigned char>{0x00, 0x0A, 0xFF}),
      COtxException(OTX::TypeMismatchException, "message with \"quotes\" and\ncontrol"),
      COtxException(OTX::UserException, ""), COtxList(), COtxMap(),
      COtxList(std::vector<CKesmar>{
          COtxInt(1, COtxInt::HEX), COtxList(std::vector<CKesmar>{COtxFloat(0.1), COtxList()}),
          COtxMap(std::map<CKesmar, CKesmar>{
              {COtxString("k\"\x02"), COtxByteField(std::string("AB"))},
              {COtxString(""), COtxMap()}})})};
  // clang-format on
  for (long long number : {Limits::min(), Limits::max(), 0LL, -1LL}) {
    for (auto radix : {COtxInt::BIN, COtxInt::OCT, COtxInt::DEC, COtxInt::HEX}) {
      values.push_back(COtxInt(number, radix));
    }
  }
  for (int precision : {-2, 0, 2, 16, 17}) {
    for (double number :
         {0.0, -0.0, 1.5, -1234.5678, 1e19, 0x1p63, -1e300, 5e-324, std::nan(""), kInf, -kInf}) {
      values.push_back(COtxFloat(number, precision));
    }
  }
  return values;
}

TEST(JsonRoundTrip, ObjectFormsReadBackExactly) {
  for (const CKesmar& value : Extremes()) {
    SCOPED_TRACE(value.ToString().String());
    EXPECT_EQ(Signature(RoundTrip(value)), Signature(value));
    value.SetOTXJSON(false);
    EXPECT_TRUE(IsJson(value.ToJSON().String())) << value.ToJSON().String();
  }
}

// Half from an everyday range, half from all bit patterns (skipping non-finite ones).
TEST(JsonRoundTrip, RandomFullPrecisionDoublesAreBitIdentical) {
  std::mt19937_64 random(20261206);
  std::uniform_real_distribution<double> small(-1e6, 1e6);
  for (int i = 0; i < 2000; ++i) {
    const double number = i % 2 == 0 ? small(random) : std::bit_cast<double>(random());
    if (!std::isfinite(number)) continue;
    const CKesmar back = RoundTrip(COtxFloat(number));
    ASSERT_EQ(std::bit_cast<uint64_t>(back.Float()), std::bit_cast<uint64_t>(number)) << number;
  }
}

}  // namespace
