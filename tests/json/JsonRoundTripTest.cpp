#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <random>
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

using Limits = std::numeric_limits<long long>;

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

// Same type and value, and what only the object form carries: radix, precision, the exact
// double at full precision, exception messages, nested element types.
void ExpectSame(const CKesmar& back, const CKesmar& value) {
  ASSERT_EQ(back.Type(), value.Type()) << back.ToString().String();
  switch (value.Type()) {
    case OTX::INTEGER:
      EXPECT_EQ(back.Int(), value.Int());
      EXPECT_EQ(std::dynamic_pointer_cast<COtxIntBehaviour>(back.GetBehaviourReference())->GetRadix(),
                std::dynamic_pointer_cast<COtxIntBehaviour>(value.GetBehaviourReference())->GetRadix());
      break;
    case OTX::FLOAT:
      EXPECT_EQ(back.Precision(), value.Precision());
      if (std::isnan(value.Float())) {
        EXPECT_TRUE(std::isnan(back.Float()));
      } else if (value.Precision() >= 16) {
        EXPECT_EQ(std::bit_cast<uint64_t>(back.Float()), std::bit_cast<uint64_t>(value.Float()))
            << value.Float();
      } else {
        EXPECT_TRUE(back == value) << back.Float() << " vs " << value.Float();
      }
      break;
    case OTX::EXCEPTION:
      EXPECT_EQ(back.Exception().GetId(), value.Exception().GetId());
      EXPECT_EQ(back.Exception().GetText(), value.Exception().GetText());
      break;
    case OTX::LIST:
      ASSERT_EQ(back.List().size(), value.List().size());
      for (size_t i = 0; i < value.List().size(); ++i) ExpectSame(back.List()[i], value.List()[i]);
      break;
    case OTX::MAP: {
      ASSERT_EQ(back.Map().size(), value.Map().size());
      for (auto a = back.Map().begin(), b = value.Map().begin(); b != value.Map().end(); ++a, ++b) {
        EXPECT_EQ(a->first.String(), b->first.String());
        ExpectSame(a->second, b->second);
      }
      break;
    }
    default:
      EXPECT_TRUE(back == value) << back.ToString().String();
  }
}

std::vector<CKesmar> Extremes() {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  std::vector<CKesmar> values = {
      COtxBool(false), COtxBool(true),
      COtxString(""), COtxString("q\"uote \\ \n\t\x01\x1f"), COtxString("\xff\xfe invalid UTF-8 \xc3"),
      COtxString("caf\xc3\xa9"),
      COtxByteField(), COtxByteField(std::vector<unsigned char>{0x00, 0x0A, 0xFF}),
      COtxException(OTX::TypeMismatchException, "message with \"quotes\" and\ncontrol"),
      COtxException(OTX::UserException, ""),
      COtxList(), COtxMap(),
  };
  for (long long number : {Limits::min(), Limits::max(), 0LL, -1LL}) {
    for (auto radix : {COtxInt::BIN, COtxInt::OCT, COtxInt::DEC, COtxInt::HEX}) {
      values.push_back(COtxInt(number, radix));
    }
  }
  for (int precision : {-2, 0, 2, 16, 17}) {
    for (double number : {0.0, -0.0, 1.5, -1234.5678, 1e19, 1.8e19, -1e300, 5e-324,
                          std::nan(""), kInf, -kInf}) {
      values.push_back(COtxFloat(number, precision));
    }
  }
  const CKesmar nested = COtxList(std::vector<CKesmar>{
      COtxInt(1, COtxInt::HEX), COtxList(std::vector<CKesmar>{COtxFloat(0.1), COtxList()}),
      COtxMap(std::map<CKesmar, CKesmar>{{COtxString("k\"\x02"), COtxByteField(std::string("AB"))},
                                         {COtxString(""), COtxMap()}})});
  values.push_back(nested);
  return values;
}

TEST(JsonRoundTrip, ObjectFormsReadBackExactly) {
  for (const CKesmar& value : Extremes()) {
    SCOPED_TRACE(value.ToString().String());
    ExpectSame(RoundTrip(value), value);
    value.SetOTXJSON(false);
    EXPECT_TRUE(IsJson(value.ToJSON().String())) << value.ToJSON().String();
  }
}

TEST(JsonRoundTrip, RandomFullPrecisionDoublesAreBitIdentical) {
  std::mt19937_64 random(20261206);
  std::uniform_real_distribution<double> small(-1e6, 1e6);
  for (int i = 0; i < 2000; ++i) {
    // Half from a everyday range, half from every finite bit pattern.
    double number = small(random);
    if (i % 2 == 1) {
      do {
        number = std::bit_cast<double>(random());
      } while (!std::isfinite(number));
    }
    const CKesmar value = COtxFloat(number);
    const CKesmar back = RoundTrip(value);
    ASSERT_EQ(std::bit_cast<uint64_t>(back.Float()), std::bit_cast<uint64_t>(number)) << number;
  }
}

}  // namespace
