#include "PelmUtils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// "47 FC DF" -> {0x47, 0xFC, 0xDF}.
Bytes Hex(const std::string& text) {
  Bytes bytes;
  unsigned int value = 0;
  int used = 0;
  for (const char* cursor = text.c_str(); std::sscanf(cursor, "%2x%n", &value, &used) == 1;
       cursor += used) {
    bytes.push_back(static_cast<unsigned char>(value));
  }
  return bytes;
}

struct EncodedText {
  const char* encoding;
  const char* utf8;
  const char* bytes;  // hex
};

// Converted both ways. ISO-2022-JP is stateful: its text must close with ESC ( B.
constexpr EncodedText kRoundTrips[] = {
    {"ISO-8859-1", "Grüße, Åland ÿ", "47 72 FC DF 65 2C 20 C5 6C 61 6E 64 20 FF"},
    {"ISO-8859-2", "Čeština, Łódź", "C8 65 B9 74 69 6E 61 2C 20 A3 F3 64 BC"},
    {"WINDOWS-1252", "Grüße € „Zitat“ – Œ",
     "47 72 FC DF 65 20 80 20 84 5A 69 74 61 74 93 20 96 20 8C"},
    {"UTF-16BE", "Gü Č€𝄞", "00 47 00 FC 00 20 01 0C 20 AC D8 34 DD 1E"},
    {"UTF-16LE", "Gü Č€𝄞", "47 00 FC 00 20 00 0C 01 AC 20 34 D8 1E DD"},
    {"UTF-16", "Gü Č€𝄞", "FE FF 00 47 00 FC 00 20 01 0C 20 AC D8 34 DD 1E"},
    {"utf-16", "€", "FE FF 20 AC"},
    {"ISO-2022-JP", "日本 A", "1B 24 42 46 7C 4B 5C 1B 28 42 20 41"},
    {"UTF-8", "Grüße", "47 72 C3 BC C3 9F 65"},
    {"ISO-8859-1", "", ""},
};

TEST(Charset, RoundTripsAppendToOutput) {
  for (const EncodedText& c : kRoundTrips) {
    SCOPED_TRACE(std::string(c.encoding) + ": " + c.utf8);
    const std::string text = c.utf8;
    Bytes encoded = {0x2A};
    ASSERT_TRUE(PelmUtil::fromUTF8(c.encoding, text.data(), static_cast<int>(text.size()), encoded));
    Bytes expected = Hex(c.bytes);
    expected.insert(expected.begin(), 0x2A);
    EXPECT_EQ(encoded, expected);
    std::string decoded = "*";
    ASSERT_TRUE(PelmUtil::toUTF8(c.encoding, encoded.data() + 1,
                                 static_cast<int>(encoded.size() - 1), decoded));
    EXPECT_EQ(decoded, "*" + text);
  }
}

TEST(Charset, Utf16DecodingFollowsByteOrderMark) {
  constexpr EncodedText kCases[] = {
      {"UTF-16", "Gü€", "FF FE 47 00 FC 00 AC 20"},  // little-endian mark, dropped
      {"UTF-16", "Gü€", "FE FF 00 47 00 FC 20 AC"},  // big-endian mark, dropped
      {"UTF-16", "Gü€", "00 47 00 FC 20 AC"},        // no mark: big-endian
      {"UTF16", "Gü€", "FF FE 47 00 FC 00 AC 20"},
      {"UTF-16BE", "\uFEFFA", "FE FF 00 41"},  // an explicit order keeps the mark as text
  };
  for (const EncodedText& c : kCases) {
    SCOPED_TRACE(std::string(c.encoding) + " " + c.bytes);
    const Bytes bytes = Hex(c.bytes);
    std::string decoded;
    ASSERT_TRUE(PelmUtil::toUTF8(c.encoding, bytes.data(), static_cast<int>(bytes.size()), decoded));
    EXPECT_EQ(decoded, c.utf8);
  }
}

TEST(Charset, LongTextsSpanSeveralBuffers) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "Grüße € ";
  for (const char* encoding : {"UTF-16", "WINDOWS-1252", "UTF-16LE"}) {
    SCOPED_TRACE(encoding);
    Bytes encoded;
    ASSERT_TRUE(PelmUtil::fromUTF8(encoding, text.data(), static_cast<int>(text.size()), encoded));
    std::string decoded;
    ASSERT_TRUE(
        PelmUtil::toUTF8(encoding, encoded.data(), static_cast<int>(encoded.size()), decoded));
    EXPECT_EQ(decoded, text);
  }
}

TEST(Charset, StrictFailuresLeaveOutputAlone) {
  const std::string longEuro = std::string(5000, 'a') + "€" + std::string(5000, 'a');
  struct Failure {
    const char* what;
    bool fromUtf8;  // else toUTF8
    const char* encoding;
    std::string input;  // UTF-8 text, or hex bytes for toUTF8
  };
  const Failure kCases[] = {
      {"euro not in Latin-1", true, "ISO-8859-1", "ab€"},
      {"C caron not in Latin-1", true, "ISO-8859-1", "Čeština"},
      {"euro not in Latin-2", true, "ISO-8859-2", "€"},
      {"invalid UTF-8", true, "UTF-16BE", "a\xC3\x28"},
      {"truncated UTF-8", true, "UTF-16LE", "a\xC3"},
      {"UTF-8 encoded surrogate", true, "UTF-16", "\xED\xA0\x80"},
      {"overlong UTF-8", true, "WINDOWS-1252", "\xC0\x80"},
      {"unknown set", true, "NO-SUCH-SET", "a"},
      {"transliterating suffix", true, "ISO-8859-1//TRANSLIT", longEuro},
      {"ignoring suffix", true, "ISO-8859-1//IGNORE", longEuro},
      {"undefined 1252 byte 81", false, "WINDOWS-1252", "41 81"},
      {"undefined 1252 byte 8D", false, "WINDOWS-1252", "41 8D"},
      {"undefined 1252 byte 8F", false, "WINDOWS-1252", "41 8F"},
      {"undefined 1252 byte 90", false, "WINDOWS-1252", "41 90"},
      {"undefined 1252 byte 9D", false, "WINDOWS-1252", "41 9D"},
      {"odd UTF-16 length", false, "UTF-16", "00 41 00"},
      {"odd UTF-16 length after mark", false, "UTF-16", "FF FE 41"},
      {"unpaired high surrogate", false, "UTF-16BE", "D8 34 00 41"},
      {"unpaired low surrogate", false, "UTF-16LE", "41 00 1E DD"},
      {"surrogate at the end", false, "UTF-16", "00 41 D8 34"},
      {"unknown set", false, "NO-SUCH-SET", "41"},
  };
  for (const Failure& c : kCases) {
    SCOPED_TRACE(std::string(c.what) + " (" + c.encoding + ")");
    if (c.fromUtf8) {
      Bytes out = {1, 2, 3};
      EXPECT_FALSE(PelmUtil::fromUTF8(c.encoding, c.input.data(), static_cast<int>(c.input.size()), out));
      EXPECT_EQ(out, (Bytes{1, 2, 3}));
    } else {
      const Bytes bytes = Hex(c.input);
      std::string out = "kept";
      EXPECT_FALSE(PelmUtil::toUTF8(c.encoding, bytes.data(), static_cast<int>(bytes.size()), out));
      EXPECT_EQ(out, "kept");
    }
  }
}

TEST(Charset, FailureDoesNotSpoilTheCachedConverter) {
  Bytes out;
  ASSERT_FALSE(PelmUtil::fromUTF8("ISO-2022-JP", "日€", 6, out));  // stops in the kanji set
  ASSERT_TRUE(PelmUtil::fromUTF8("ISO-2022-JP", "A", 1, out));
  EXPECT_EQ(out, Bytes{0x41});
}

TEST(Charset, RejectsBadArguments) {
  std::string text;
  Bytes bytes;
  const unsigned char data[] = {0x41};
  EXPECT_FALSE(PelmUtil::toUTF8("ISO-8859-1", nullptr, 1, text));
  EXPECT_FALSE(PelmUtil::toUTF8("ISO-8859-1", data, -1, text));
  EXPECT_FALSE(PelmUtil::fromUTF8("ISO-8859-1", nullptr, 1, bytes));
  EXPECT_FALSE(PelmUtil::fromUTF8("ISO-8859-1", "A", -1, bytes));
  EXPECT_TRUE(PelmUtil::toUTF8("ISO-8859-1", nullptr, 0, text));
  EXPECT_TRUE(text.empty());
  EXPECT_TRUE(bytes.empty());
}

}  // namespace
