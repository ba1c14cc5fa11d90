#include "COtxByteField.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "COtxBool.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxMap.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Of(const CKesmar& field) { return static_cast<const Bytes&>(field.ByteField()); }

TEST(ByteFieldConstruction, LenientHexText) {
  const std::vector<std::pair<std::string, Bytes>> cases = {
      {"", {}},
      {"9aFAf", {0x09, 0xAF, 0xAF}},  // an odd first digit stands alone
      {"-1", {0xFF}},                 // a sign is accepted; the low 8 bits stay
      {"1G", {0x01}},                 // reading stops at the first non-digit
      {" 1", {0x01}}};
  for (const auto& [text, bytes] : cases) EXPECT_EQ(Of(COtxByteField(text)), bytes) << text;
  EXPECT_STD_THROW(COtxByteField{std::string("ZZ")}, std::invalid_argument,
                   "invalid stoi argument");
}

TEST(ByteFieldConstruction, TextInAStringEncoding) {
  const std::tuple<std::string, COtxStringEncoding::Encoding, Bytes> cases[] = {
      {"\xC3\xA9", COtxStringEncoding::UTF_8, {0xC3, 0xA9}},
      {"\xC3\xA9", COtxStringEncoding::ISO_8859_1, {0xE9}},
      {"0A00FG", COtxStringEncoding::HEX, {0x0A, 0x00, 0x0F}},
      {"", COtxStringEncoding::BIN, {}}};
  for (const auto& [text, encoding, bytes] : cases) {
    EXPECT_EQ(Of(COtxByteField(text, encoding)), bytes) << text;
  }
  EXPECT_OTX_THROW(COtxByteField("ABC", COtxStringEncoding::HEX), OTX::OutOfBoundsException,
                   "HEX string must contain an even number of chars");
  EXPECT_OTX_THROW(COtxByteField("GG", COtxStringEncoding::HEX), OTX::OutOfBoundsException,
                   "GG is not a valid for a hex string");
  EXPECT_OTX_THROW(COtxByteField("\xE2\x82\xAC", COtxStringEncoding::ISO_8859_1),
                   OTX::OutOfBoundsException, "ISO-8859-1");
  EXPECT_OTX_THROW(COtxByteField("1", COtxStringEncoding::OCT), OTX::UnsupportedEncodingException,
                   "OCT");
  EXPECT_OTX_THROW(COtxByteField("1", static_cast<COtxStringEncoding::Encoding>(-3)),
                   OTX::UnsupportedEncodingException, "encoding -3");
}

TEST(ByteFieldConstruction, RawDataStreamAndObjectForm) {
  const std::tuple<Bytes, OTX::Encoding, int, Bytes> cases[] = {
      {{0x12}, OTX::PackedBinaryCodedDecimal, 12, {0x01, 0x20}},
      {{0x12}, OTX::PackedBinaryCodedDecimal, 24, {0x00, 0x00, 0x12}},
      {{0x12, 0x34}, OTX::PackedBinaryCodedDecimal, 8, {0x12}},
      {{0x09}, OTX::UnpackedBinaryCodedDecimal, 16, {0x00, 0x09}},
      {{0xAB, 0xCD}, OTX::NoEncoding, -1, {0xAB, 0xCD}},
      {{0xAB}, OTX::NoEncoding, 20, {0xAB, 0x00, 0x00}}};
  for (const auto& [data, encoding, bitLength, bytes] : cases) {
    EXPECT_EQ(Of(COtxByteField(data.data(), static_cast<int>(data.size()), encoding, bitLength)),
              bytes);
  }
  const unsigned char invalid[] = {0x1A};
  EXPECT_OTX_THROW(COtxByteField(invalid, 1, OTX::PackedBinaryCodedDecimal, -1),
                   OTX::OutOfBoundsException, "");
  EXPECT_OTX_THROW(COtxByteField(invalid, 1, OTX::Unsigned, -1), OTX::UnsupportedEncodingException,
                   "");
  EXPECT_OTX_THROW(COtxByteField(invalid, -1, OTX::NoEncoding, -1), OTX::OutOfBoundsException,
                   "Data length out of range");
  EXPECT_OTX_THROW(COtxByteField(nullptr, 2, OTX::NoEncoding, -1), OTX::OutOfBoundsException,
                   "Data missing");
  EXPECT_TRUE(Of(COtxByteField(nullptr, 0, OTX::NoEncoding, -1)).empty());
  std::istringstream stream("AB");
  EXPECT_EQ(Of(COtxByteField(stream, 4)), (Bytes{0x41, 0x42, 0x00, 0x00}));
  EXPECT_OTX_THROW(COtxByteField(stream, -1), OTX::OutOfBoundsException, "Byte count out of range");
  const CKesmar object = COtxMap(std::map<CKesmar, CKesmar>{
      {COtxString("type"), COtxString("ByteField")}, {COtxString("value"), COtxString("0A0B")}});
  EXPECT_EQ(Of(COtxByteField(object)), (Bytes{0x0A, 0x0B}));
  EXPECT_STD_THROW(COtxByteField{CKesmar(COtxMap())}, std::out_of_range, "invalid map<K, T> key");
}

TEST(ByteFieldCompare, LexicographicAndUnorderedAgainstOtherTypes) {
  const COtxByteField a(Bytes{0x01, 0x02}), longer(Bytes{0x01, 0x02, 0x00});
  EXPECT_TRUE(a < longer && a <= longer && a != longer);
  EXPECT_TRUE(COtxByteField(Bytes{0x02}) > COtxByteField(Bytes{0x01, 0xFF}));
  EXPECT_TRUE(a == CKesmar(COtxByteField(Bytes{0x01, 0x02})));
  const COtxInt one(1);
  EXPECT_TRUE(!(a == one) && a != one && !(a < one) && !(a >= one));
}

TEST(ByteFieldConvert, IntegerAndFloatFromLittleEndianBytes) {
  const std::pair<Bytes, long long> integers[] = {
      {{0xFF}, -1},
      {{0xFF, 0x00}, 255},
      {{0, 0, 0, 0, 0, 0, 0, 0x80}, std::numeric_limits<long long>::min()}};
  for (const auto& [bytes, value] : integers)
    EXPECT_EQ(COtxByteField(bytes).ToInteger().Int(), value);
  EXPECT_OTX_THROW(COtxByteField(Bytes(9)).ToInteger(), OTX::OutOfBoundsException, "");
  EXPECT_OTX_THROW(COtxByteField().ToInteger(), OTX::OutOfBoundsException, "");
  EXPECT_EQ(COtxByteField(Bytes{0x00, 0x00, 0x80, 0x3F}).ToFloat().Float(), 1.0);
  EXPECT_EQ(COtxByteField(Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0xBF}).ToFloat().Float(), -1.0);
  EXPECT_EQ(COtxByteField(Bytes{0, 0, 0x80, 0x3F}).ToFloat().Precision(), 16);
  EXPECT_OTX_THROW(COtxByteField(Bytes(3)).ToFloat(), OTX::OutOfBoundsException, "");
}

TEST(ByteFieldConvert, TextBooleanAndOtherTypesToByteField) {
  const COtxByteField ab(Bytes{0x41, 0x42});
  EXPECT_EQ(ab.ToString().String(), "AB");
  std::ostringstream out;
  out << COtxByteField(Bytes{0x0A, 0xBC});
  EXPECT_EQ(out.str(), "0ABC");
  EXPECT_TRUE(ab.ToBoolean().Bool());
  EXPECT_FALSE(COtxByteField().ToBoolean().Bool());
  const std::pair<CKesmar, Bytes> cases[] = {
      {COtxBool(false), {0x00}},
      {COtxBool(true), {0x01}},
      {COtxInt(128), {0x80, 0x00}},
      {COtxFloat(0.1, 3), {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}},
      {COtxString("AB"), {0x41, 0x42}}};
  for (const auto& [value, bytes] : cases) {
    const CKesmar field = value.ToByteField();
    EXPECT_EQ(field.Type(), OTX::BYTEFIELD);
    EXPECT_EQ(Of(field), bytes) << value.ToString().String();
  }
}

TEST(ByteFieldSharing, HandleCopiesShareAndToByteFieldCopies) {
  const COtxByteField field(Bytes{0x01});
  const CKesmar shared = field;
  const CKesmar copy = field.GetBehaviourReference()->ToByteField();
  EXPECT_EQ(shared.ToByteField().GetBehaviourReference(), field.GetBehaviourReference());
  field.ByteField().push_back(0x02);
  EXPECT_EQ(Of(shared), (Bytes{0x01, 0x02}));
  EXPECT_EQ(Of(copy), (Bytes{0x01}));
}

}  // namespace
