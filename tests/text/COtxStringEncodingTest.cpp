#include "COtxStringEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "COtxString.h"
#include "TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(StringEncoding, NamesAndNumbersAgree) {
  const std::string names[] = {"US-ASCII", "ISO-8859-1", "UTF-8",       "UTF-16BE",
                               "UTF-16LE", "UTF-16",     "BIN",         "OCT",
                               "HEX",      "ISO-8859-2", "WINDOWS-1252"};
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(COtxStringEncoding::String(static_cast<COtxStringEncoding::Encoding>(i)), names[i]);
    const COtxStringEncoding byName(names[i]);
    EXPECT_EQ(byName.Int(), i);
    EXPECT_EQ(byName.Type(), OTX::STRING_ENCODING);
    EXPECT_EQ(byName.ToString().String(), names[i]);
  }
  // Lookup is exact: any other text is US-ASCII, without complaint.
  for (const char* name : {"utf-16le", "UTF-8 ", "LATIN1"}) {
    EXPECT_EQ(COtxStringEncoding(std::string(name)).Int(), 0) << name;
  }
  const COtxStringEncoding eleven(static_cast<COtxStringEncoding::Encoding>(11));
  EXPECT_EQ(eleven.Int(), 11);
  EXPECT_EQ(eleven.ToString().String(), "");
  EXPECT_EQ(COtxStringEncoding::String(static_cast<COtxStringEncoding::Encoding>(-1)), "");
  // Comparison is the integer's.
  EXPECT_TRUE(COtxStringEncoding(COtxStringEncoding::HEX) == CKesmar(COtxStringEncoding("HEX")));
  EXPECT_TRUE(COtxStringEncoding(COtxStringEncoding::UTF_8) < COtxStringEncoding("HEX"));
}

TEST(StringFromBytes, DecodesEachEncodingAndNamesItInFailures) {
  using E = COtxStringEncoding;
  const std::tuple<E::Encoding, Bytes, std::string> cases[] = {
      // clang-format off
      // US-ASCII and UTF-8 are copied unchecked.
      {E::US_ASCII, {0x48, 0xE9}, "H\xE9"}, {E::UTF_8, {0xC3, 0xA9, 0xFF}, "\xC3\xA9\xFF"},
      {E::HEX, {0x0A, 0xFF, 0x00}, "0AFF00"}, {E::ISO_8859_1, {0x63, 0xE9}, "c\xC3\xA9"},
      {E::ISO_8859_2, {0xB1}, "\xC4\x85"}, {E::WINDOWS_1252, {0x80}, "\xE2\x82\xAC"},
      {E::UTF_16BE, {0x00, 0x41, 0x20, 0xAC}, "A\xE2\x82\xAC"},
      {E::UTF_16LE, {0x41, 0x00, 0xAC, 0x20}, "A\xE2\x82\xAC"},
      // UTF-16 follows a byte-order mark, else it is big-endian.
      {E::UTF_16, {0xFF, 0xFE, 0x41, 0x00}, "A"}, {E::UTF_16, {0x00, 0x41}, "A"},
      // Empty input is never examined.
      {E::BIN, {}, ""}, {static_cast<E::Encoding>(42), {}, ""},
      // clang-format on
  };
  for (const auto& [encoding, bytes, text] : cases) {
    EXPECT_EQ(COtxString(bytes, encoding).String(), text) << E::String(encoding);
  }
  // Encodings without a text form are unsupported; bytes a set cannot convert are out of bounds.
  const std::tuple<E::Encoding, Bytes, OTX::Exceptions_e, const char*> failures[] = {
      {E::OCT, {1}, OTX::UnsupportedEncodingException, "OCT"},
      {E::BIN, {1}, OTX::UnsupportedEncodingException, "BIN"},
      {static_cast<E::Encoding>(11), {1}, OTX::UnsupportedEncodingException, "encoding 11"},
      {E::UTF_16BE, {0x00, 0x41, 0x00}, OTX::OutOfBoundsException, "UTF-16BE"},
      {E::WINDOWS_1252, {0x81}, OTX::OutOfBoundsException, "WINDOWS-1252"}};
  for (const auto& [encoding, bytes, id, message] : failures) {
    EXPECT_OTX_THROW(static_cast<void>(COtxString(bytes, encoding)), id, message);
  }
}

}  // namespace
