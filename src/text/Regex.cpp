#define PCRE2_CODE_UNIT_WIDTH 8
#include "text/detail/Regex.h"

#include <pcre2.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "COtxException.h"

namespace kesmar::detail {
namespace {

using Clock = std::chrono::steady_clock;

// ECMAScript semantics on bytes: no UTF or Unicode properties, `$` only at the very end,
// `\u` escapes, `[]` as an empty class, unset back-references match the empty string.
constexpr uint32_t kCompileOptions = PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS |
                                     PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY |
                                     PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C;

// A search may take a fixed time plus a time per byte of text, and each start position may
// take a fixed number of matching steps plus a number per byte (the engine restarts that count
// at every start position). Work linear in the text thus completes on any size, at 10 MB/s
// or faster, while runaway backtracking still ends.
constexpr auto kBudgetBase = std::chrono::milliseconds(100);
constexpr auto kBudgetPerByte = std::chrono::nanoseconds(100);
constexpr uint64_t kMatchLimitBase = 1'000'000;
constexpr uint64_t kMatchLimitPerByte = 2;
// Memory stays bounded whatever the text.
constexpr uint32_t kDepthLimit = 25'000;
constexpr uint32_t kHeapLimitKiB = 4 * 1024;
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 8 * 1024 * 1024;

// A short pattern whose every match attempt reads a bounded number of bytes costs little at
// each start position, so it runs as it is, keeping the JIT's start-of-match optimisations,
// over kPlainChunk start positions per call with the clock read in between. A start position
// that needs more than kPlainMatchLimit steps hands the rest of the search to the guarded run.
constexpr size_t kPlainReach = 256;
constexpr size_t kPlainSize = 256;
constexpr uint32_t kPlainMatchLimit = 32;
constexpr size_t kPlainChunk = 64 * 1024;
// Any other pattern runs behind a callout at every start position, which reads the clock
// every kClockStride calls. One start position may cost up to its match limit, so reading it
// rarely would let a run of cheap start positions hide the costly ones that follow.
constexpr std::string_view kBudgetCallout = "(?C255)";
constexpr uint32_t kClockStride = 16;

constexpr size_t kCacheCapacity = 16;

// Stands for a reach that has no bound or is not known.
constexpr size_t kUnbounded = std::numeric_limits<size_t>::max();

[[noreturn]] void ThrowInvalid() {
  throw COtxException(OTX::OutOfBoundsException, "invalid regular expression");
}

// Returns a + b, saturating at kUnbounded.
size_t AddReach(size_t a, size_t b) { return a > kUnbounded - b ? kUnbounded : a + b; }

// Returns a * b, saturating at kUnbounded.
size_t MulReach(size_t a, size_t b) { return a != 0 && b > kUnbounded / a ? kUnbounded : a * b; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool IsAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Returns the number of decimal digits at in[i], their (saturated) value in value.
size_t ReadDigits(std::string_view in, size_t i, size_t& value) {
  size_t j = i;
  for (value = 0; j < in.size() && IsDigit(in[j]); ++j) {
    value = AddReach(MulReach(value, 10), static_cast<size_t>(in[j] - '0'));
  }
  return j - i;
}

// Returns the length and the upper bound of the `{n}`, `{n,}` or `{n,m}` quantifier at in[i];
// length 0 when the brace is an ordinary character.
std::pair<size_t, size_t> ReadBraces(std::string_view in, size_t i) {
  size_t min = 0;
  size_t max = 0;
  size_t j = i + 1;
  const size_t digits = ReadDigits(in, j, min);
  if (digits == 0) return {0, 0};
  j += digits;
  max = min;
  if (j < in.size() && in[j] == ',') {
    const size_t maxDigits = ReadDigits(in, ++j, max);
    if (maxDigits == 0) max = kUnbounded;
    j += maxDigits;
  }
  if (j >= in.size() || in[j] != '}') return {0, 0};
  return {j + 1 - i, max};
}

// Returns the length of the escape at in[i] (a backslash) and the most bytes it reads: 0 for
// assertions, kUnbounded for back-references and for escapes that ECMAScript does not define,
// which are left to PCRE2.
std::pair<size_t, size_t> ReadEscape(std::string_view in, size_t i) {
  if (i + 1 == in.size()) return {1, kUnbounded};
  const char c = in[i + 1];
  const auto hex = [&](size_t digits) -> size_t {
    const std::string_view rest = in.substr(i + 2, digits);
    return rest.size() == digits && std::all_of(rest.begin(), rest.end(), IsHex) ? 2 + digits : 2;
  };
  switch (c) {
    case 'b':
    case 'B':
      return {2, 0};
    case 'x':
      return {hex(2), 1};
    case 'u':
      return {hex(4), 1};
    case 'c':
      return {std::min<size_t>(3, in.size() - i), 1};
    case 'Q': {  // PCRE2 quotes everything up to `\E`
      const size_t end = in.find("\\E", i + 2);
      return {end == std::string_view::npos ? in.size() - i : end + 2 - i, kUnbounded};
    }
    default:
      break;
  }
  if (c >= '1' && c <= '9') {
    size_t group = 0;
    return {1 + ReadDigits(in, i + 1, group), kUnbounded};
  }
  if (!IsAlnum(c) || std::string_view("dDsSwWfnrtv0").find(c) != std::string_view::npos) {
    return {2, 1};
  }
  return {2, kUnbounded};
}

// Appends the escape in[i, i + length) to out, ECMAScript's `\v` (the vertical tab alone,
// where PCRE2 reads the class of vertical white space) as `\x0b`.
void AppendEscape(std::string_view in, size_t i, size_t length, std::string& out) {
  if (length == 2 && in[i + 1] == 'v') {
    out += "\\x0b";
  } else {
    out += in.substr(i, length);
  }
}

// Appends the character class at in[i] (a `[`) to out and returns the index after it. As in
// ECMAScript the first `]` closes it (`[]` is the empty class, `[^]` any byte); a `[:name:]`
// item inside is taken whole, as both readers take it.
size_t AppendClass(std::string_view in, size_t i, std::string& out) {
  out += '[';
  if (++i < in.size() && in[i] == '^') out += in[i++];
  while (i < in.size() && in[i] != ']') {
    if (in[i] == '\\' && i + 1 < in.size()) {
      AppendEscape(in, i, 2, out);
      i += 2;
      continue;
    }
    if (in[i] == '[' && i + 1 < in.size() &&
        std::string_view(":.=").find(in[i + 1]) != std::string_view::npos) {
      const char terminator[] = {in[i + 1], ']', '\0'};
      const size_t end = in.find(terminator, i + 2);
      if (end != std::string_view::npos && in.find(']', i + 2) == end + 1) {
        out += in.substr(i, end + 2 - i);
        i = end + 2;
        continue;
      }
    }
    out += in[i++];
  }
  if (i < in.size()) out += in[i++];
  return i;
}

// A pattern in PCRE2 syntax and a bound on the bytes one match attempt reads from where it
// starts (kUnbounded when there is none or it is not known).
struct Translation {
  std::string pattern;
  size_t reach = 0;
};

// Rewrites an ECMAScript pattern for PCRE2 and bounds its reach (a look-ahead counts as if it
// consumed what it reads). A quantifier after a quantifier repeats the repeated atom, as
// ECMAScript reads it, where PCRE2 would reject it or read `+` as possessive: `a{2}*` becomes
// `(?:a{2})*`, `a*+` becomes `(?:a*)+`. A `?` right after a quantifier is its lazy mark; a
// further quantifier repeats again. Throws when a quantifier has nothing to repeat.
Translation Translate(std::string_view in) {
  // An open group: where its `(` is in out, the longest reach of its finished alternatives
  // and the reach of the current one up to the atom in hand.
  struct Group {
    size_t open;
    size_t longest;
    size_t length;
  };
  std::vector<Group> groups{{0, 0, 0}};
  std::string out;
  out.reserve(in.size() + 8);
  size_t atom = std::string::npos;  // where the item a quantifier would repeat starts in out
  size_t atomReach = 0;
  bool quantified = false;  // the atom carries a quantifier ...
  bool lazy = false;        // ... and its lazy mark
  bool extension = false;   // PCRE2 syntax that ECMAScript does not have
  const auto fold = [&] {
    groups.back().length = AddReach(groups.back().length, atomReach);
    atomReach = 0;
  };
  const auto beginAtom = [&](size_t reach) {
    fold();
    atom = out.size();
    atomReach = reach;
    quantified = lazy = false;
  };
  for (size_t i = 0; i < in.size();) {
    const char c = in[i];
    const size_t braces = c == '{' ? ReadBraces(in, i).first : 0;
    if (c == '*' || c == '+' || c == '?' || braces != 0) {
      if (c == '?' && quantified && !lazy) {
        lazy = true;
        out += in[i++];
        continue;
      }
      if (atom == std::string::npos) ThrowInvalid();
      if (quantified) {
        out.insert(atom, "(?:");
        out += ')';
      }
      const size_t length = braces != 0 ? braces : 1;
      const size_t max = braces != 0 ? ReadBraces(in, i).second : c == '?' ? 1 : kUnbounded;
      atomReach = MulReach(atomReach, max);
      quantified = true;
      lazy = false;
      out += in.substr(i, length);
      i += length;
    } else if (c == '\\') {
      const auto [length, reach] = ReadEscape(in, i);
      beginAtom(reach);
      AppendEscape(in, i, length, out);
      i += length;
    } else if (c == '[') {
      beginAtom(1);
      i = AppendClass(in, i, out);
    } else if (c == '(' && in.substr(i, 3) == "(?#") {  // a PCRE2 comment, copied whole
      const size_t end = std::min(in.find(')', i), in.size() - 1);
      beginAtom(kUnbounded);
      out += in.substr(i, end + 1 - i);
      i = end + 1;
    } else if (c == '(') {
      fold();
      size_t length = 1;
      if (i + 1 < in.size() && in[i + 1] == '?') {
        // `(?:`, `(?=`, `(?!` or a PCRE2 extension: `(?` and the character after it, unless
        // that opens the condition of a conditional group.
        const char kind = i + 2 < in.size() ? in[i + 2] : '(';
        length = kind == '(' ? 2 : 3;
        extension |= std::string_view(":=!").find(kind) == std::string_view::npos;
      }
      groups.push_back({out.size(), 0, 0});
      out += in.substr(i, length);
      i += length;
      atom = std::string::npos;
    } else if (c == ')' && groups.size() > 1) {
      fold();
      const Group group = groups.back();
      groups.pop_back();
      out += in[i++];
      atom = group.open;
      atomReach = std::max(group.longest, group.length);
      quantified = lazy = false;
    } else if (c == '|') {
      fold();
      groups.back().longest = std::max(groups.back().longest, groups.back().length);
      groups.back().length = 0;
      out += in[i++];
      atom = std::string::npos;
    } else {
      // `^` and `$` read nothing; an unmatched `)` is left for PCRE2 to report.
      beginAtom(c == '^' || c == '$' ? 0 : c == ')' ? kUnbounded : 1);
      out += in[i++];
    }
  }
  fold();
  const bool known = !extension && groups.size() == 1;
  return {std::move(out), known ? std::max(groups[0].longest, groups[0].length) : kUnbounded};
}

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const noexcept { Free(p); }
};
template <typename T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Deleter<T, Free>>;

using Code = Owned<pcre2_code, pcre2_code_free>;
using CompileContext = Owned<pcre2_compile_context, pcre2_compile_context_free>;
using MatchContext = Owned<pcre2_match_context, pcre2_match_context_free>;
using MatchData = Owned<pcre2_match_data, pcre2_match_data_free>;
using JitStack = Owned<pcre2_jit_stack, pcre2_jit_stack_free>;

// The time a search may still take, checked by the callout.
struct Budget {
  Clock::time_point deadline{};
  uint32_t untilClock = kClockStride;
};

// Returns an error, which ends the search, once the deadline has passed; reads the clock
// every kClockStride calls.
int BudgetCallout(pcre2_callout_block*, void* data) {
  Budget& budget = *static_cast<Budget*>(data);
  if (--budget.untilClock != 0) return 0;
  budget.untilClock = kClockStride;
  return Clock::now() > budget.deadline ? PCRE2_ERROR_CALLOUT : 0;
}

// Returns the answer for a result code of pcre2_match; throws for a failed search.
bool Answer(int rc) {
  if (rc >= 0) return true;
  if (rc == PCRE2_ERROR_NOMATCH) return false;
  ThrowInvalid();
}

// Everything a thread needs to search: contexts, the JIT stack, reusable match data and the
// most recently used compiled patterns. Nothing here is shared between threads.
class ThreadEngine {
 public:
  ThreadEngine()
      : m_compile(pcre2_compile_context_create(nullptr)),
        m_plain(pcre2_match_context_create(nullptr)),
        m_guarded(pcre2_match_context_create(nullptr)),
        m_data(pcre2_match_data_create(1, nullptr)),
        m_jitStack(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr)) {
    if (!m_compile || !m_plain || !m_guarded || !m_data) throw std::bad_alloc();
    pcre2_set_newline(m_compile.get(), PCRE2_NEWLINE_ANYCRLF);
    for (pcre2_match_context* context : {m_plain.get(), m_guarded.get()}) {
      pcre2_set_depth_limit(context, kDepthLimit);
      pcre2_set_heap_limit(context, kHeapLimitKiB);
      if (m_jitStack) pcre2_jit_stack_assign(context, nullptr, m_jitStack.get());
    }
    pcre2_set_match_limit(m_plain.get(), kPlainMatchLimit);
    pcre2_set_callout(m_guarded.get(), BudgetCallout, &m_budget);
  }

  bool Search(std::string_view pattern, std::string_view text) {
    Entry& entry = Lookup(pattern);
    const auto subject = reinterpret_cast<PCRE2_SPTR>(text.data());
    m_budget.deadline =
        Clock::now() + kBudgetBase + kBudgetPerByte * static_cast<int64_t>(text.size());
    size_t start = 0;  // no match starts before it
    if (entry.plain) {
      for (;; start += kPlainChunk) {
        pcre2_set_offset_limit(m_plain.get(), start + kPlainChunk - 1);
        const int rc = pcre2_match(entry.plain.get(), subject, text.size(), start, 0, m_data.get(),
                                   m_plain.get());
        if (rc == PCRE2_ERROR_MATCHLIMIT) break;
        if (rc != PCRE2_ERROR_NOMATCH || start + kPlainChunk > text.size()) return Answer(rc);
        if (Clock::now() > m_budget.deadline) ThrowInvalid();
      }
    }
    if (!entry.guarded) entry.guarded = Compile(std::string(kBudgetCallout) + entry.translated, 0);
    pcre2_set_match_limit(m_guarded.get(),
                          static_cast<uint32_t>(std::min<uint64_t>(
                              kMatchLimitBase + kMatchLimitPerByte * text.size(), UINT32_MAX)));
    m_budget.untilClock = kClockStride;
    return Answer(pcre2_match(entry.guarded.get(), subject, text.size(), start, 0, m_data.get(),
                              m_guarded.get()));
  }

 private:
  // A pattern, its translation and its compiled forms: plain (no callout, start positions
  // limited per call) for patterns that cost little at each start position, guarded (with the
  // budget callout) for the others and for whatever the plain run could not finish.
  struct Entry {
    std::string pattern;
    std::string translated;
    Code plain;
    Code guarded;
  };

  // Returns the compiled translated pattern; throws when it does not compile.
  Code Compile(const std::string& translated, uint32_t options) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    Code code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()), translated.size(),
                            kCompileOptions | options, &error, &offset, m_compile.get()));
    if (!code) ThrowInvalid();
    // Without JIT support (or memory for it) the interpreter runs the same pattern.
    (void)pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);
    return code;
  }

  // Returns the cache entry for the pattern (moved to the front), compiling it when missing
  // and evicting the least recently used entry when the cache is full; throws when the pattern
  // does not compile.
  Entry& Lookup(std::string_view pattern) {
    for (size_t i = 0; i < m_cache.size(); ++i) {
      if (m_cache[i].pattern == pattern) {
        std::rotate(m_cache.begin(), m_cache.begin() + static_cast<std::ptrdiff_t>(i),
                    m_cache.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        return m_cache.front();
      }
    }
    Translation translation = Translate(pattern);
    Entry entry{std::string(pattern), std::move(translation.pattern), nullptr, nullptr};
    if (translation.reach <= kPlainReach && entry.translated.size() <= kPlainSize) {
      entry.plain = Compile(entry.translated, PCRE2_USE_OFFSET_LIMIT);
    } else {
      entry.guarded = Compile(std::string(kBudgetCallout) + entry.translated, 0);
    }
    if (m_cache.size() == kCacheCapacity) m_cache.pop_back();
    m_cache.insert(m_cache.begin(), std::move(entry));
    return m_cache.front();
  }

  CompileContext m_compile;
  MatchContext m_plain;
  MatchContext m_guarded;
  MatchData m_data;
  JitStack m_jitStack;
  Budget m_budget;
  std::vector<Entry> m_cache;
};

}  // namespace

bool SearchRegularExpression(std::string_view pattern, std::string_view text) {
  thread_local ThreadEngine engine;
  return engine.Search(pattern, text);
}

}  // namespace kesmar::detail
