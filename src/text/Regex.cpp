#define PCRE2_CODE_UNIT_WIDTH 8
#include "text/detail/Regex.h"

#include <pcre2.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
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
                                     PCRE2_NEVER_UTF | PCRE2_NEVER_UCP |
                                     PCRE2_NEVER_BACKSLASH_C;

// Limits per start position (the engine restarts its counters at each one) ...
constexpr uint32_t kMatchLimit = 1'000'000;
constexpr uint32_t kDepthLimit = 25'000;
constexpr uint32_t kHeapLimitKiB = 4 * 1024;
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 8 * 1024 * 1024;
// ... and a budget for the whole search, enforced by a callout at every start position.
constexpr auto kSearchBudget = std::chrono::milliseconds(100);
constexpr std::string_view kBudgetCallout = "(?C255)";

constexpr size_t kCacheCapacity = 16;

[[noreturn]] void ThrowInvalid() {
  throw COtxException(OTX::OutOfBoundsException, "invalid regular expression");
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

// ECMAScript's `\v` is the vertical tab alone; PCRE2's is the class of vertical white space.
// Rewrites it outside escaped backslashes, and puts the budget callout in front.
std::string Translate(std::string_view pattern) {
  std::string out(kBudgetCallout);
  out.reserve(kBudgetCallout.size() + pattern.size() + 8);
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '\\' || i + 1 == pattern.size()) {
      out += pattern[i];
    } else if (pattern[++i] == 'v') {
      out += "\\x0b";
    } else {
      out += '\\';
      out += pattern[i];
    }
  }
  return out;
}

int BudgetCallout(pcre2_callout_block*, void* deadline) {
  return Clock::now() > *static_cast<Clock::time_point*>(deadline) ? PCRE2_ERROR_CALLOUT : 0;
}

// Everything a thread needs to search: contexts, the JIT stack, reusable match data and the
// most recently used compiled patterns. Nothing here is shared between threads.
class ThreadEngine {
 public:
  ThreadEngine()
      : m_compile(pcre2_compile_context_create(nullptr)),
        m_match(pcre2_match_context_create(nullptr)),
        m_data(pcre2_match_data_create(1, nullptr)),
        m_jitStack(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr)) {
    if (!m_compile || !m_match || !m_data) throw std::bad_alloc();
    pcre2_set_newline(m_compile.get(), PCRE2_NEWLINE_ANYCRLF);
    pcre2_set_match_limit(m_match.get(), kMatchLimit);
    pcre2_set_depth_limit(m_match.get(), kDepthLimit);
    pcre2_set_heap_limit(m_match.get(), kHeapLimitKiB);
    pcre2_set_callout(m_match.get(), BudgetCallout, &m_deadline);
    if (m_jitStack) pcre2_jit_stack_assign(m_match.get(), nullptr, m_jitStack.get());
  }

  bool Search(std::string_view pattern, std::string_view text) {
    const pcre2_code* code = Compiled(pattern);
    m_deadline = Clock::now() + kSearchBudget;
    const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0,
                               0, m_data.get(), m_match.get());
    if (rc >= 0) return true;
    if (rc == PCRE2_ERROR_NOMATCH) return false;
    ThrowInvalid();
  }

 private:
  struct Entry {
    std::string pattern;
    Code code;
  };

  // Looks the pattern up in the cache (most recent first) or compiles it, evicting the least
  // recently used entry when the cache is full.
  const pcre2_code* Compiled(std::string_view pattern) {
    for (size_t i = 0; i < m_cache.size(); ++i) {
      if (m_cache[i].pattern == pattern) {
        std::rotate(m_cache.begin(), m_cache.begin() + static_cast<std::ptrdiff_t>(i),
                    m_cache.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        return m_cache.front().code.get();
      }
    }
    const std::string translated = Translate(pattern);
    int error = 0;
    PCRE2_SIZE offset = 0;
    Code code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()), translated.size(),
                            kCompileOptions, &error, &offset, m_compile.get()));
    if (!code) ThrowInvalid();
    // Without JIT support (or memory for it) the interpreter runs the same pattern.
    (void)pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);
    if (m_cache.size() == kCacheCapacity) m_cache.pop_back();
    m_cache.insert(m_cache.begin(), Entry{std::string(pattern), std::move(code)});
    return m_cache.front().code.get();
  }

  CompileContext m_compile;
  MatchContext m_match;
  MatchData m_data;
  JitStack m_jitStack;
  Clock::time_point m_deadline{};
  std::vector<Entry> m_cache;
};

}  // namespace

bool SearchRegularExpression(std::string_view pattern, std::string_view text) {
  thread_local ThreadEngine engine;
  return engine.Search(pattern, text);
}

}  // namespace kesmar::detail
