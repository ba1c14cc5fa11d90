#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "COtxBool.h"
#include "COtxInt.h"
#include "COtxString.h"
#include "TestSupport.h"

namespace {

// Searches through the public string operation, as the interpreter does.
bool Search(std::string_view pattern, std::string_view text) {
  return COtxString(std::string(text))
      .String()
      .MatchToRegularExpression(COtxString(std::string(pattern)))
      .Bool();
}

// Ordinary ECMAScript patterns on short texts, where std::regex is safe to ask. The engine's
// extensions (lookbehind, named groups, possessive quantifiers, atomic groups) are left out.
const std::pair<const char*, const char*> kDifferential[] = {
    // clang-format off
    {"abc", "xxabcxx"}, {"abc", "ab"}, {"^abc", "abcd"}, {"^abc", "xabc"}, {"abc$", "xabc"},
    {"abc$", "abc\n"}, {"a.c", "a\nc"}, {"a.c", "a\rc"}, {"a.c", "abc"}, {"[0-9]+", "abc123"},
    {"\\d{3}", "12"}, {"\\w+\\s\\w+", "hello world"}, {"\\bfoo\\b", "a foo b"},
    {"\\bfoo\\b", "afoob"}, {"(a|b)*c", "ababab"}, {"(a|b)*c", "ababc"}, {"colou?r", "color"},
    {"x{2,3}", "x"}, {"[^a-z]", "abc"}, {"[^a-z]", "abC"}, {"\\x41", "A"}, {"\\u0041", "A"},
    {"\\v", "\x0b"}, {"\\v", "\n"}, {"\\\\v", "\\v"}, {"[\\v]", "\f"}, {"(a)\\1", "aa"},
    {"(a)\\1", "ab"}, {"(?=ab)a", "ab"}, {"(?!ab)a", "ab"}, {"(?:ab)+", "abab"}, {"a*?b", "aaab"},
    {"\\.", "a"}, {"[.]", "."}, {"\\t", "a\tb"}, {"\\f", "a\fb"}, {"^$", ""}, {"", "anything"},
    {"[\\s\\S]", "\n"}, {"a|", "b"}, {"\xc3\xa9", "caf\xc3\xa9"}, {"caf.$", "caf\xc3\xa9"},
    // A quantifier after a quantifier repeats the repeated atom; `?` right after one is lazy.
    {"a**", "b"}, {"a{2}*", "a"}, {"a{1,3}*?b", "aab"}, {"a{1,3}+[a-c]+", "aax_"},
    {"(ab)?+$", "x"}, {"\\v?*", "\x0b"}, {"[]a]*+", "a"}, {"^a{2}?$", ""}, {"^a{2}??$", ""},
    // clang-format on
};

TEST(Regex, AgreesWithEcmaScriptOnOrdinaryPatterns) {
  for (const auto& [pattern, text] : kDifferential) {
    EXPECT_EQ(Search(pattern, text), std::regex_search(text, std::regex(pattern)))
        << "pattern " << pattern << " text " << text;
  }
}

// A random pattern of up to eight items over a small alphabet, groups closed at the end. A
// quantifier follows an atom or up to two other quantifiers (std::regex takes exponential time
// on longer stacks).
std::string RandomPattern(std::mt19937& random) {
  static const char* const kAtoms[] = {"a",   "b", ".", "[ab]", "[^a]", "\\d", "\\w",
                                       "\\s", "^", "$", "(",    "(?:",  "|",   ")"};
  static const char* const kQuantifiers[] = {"*",     "+",  "?",  "{2}", "{1,}",
                                             "{0,2}", "*?", "+?", "??",  "{1,3}?"};
  std::string pattern;
  int open = 0;
  int quantifiers = -1;  // in a row so far; -1 where none may follow
  for (auto n = random() % 8 + 1; n > 0; --n) {
    const bool quantifier = quantifiers >= 0 && quantifiers < 3 && random() % 3 == 0;
    const std::string item = quantifier ? kQuantifiers[random() % std::size(kQuantifiers)]
                                        : kAtoms[random() % std::size(kAtoms)];
    if (item == ")" && open == 0) continue;
    open += item[0] == '(' ? 1 : item == ")" ? -1 : 0;
    if (quantifier) {
      ++quantifiers;
    } else {
      quantifiers = item == "(" || item == "(?:" || item == "|" ? -1 : 0;
    }
    pattern += item;
  }
  return pattern + std::string(static_cast<size_t>(open), ')');
}

// Every generated pattern that std::regex accepts is accepted here and finds the same answer.
TEST(Regex, AgreesWithStdRegexOnGeneratedPatterns) {
  const char* const texts[] = {"", "ab", "aax_", "ba1", "a b\nb", "bbaab"};
  std::mt19937 random(7);
  int wrong = 0;
  std::string examples;
  for (int i = 0; i < 3000; ++i) {
    const std::string pattern = RandomPattern(random);
    std::regex expected;
    try {
      expected = std::regex(pattern);
    } catch (const std::regex_error&) {
      continue;  // either answer will do
    }
    for (const char* text : texts) {
      bool same = false;
      try {
        same = Search(pattern, text) == std::regex_search(text, expected);
      } catch (const COtxException&) {
      }
      if (!same) {
        if (++wrong <= 5) examples += " '" + pattern + "' on '" + text + "'";
        break;
      }
    }
  }
  EXPECT_EQ(wrong, 0) << examples;
}

// Where std::regex cannot be asked: libstdc++ fails an unset back-reference, which ECMAScript
// matches as empty, and the engine reads bytes (é is two characters for `.`, NUL is ordinary).
TEST(Regex, UnsetBackReferencesAndBytes) {
  EXPECT_TRUE(Search("(a)?\\1b", "b"));
  EXPECT_TRUE(Search("^caf..$", "caf\xc3\xa9"));
  EXPECT_TRUE(Search(std::string_view("a\0b", 3), std::string_view("xa\0b", 4)));
  EXPECT_TRUE(Search("[\\x80-\\xff]", "\xff"));
}

TEST(Regex, InvalidPatternsThrow) {
  for (const char* pattern :
       {"(", "[a", "a{2,1}", "*a", "(?<", "\\", "a)", "(*LIMIT_MATCH=9)a", "\\C", "(*UTF)a"}) {
    EXPECT_OTX_THROW(Search(pattern, "a"), OTX::OutOfBoundsException, "invalid regular expression");
  }
  EXPECT_OTX_THROW(COtxString("a").String().MatchToRegularExpression(COtxInt(1)),
                   OTX::OutOfBoundsException, "invalid regular expression");
}

TEST(Regex, PathologicalSearchesEndWithinTheBudget) {
  const std::pair<const char*, std::string> cases[] = {
      // clang-format off
      {"(a*)*b", std::string(40, 'a')}, {"(a|aa)+$", std::string(5000, 'a') + "b"},
      {"(x+x+)+y", std::string(2000, 'x')}, {"^(\\w+\\s?)*$", std::string(3000, 'a') + "!"},
      {"(a|b)*c", std::string(200'000, 'a')}, {"(.*a){20}", std::string(100'000, 'a')},
      {"\\w*\\w*[!?]", std::string(1400, 'a')},
      // Cheap start positions, then costly ones that a clock read rarely would not see in time.
      {"(?:a|b)*(?:y|z)", std::string(8000, 'b') + std::string(200'000, 'a')},
      // Quadratic work that the engine's match limit does not count.
      {"(?=a*(?:y|z))", std::string(300'000, 'a')}};
  // clang-format on
  for (const auto& [pattern, text] : cases) {
    const auto start = std::chrono::steady_clock::now();
    try {
      (void)Search(pattern, text);  // either answer will do, as long as it comes quickly
    } catch (const COtxException& e) {
      EXPECT_EQ(e.Exception().GetId(), OTX::OutOfBoundsException);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << pattern;
  }
  // A deep but ordinary search must not be mistaken for a pathological one.
  EXPECT_TRUE(Search("(a|b)*c", std::string(12'000, 'a') + "c"));
  EXPECT_FALSE(Search("needle", std::string(1'000'000, 'h')));
  // Heavy backtracking far into the text, in a pattern that reads a bounded number of bytes.
  EXPECT_TRUE(Search("(?:a|aa){1,25}b", std::string(70'000, 'b') + std::string(20, 'a') + "c" +
                                            std::string(20, 'a') + "b"));
}

// Searches whose work is linear in the text complete however long the text is.
TEST(Regex, LinearSearchesCompleteOnLargeTexts) {
  std::string text;
  while (text.size() < (16u << 20)) text += "the quick brown fox jumps over the lazy dog, then ";
  text += "haystackneedle";
  for (const char* pattern :
       {"needle", "[a-z]needle", "\\w+needle", "(?:fox|dog),? \\w+ \\w+needle"}) {
    SCOPED_TRACE(pattern);
    EXPECT_TRUE(Search(pattern, text));
  }
}

// 21 distinct patterns, more than the per-thread cache holds, recurring at irregular distances.
TEST(Regex, CacheKeepsAnswersApartWhenFull) {
  for (int i = 0; i < 120; ++i) {
    const std::string number = std::to_string(i * i % 41);
    EXPECT_TRUE(Search("^" + number + "$", number));
    EXPECT_FALSE(Search("^" + number + "$", number + "0"));
  }
}

TEST(ThreadsRegex, ConcurrentSearchesAreIndependent) {
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      const std::string digit = std::to_string(t);
      for (int i = 0; i < 200; ++i) {
        if (!Search(digit + "+$", "x" + digit + digit)) ++wrong[t];
        if (Search(digit + "{3}", digit + digit)) ++wrong[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
