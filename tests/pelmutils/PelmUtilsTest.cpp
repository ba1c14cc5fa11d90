#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <typeinfo>
#include <utility>
#include <vector>

#include "PelmUtils.h"
#include "pelmutils/detail/LogLevels.h"

namespace {

using Bytes = std::vector<unsigned char>;

// "47 FC DF" -> {0x47, 0xFC, 0xDF}.
Bytes Hex(const std::string& text) {
  Bytes bytes;
  std::istringstream in(text);
  for (unsigned value = 0; in >> std::hex >> value;)
    bytes.push_back(static_cast<Bytes::value_type>(value));
  return bytes;
}

bool FromUtf8(const char* encoding, const std::string& text, Bytes& out) {
  return PelmUtil::fromUTF8(encoding, text.data(), static_cast<int>(text.size()), out);
}

bool ToUtf8(const char* encoding, const Bytes& bytes, std::string& out) {
  return PelmUtil::toUTF8(encoding, bytes.data(), static_cast<int>(bytes.size()), out);
}

// An encoding, a UTF-8 text and its bytes in hex.
using EncodedText = std::tuple<const char*, const char*, const char*>;

TEST(Charset, RoundTripsAppendToOutput) {
  // "utf16" is plain UTF-16 too. ISO-2022-JP is stateful: a text must close with ESC ( B.
  const EncodedText kCases[] = {
      {"ISO-8859-1", "Grüße, Åland ÿ", "47 72 FC DF 65 2C 20 C5 6C 61 6E 64 20 FF"},
      {"ISO-8859-2", "Čeština, Łódź", "C8 65 B9 74 69 6E 61 2C 20 A3 F3 64 BC"},
      {"WINDOWS-1252", "Grüße € „Zitat“ – Œ",
       "47 72 FC DF 65 20 80 20 84 5A 69 74 61 74 93 20 96 20 8C"},
      {"UTF-16BE", "Gü Č€𝄞", "00 47 00 FC 00 20 01 0C 20 AC D8 34 DD 1E"},
      {"UTF-16LE", "Gü Č€𝄞", "47 00 FC 00 20 00 0C 01 AC 20 34 D8 1E DD"},
      {"UTF-16", "Gü Č€𝄞", "FE FF 00 47 00 FC 00 20 01 0C 20 AC D8 34 DD 1E"},
      {"utf16", "€", "FE FF 20 AC"},
      {"ISO-2022-JP", "A日本", "41 1B 24 42 46 7C 4B 5C 1B 28 42"},
      {"ISO-8859-1", "", ""},
  };
  for (const auto& [encoding, utf8, bytes] : kCases) {
    SCOPED_TRACE(std::string(encoding) + ": " + utf8);
    Bytes encoded = {0x2A};
    ASSERT_TRUE(FromUtf8(encoding, utf8, encoded));
    EXPECT_EQ(encoded, Hex("2A " + std::string(bytes)));
    std::string decoded = "*";
    ASSERT_TRUE(ToUtf8(encoding, Bytes(encoded.begin() + 1, encoded.end()), decoded));
    EXPECT_EQ(decoded, "*" + std::string(utf8));
  }
}

TEST(Charset, LongTextsSpanSeveralBuffers) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "Grüße € ";
  for (const char* encoding : {"UTF-16", "WINDOWS-1252"}) {
    Bytes encoded;
    std::string decoded;
    ASSERT_TRUE(FromUtf8(encoding, text, encoded)) << encoding;
    ASSERT_TRUE(ToUtf8(encoding, encoded, decoded)) << encoding;
    EXPECT_EQ(decoded, text) << encoding;
  }
}

TEST(Charset, StrictFailuresLeaveOutputAlone) {
  const std::string longEuro = std::string(5000, 'a') + "€" + std::string(5000, 'a');
  // From UTF-8: unrepresentable characters, malformed UTF-8, unknown sets, and the suffixes
  // that would substitute or drop characters unreported.
  // clang-format off
  const std::pair<const char*, std::string> fromCases[] = {
      {"ISO-8859-1", "ab€"}, {"ISO-8859-2", "€"}, {"UTF-16BE", "a\xC3\x28"},
      {"UTF-16LE", "a\xC3"}, {"UTF-16", "\xED\xA0\x80"}, {"WINDOWS-1252", "\xC0\x80"},
      {"NO-SUCH-SET", "a"}, {"ISO-8859-1//TRANSLIT", longEuro}, {"ISO-8859-1//IGNORE", longEuro}};
  // clang-format on
  for (const auto& [encoding, text] : fromCases) {
    Bytes out = {1, 2, 3};
    EXPECT_FALSE(FromUtf8(encoding, text, out)) << encoding;
    EXPECT_EQ(out, (Bytes{1, 2, 3})) << encoding;
  }
  // To UTF-8: the bytes WINDOWS-1252 leaves undefined, odd UTF-16 lengths, lone surrogates.
  const std::pair<const char*, const char*> toCases[] = {
      {"WINDOWS-1252", "41 81"}, {"WINDOWS-1252", "41 8D"},   {"WINDOWS-1252", "41 8F"},
      {"WINDOWS-1252", "41 90"}, {"WINDOWS-1252", "41 9D"},   {"UTF-16", "00 41 00"},
      {"UTF-16", "FF FE 41"},    {"UTF-16BE", "D8 34 00 41"}, {"UTF-16LE", "41 00 1E DD"},
      {"UTF-16", "00 41 D8 34"}, {"NO-SUCH-SET", "41"}};
  for (const auto& [encoding, bytes] : toCases) {
    std::string out = "kept";
    EXPECT_FALSE(ToUtf8(encoding, Hex(bytes), out)) << encoding << " " << bytes;
    EXPECT_EQ(out, "kept") << encoding << " " << bytes;
  }
}

TEST(Charset, FailureDoesNotSpoilTheCachedConverter) {
  Bytes out;
  ASSERT_FALSE(FromUtf8("ISO-2022-JP", "日€", out));  // stops in the kanji set
  ASSERT_TRUE(FromUtf8("ISO-2022-JP", "A", out));
  EXPECT_EQ(out, Bytes{0x41});
}

TEST(Charset, RejectsBadArguments) {
  std::string text;
  Bytes bytes = {0x41};
  EXPECT_FALSE(PelmUtil::toUTF8("ISO-8859-1", nullptr, 1, text));
  EXPECT_FALSE(PelmUtil::toUTF8("ISO-8859-1", bytes.data(), -1, text));
  EXPECT_FALSE(PelmUtil::fromUTF8("ISO-8859-1", nullptr, 1, bytes));
  EXPECT_FALSE(PelmUtil::fromUTF8("ISO-8859-1", "A", -1, bytes));
  EXPECT_TRUE(PelmUtil::toUTF8("ISO-8859-1", nullptr, 0, text) && text.empty());
}

// Round after round of threads that convert through a few sets and exit, so descriptors pass
// from exiting threads to new ones while others are still converting.
TEST(ThreadsCharset, ShortLivedThreadsConvert) {
  const EncodedText kCases[] = {
      {"ISO-8859-1", "Grüße", "47 72 FC DF 65"},
      {"WINDOWS-1252", "€ „x“", "80 20 84 78 93"},
      {"UTF-16", "Gü€𝄞", "FE FF 00 47 00 FC 20 AC D8 34 DD 1E"},
  };
  std::atomic<int> failures{0};
  for (int round = 0; round < 20; ++round) {
    std::vector<std::jthread> threads;
    for (int t = 0; t < 8; ++t) {
      threads.emplace_back([&] {
        for (const auto& [encoding, utf8, bytes] : kCases) {
          Bytes encoded;
          std::string decoded;
          if (!FromUtf8(encoding, utf8, encoded) || encoded != Hex(bytes) ||
              !ToUtf8(encoding, encoded, decoded) || decoded != utf8) {
            ++failures;
          }
        }
      });
    }
  }
  EXPECT_EQ(failures.load(), 0);
}


using PelmUtil::ThreadGroup;

TEST(ThreadGroup, AddLookUpReplaceRemove) {
  const std::thread::id self = std::this_thread::get_id();
  std::thread::id other;
  std::thread([&other] { other = std::this_thread::get_id(); }).join();

  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), std::thread::id());
  ThreadGroup::Add(other, self);
  ThreadGroup::Add(self, self);
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), self);
  ThreadGroup::Add(other, other);  // replaces the earlier group
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), other);
  ThreadGroup::Remove(other);
  ThreadGroup::Remove(other);  // removing twice is harmless
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), std::thread::id());
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(self), self);
  ThreadGroup::Remove(self);
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(self), std::thread::id());
}

// Each thread joins a group, converts through several sets, checks its group and logs a line;
// run under ThreadSanitizer in CI.
TEST(ThreadsPelmUtil, ConversionsAndGroupsFromManyThreads) {
  const std::string text = "Grüße, Čeština € 𝄞";
  const std::thread::id leader = std::this_thread::get_id();
  char* buffer = nullptr;
  std::size_t size = 0;
  FILE* stream = open_memstream(&buffer, &size);
  ASSERT_NE(stream, nullptr);
  std::atomic<int> failures{0};
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < 8; ++t) {
      threads.emplace_back([&, t] {
        const std::thread::id self = std::this_thread::get_id();
        ThreadGroup::Add(self, leader);
        for (int round = 0; round < 200; ++round) {
          for (const char* encoding : {"UTF-16", "UTF-16LE", "ISO-8859-2", "WINDOWS-1252"}) {
            const std::string sample = encoding[0] == 'U' ? text : "Grüße";
            Bytes encoded;
            std::string decoded;
            if (!FromUtf8(encoding, sample, encoded) || !ToUtf8(encoding, encoded, decoded) ||
                decoded != sample) {
              ++failures;
            }
          }
          if (ThreadGroup::GetThreadGroupId(self) != leader) ++failures;
        }
        PelmUtil::CLog(0, stream).Get(3, 0) << "thread " << t << " done";
        ThreadGroup::Remove(self);
      });
    }
  }
  std::fclose(stream);
  std::istringstream lines(std::string(buffer, size));
  std::free(buffer);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_NE(line.find(" done"), std::string::npos) << line;  // lines never interleave
  }
  EXPECT_EQ(count, 8);
  EXPECT_EQ(failures.load(), 0);
}


TEST(LogLevels, ParsesPairsAndSkipsWhatItCannotRead) {
  // Subsystems not named must be at level 1.
  const std::pair<const char*, std::map<int, int>> cases[] = {
      // clang-format off
      {"", {}}, {"3=5,0=1", {{3, 5}, {0, 1}}}, {"0=0,15=4", {{0, 0}, {15, 4}}},
      {" 3 = 5 , 7=2", {{3, 5}, {7, 2}}}, {"3=5,garbage,7=2", {{3, 5}, {7, 2}}},
      {"3=5x,7=2", {{7, 2}}}, {"3=,=4,7=2,,", {{7, 2}}}, {"16=5,99=5,-1=5,2=-3", {}},
      {"3=4294967301", {}},  // would wrap to 5 if narrowed
      {"3=1,3=4", {{3, 4}}},
      // clang-format on
  };
  for (const auto& [text, named] : cases) {
    const PelmUtil::detail::LevelTable table = PelmUtil::detail::ParseLogLevels(text);
    for (int subsystem = 0; subsystem < PelmUtil::CLog::kSubsystems; ++subsystem) {
      const auto found = named.find(subsystem);
      EXPECT_EQ(table[static_cast<std::size_t>(subsystem)],
                found == named.end() ? 1 : found->second)
          << "PELM_LOG_LEVEL=" << text << ", subsystem " << subsystem;
    }
  }
}

TEST(Log, WritesOneLineWithTheText) {
  char* buffer = nullptr;
  std::size_t size = 0;
  FILE* stream = open_memstream(&buffer, &size);
  ASSERT_NE(stream, nullptr);
  PelmUtil::CLog(0, stream).Get(2, 3) << "Grüße " << 42;
  std::fclose(stream);
  const std::string written(buffer, size);
  std::free(buffer);
  EXPECT_NE(written.find(" [3] Grüße 42\n"), std::string::npos) << written;
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1) << written;
  EXPECT_EQ(written.back(), '\n');
}

TEST(ClassName, DemanglesRunTimeTypeNames) {
  EXPECT_EQ(PelmUtil::className(typeid(std::pair<int, char>).name()), "std::pair<int, char>");
  EXPECT_EQ(PelmUtil::className("Not a mangled name"), "Not a mangled name");
  EXPECT_EQ(PelmUtil::className(nullptr), "");
}

}  // namespace
