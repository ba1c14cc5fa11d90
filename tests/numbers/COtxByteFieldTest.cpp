#include "COtxByteField.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
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
      {"ABC", {0x0A, 0xBC}},
      {"0aff", {0x0A, 0xFF}},
      {"-1", {0xFF}},       // a sign is accepted; the low 8 bits stay
      {"1G", {0x01}},       // reading stops at the first non-digit
      {" 1", {0x01}},       // leading white space is skipped
      {"F-1", {0x0F, 0xFF}},
      {"0x", {0x00}},       // as strtol: "0", then a stray x
      {"1 ", {0x01}},
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(Of(COtxByteField(text)), bytes) << text;
  for (const char* text : {"ZZ", "+12", "G0"}) {
    SCOPED_TRACE(text);
    EXPECT_STD_THROW(COtxByteField{std::string(text)}, std::invalid_argument,
                     "invalid stoi argument");
  }
}

TEST(ByteFieldConstruction, TextInAStringEncoding) {
  struct Case {
    std::string text;
    COtxStringEncoding::Encoding encoding;
    Bytes bytes;
  };
  const std::vector<Case> cases = {
      {"Hi", COtxStringEncoding::US_ASCII, {0x48, 0x69}},
      {"\xC3\xA9", COtxStringEncoding::UTF_8, {0xC3, 0xA9}},
      {"\xC3\xA9", COtxStringEncoding::ISO_8859_1, {0xE9}},
      {"\xE2\x82\xAC", COtxStringEncoding::WINDOWS_1252, {0x80}},
      {"A", COtxStringEncoding::UTF_16, {0xFE, 0xFF, 0x00, 0x41}},
      {"A", COtxStringEncoding::UTF_16LE, {0x41, 0x00}},
      {"0G", COtxStringEncoding::HEX, {0x00}},
      {"0aFF", COtxStringEncoding::HEX, {0x0A, 0xFF}},
      {"", COtxStringEncoding::BIN, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Of(COtxByteField(c.text, c.encoding)), c.bytes) << c.text;
  }
  EXPECT_OTX_THROW(COtxByteField("ABC", COtxStringEncoding::HEX), OTX::OutOfBoundsException,
                   "HEX string must contain an even number of chars");
  EXPECT_OTX_THROW(COtxByteField("GG", COtxStringEncoding::HEX), OTX::OutOfBoundsException,
                   "GG is not a valid for a hex string");
  EXPECT_OTX_THROW(COtxByteField("\xE2\x82\xAC", COtxStringEncoding::ISO_8859_1),
                   OTX::OutOfBoundsException, "ISO-8859-1");
  EXPECT_OTX_THROW(COtxByteField("1", COtxStringEncoding::OCT),
                   OTX::UnsupportedEncodingException, "OCT");
  EXPECT_OTX_THROW(COtxByteField("1", static_cast<COtxStringEncoding::Encoding>(-3)),
                   OTX::UnsupportedEncodingException, "encoding -3");
}

TEST(ByteFieldConstruction, RawDataAlignsAndValidatesBcd) {
  struct Case {
    Bytes data;
    OTX::Encoding encoding;
    int bitLength;
    Bytes bytes;
  };
  const std::vector<Case> cases = {
      {{0x12}, OTX::PackedBinaryCodedDecimal, 12, {0x01, 0x20}},
      {{0x12}, OTX::PackedBinaryCodedDecimal, 24, {0x00, 0x00, 0x12}},
      {{0x12, 0x34}, OTX::PackedBinaryCodedDecimal, 8, {0x12}},
      {{0x09}, OTX::UnpackedBinaryCodedDecimal, 16, {0x00, 0x09}},
      {{0xAB, 0xCD}, OTX::NoEncoding, -1, {0xAB, 0xCD}},
      {{0xAB}, OTX::NoEncoding, 20, {0xAB, 0x00, 0x00}},
      {{}, OTX::NoEncoding, 0, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Of(COtxByteField(c.data.data(), static_cast<int>(c.data.size()), c.encoding,
                               c.bitLength)),
              c.bytes);
  }
  const unsigned char invalid[] = {0x1A};
  EXPECT_OTX_THROW(COtxByteField(invalid, 1, OTX::PackedBinaryCodedDecimal, -1),
                   OTX::OutOfBoundsException, "");
  EXPECT_OTX_THROW(COtxByteField(invalid, 1, OTX::Unsigned, -1),
                   OTX::UnsupportedEncodingException, "");
  EXPECT_OTX_THROW(COtxByteField(invalid, -1, OTX::NoEncoding, -1), OTX::OutOfBoundsException,
                   "Data length out of range");
  EXPECT_OTX_THROW(COtxByteField(nullptr, 2, OTX::NoEncoding, -1), OTX::OutOfBoundsException,
                   "Data missing");
  EXPECT_TRUE(Of(COtxByteField(nullptr, 0, OTX::NoEncoding, -1)).empty());
}

TEST(ByteFieldConstruction, StreamAndObjectForm) {
  std::istringstream stream("AB");
  EXPECT_EQ(Of(COtxByteField(stream, 4)), (Bytes{0x41, 0x42, 0x00, 0x00}));
  EXPECT_OTX_THROW(COtxByteField(stream, -1), OTX::OutOfBoundsException,
                   "Byte count out of range");

  const CKesmar object = COtxMap(std::map<CKesmar, CKesmar>{
      {COtxString("type"), COtxString("ByteField")}, {COtxString("value"), COtxString("0A0B")}});
  EXPECT_EQ(Of(COtxByteField(object)), (Bytes{0x0A, 0x0B}));
  EXPECT_STD_THROW(COtxByteField{CKesmar(COtxMap())}, std::out_of_range,
                   "invalid map<K, T> key");
}

TEST(ByteFieldCompare, LexicographicUnsignedAndUnorderedAgainstOtherTypes) {
  const COtxByteField a(Bytes{0x01, 0x02});
  const COtxByteField longer(Bytes{0x01, 0x02, 0x00});
  const COtxByteField high(Bytes{0x02});
  const COtxByteField low(Bytes{0x01, 0xFF});
  EXPECT_TRUE(a < longer);
  EXPECT_TRUE(a <= longer);
  EXPECT_TRUE(high > low);
  EXPECT_TRUE(a == CKesmar(COtxByteField(Bytes{0x01, 0x02})));
  EXPECT_TRUE(a != longer);
  const COtxInt one(1);
  EXPECT_FALSE(a == one);
  EXPECT_TRUE(a != one);
  EXPECT_FALSE(a < one);
  EXPECT_FALSE(a >= one);
}

TEST(ByteFieldConvert, IntegerAndFloatFromLittleEndianBytes) {
  const std::vector<std::pair<Bytes, long long>> integers = {
      {{0xFF}, -1},
      {{0xFF, 0x00}, 255},
      {{0x80}, -128},
      {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80}, std::numeric_limits<long long>::min()},
  };
  for (const auto& [bytes, value] : integers) {
    const CKesmar integer = COtxByteField(bytes).ToInteger();
    EXPECT_EQ(integer.Int(), value);
    // The integer's own byte form reads back to the same number.
    EXPECT_EQ(integer.ToByteField().ToInteger().Int(), value);
  }
  EXPECT_OTX_THROW(COtxByteField(Bytes(9)).ToInteger(), OTX::OutOfBoundsException, "");
  EXPECT_OTX_THROW(COtxByteField().ToInteger(), OTX::OutOfBoundsException, "");

  EXPECT_EQ(COtxByteField(Bytes{0x00, 0x00, 0x80, 0x3F}).ToFloat().Float(), 1.0);
  EXPECT_EQ(COtxByteField(Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0xBF}).ToFloat().Float(), -1.0);
  EXPECT_EQ(COtxByteField(Bytes{0, 0, 0x80, 0x3F}).ToFloat().Precision(), 16);
  EXPECT_OTX_THROW(COtxByteField(Bytes(3)).ToFloat(), OTX::OutOfBoundsException, "");
}

TEST(ByteFieldConvert, TextForms) {
  const COtxByteField ab(Bytes{0x41, 0x42});
  EXPECT_EQ(ab.ToString().String(), "AB");
  EXPECT_EQ(ab.GetBehaviourReference()->ToHexBinaryString().String(), "4142");
  EXPECT_EQ(ab.ToJSON().String(), "\"4142\"");
  std::ostringstream out;
  out << COtxByteField(Bytes{0x0A, 0xBC});
  EXPECT_EQ(out.str(), "0ABC");
  EXPECT_TRUE(ab.ToBoolean().Bool());
  EXPECT_FALSE(COtxByteField().ToBoolean().Bool());
}

TEST(ByteFieldConvert, OtherTypesToByteField) {
  const std::vector<std::pair<CKesmar, Bytes>> cases = {
      {COtxBool(false), {0x00}},
      {COtxBool(true), {0x01}},
      {COtxInt(0), {0x00}},
      {COtxInt(128), {0x80, 0x00}},
      {COtxInt(-128), {0x80, 0xFF}},
      {COtxFloat(1.0, 3), {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {COtxString("AB"), {0x41, 0x42}},
      {COtxString(""), {}},
  };
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
