#include "COtxStringEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "COtxString.h"
#include "TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(StringEncoding, NamesAndNumbersAgree) {
  const std::vector<std::string> names = {"US-ASCII", "ISO-8859-1", "UTF-8",      "UTF-16BE",
                                          "UTF-16LE", "UTF-16",     "BIN",        "OCT",
                                          "HEX",      "ISO-8859-2", "WINDOWS-1252"};
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    const auto encoding = static_cast<COtxStringEncoding::Encoding>(i);
    EXPECT_EQ(COtxStringEncoding::String(encoding), names[i]);
    const COtxStringEncoding byName(names[i]);
    EXPECT_EQ(byName.Int(), i);
    EXPECT_EQ(byName.Type(), OTX::STRING_ENCODING);
    EXPECT_EQ(byName.ToString().String(), names[i]);
  }
}

TEST(StringEncoding, UnknownNamesAndNumbers) {
  // Lookup is exact: any other text is US-ASCII, without complaint.
  for (const char* name : {"utf-16le", "UTF-8 ", "", "LATIN1"}) {
    EXPECT_EQ(COtxStringEncoding(std::string(name)).Int(), 0) << name;
  }
  const COtxStringEncoding eleven(static_cast<COtxStringEncoding::Encoding>(11));
  EXPECT_EQ(eleven.Int(), 11);
  EXPECT_EQ(eleven.ToString().String(), "");
  EXPECT_EQ(COtxStringEncoding::String(static_cast<COtxStringEncoding::Encoding>(-1)), "");
  // Everything else is the integer's: comparison and arithmetic by number.
  EXPECT_TRUE(COtxStringEncoding(COtxStringEncoding::HEX) == CKesmar(COtxStringEncoding("HEX")));
  EXPECT_TRUE(COtxStringEncoding(COtxStringEncoding::UTF_8) < COtxStringEncoding("HEX"));
}

TEST(StringFromBytes, DecodesEachEncoding) {
  struct Case {
    COtxStringEncoding::Encoding encoding;
    Bytes bytes;
    std::string text;
  };
  const std::vector<Case> cases = {
      {COtxStringEncoding::US_ASCII, {0x48, 0x69}, "Hi"},
      {COtxStringEncoding::US_ASCII, {0xE9}, "\xE9"},  // copied unchecked
      {COtxStringEncoding::UTF_8, {0xC3, 0xA9, 0xFF}, "\xC3\xA9\xFF"},
      {COtxStringEncoding::HEX, {0x0A, 0xFF, 0x00}, "0AFF00"},
      {COtxStringEncoding::ISO_8859_1, {0x63, 0xE9}, "c\xC3\xA9"},
      {COtxStringEncoding::ISO_8859_2, {0xB1}, "\xC4\x85"},  // ą
      {COtxStringEncoding::WINDOWS_1252, {0x80}, "\xE2\x82\xAC"},  // €
      {COtxStringEncoding::UTF_16BE, {0x00, 0x41, 0x20, 0xAC}, "A\xE2\x82\xAC"},
      {COtxStringEncoding::UTF_16LE, {0x41, 0x00, 0xAC, 0x20}, "A\xE2\x82\xAC"},
      {COtxStringEncoding::UTF_16, {0xFF, 0xFE, 0x41, 0x00}, "A"},
      {COtxStringEncoding::UTF_16, {0x00, 0x41}, "A"},  // big-endian without a mark
      {COtxStringEncoding::BIN, {}, ""},                // empty input is never examined
      {static_cast<COtxStringEncoding::Encoding>(42), {}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(COtxString(c.bytes, c.encoding).String(), c.text)
        << COtxStringEncoding::String(c.encoding);
  }
}

TEST(StringFromBytes, FailuresNameTheEncoding) {
  EXPECT_OTX_THROW(COtxString(Bytes{1}, COtxStringEncoding::OCT),
                   OTX::UnsupportedEncodingException, "OCT");
  EXPECT_OTX_THROW(COtxString(Bytes{1}, COtxStringEncoding::BIN),
                   OTX::UnsupportedEncodingException, "BIN");
  EXPECT_OTX_THROW(COtxString(Bytes{1}, static_cast<COtxStringEncoding::Encoding>(11)),
                   OTX::UnsupportedEncodingException, "encoding 11");
  // Odd UTF-16 length and an undefined WINDOWS-1252 byte are conversion failures.
  EXPECT_OTX_THROW(COtxString(Bytes{0x00, 0x41, 0x00}, COtxStringEncoding::UTF_16BE),
                   OTX::OutOfBoundsException, "UTF-16BE");
  EXPECT_OTX_THROW(COtxString(Bytes{0x81}, COtxStringEncoding::WINDOWS_1252),
                   OTX::OutOfBoundsException, "WINDOWS-1252");
}

}  // namespace
