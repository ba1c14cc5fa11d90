#include "PelmUtils.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace PelmUtil {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));

// (to, from) character-set names. Maps keyed by them compare views, so that a lookup builds
// no strings.
using Names = std::pair<std::string_view, std::string_view>;
struct NamesLess {
  using is_transparent = void;
  template <class A, class B>
  bool operator()(const A& a, const B& b) const {
    return Names(a.first, a.second) < Names(b.first, b.second);
  }
};
template <class Value>
using ByNames = std::map<std::pair<std::string, std::string>, Value, NamesLess>;

// iconv descriptors are costly to open (the character-set modules are looked up, and a module
// is unloaded soon after the last descriptor using it closes), so they are reused. A thread
// holds the ones it has used, which keeps its conversions free of locks; when it exits they
// go to this process-wide pool instead of being closed, and later threads take them from
// here. So short-lived threads neither open descriptors of their own nor make the C library
// unload and reload its modules.
class IdleConverters {
  using Idle = std::vector<iconv_t>;

 public:
  // A descriptor and the idle list of its pair, where it goes back.
  struct Taken {
    iconv_t converter;
    Idle* idle;
  };

  static IdleConverters& Instance() {
    // Never destroyed, so threads may still exit and convert during static destruction; the
    // idle descriptors stay reachable from here until the process ends.
    static IdleConverters* const pool = new IdleConverters;
    return *pool;
  }

  // An idle descriptor from one set into another, or a newly opened one; kNoConverter if
  // iconv does not know them. Unknown names get no entry, so they cannot grow the pool (and
  // a failed open is cheap).
  Taken Take(const std::string& to, const std::string& from) {
    {
      std::lock_guard lock(m_mutex);
      const auto found = m_idle.find(Names(to, from));
      if (found != m_idle.end() && !found->second.empty()) {
        const iconv_t converter = found->second.back();
        found->second.pop_back();
        return {converter, &found->second};
      }
    }
    // Opened without the lock: a first open loads modules and may take a while.
    const iconv_t converter = iconv_open(to.c_str(), from.c_str());
    if (converter == kNoConverter) return {kNoConverter, nullptr};
    try {
      std::lock_guard lock(m_mutex);
      auto [entry, added] = m_idle.try_emplace(std::pair(to, from));
      // Room for all that may come back, so that giving back (at thread exit) never allocates.
      if (added) entry->second.reserve(m_maxIdle);
      return {converter, &entry->second};
    } catch (...) {
      iconv_close(converter);
      throw;
    }
  }

  // Keeps at most m_maxIdle descriptors per pair, enough for as many threads as the machine
  // runs at once to start without opening any; one beyond that is closed. The ones kept hold
  // the pair's modules, so closing the rest never unloads them.
  void GiveBack(const Taken& taken) {
    {
      std::lock_guard lock(m_mutex);
      if (taken.idle->size() < m_maxIdle) {
        taken.idle->push_back(taken.converter);
        return;
      }
    }
    iconv_close(taken.converter);
  }

 private:
  IdleConverters() : m_maxIdle(std::max(4U, std::thread::hardware_concurrency())) {}

  const std::size_t m_maxIdle;
  std::mutex m_mutex;
  // Entries are never erased, so a taken descriptor may hold on to its pair's list.
  ByNames<Idle> m_idle;
};

// The descriptors one thread holds, one per pair, for its use alone.
class ThreadConverters {
 public:
  ThreadConverters() = default;
  ThreadConverters(const ThreadConverters&) = delete;
  ThreadConverters& operator=(const ThreadConverters&) = delete;
  ~ThreadConverters() {
    for (const auto& [names, taken] : m_held) IdleConverters::Instance().GiveBack(taken);
  }

  // The descriptor from one set into another, or kNoConverter if iconv does not know them.
  iconv_t Get(const std::string& to, const std::string& from) {
    const auto found = m_held.find(Names(to, from));
    if (found != m_held.end()) return found->second.converter;
    const IdleConverters::Taken taken = IdleConverters::Instance().Take(to, from);
    if (taken.converter == kNoConverter) return kNoConverter;
    try {
      m_held.try_emplace(std::pair(to, from), taken);
    } catch (...) {
      IdleConverters::Instance().GiveBack(taken);
      throw;
    }
    return taken.converter;
  }

 private:
  ByNames<IdleConverters::Taken> m_held;
};

thread_local ThreadConverters t_converters;

// Runs one whole conversion, appending to out. Strict: any invalid, truncated or
// unrepresentable input fails, and out is left as it was.
template <class Output>
bool Convert(const std::string& to, const std::string& from, const char* input,
             std::size_t length, Output& out) {
  const iconv_t converter = t_converters.Get(to, from);
  if (converter == kNoConverter) return false;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial state

  const std::size_t originalSize = out.size();
  std::array<char, 4096> buffer;
  char* in = const_cast<char*>(input);  // iconv's signature; the input is not written
  std::size_t inLeft = length;
  bool flushed = false;
  while (!flushed) {
    char* next = buffer.data();
    std::size_t room = buffer.size();
    // With no input left, one more call writes any closing shift sequence.
    const std::size_t result = inLeft > 0 ? iconv(converter, &in, &inLeft, &next, &room)
                                          : iconv(converter, nullptr, nullptr, &next, &room);
    const bool full = result == static_cast<std::size_t>(-1) && errno == E2BIG;
    out.insert(out.end(), buffer.data(), next);
    // Another error, or a character converted only approximately, fails the whole text.
    if ((result == static_cast<std::size_t>(-1) && !full) ||
        (result != static_cast<std::size_t>(-1) && result > 0)) {
      out.resize(originalSize);
      return false;
    }
    flushed = inLeft == 0 && !full && result != static_cast<std::size_t>(-1) &&
              next == buffer.data();
  }
  return true;
}

// True for the plain "UTF-16" set, whose byte order this layer decides itself (iconv's own
// choice is the host order). iconv reads names case-insensitively, so this does too.
bool IsPlainUtf16(const std::string& encoding) {
  static constexpr std::string_view kNames[] = {"UTF-16", "UTF16"};
  for (const std::string_view name : kNames) {
    if (std::equal(encoding.begin(), encoding.end(), name.begin(), name.end(), [](char a, char b) {
          return std::toupper(static_cast<unsigned char>(a)) == b;
        })) {
      return true;
    }
  }
  return false;
}

// iconv's "//TRANSLIT" and "//IGNORE" suffixes substitute or drop characters, and the loss
// goes unreported once the output spans more than one buffer; names carrying them are refused.
bool HasSuffix(const std::string& encoding) { return encoding.find('/') != std::string::npos; }

}  // namespace

bool toUTF8(const std::string& encoding, const unsigned char* data, int length,
            std::string& out) {
  if (length < 0 || (data == nullptr && length > 0) || HasSuffix(encoding)) return false;
  const char* bytes = reinterpret_cast<const char*>(data);
  auto count = static_cast<std::size_t>(length);
  std::string from = encoding;
  if (IsPlainUtf16(encoding)) {
    // A byte-order mark decides; without one the text is big-endian.
    from = "UTF-16BE";
    if (count >= 2) {
      const bool little = data[0] == 0xFF && data[1] == 0xFE;
      const bool big = data[0] == 0xFE && data[1] == 0xFF;
      if (little) from = "UTF-16LE";
      if (little || big) {
        bytes += 2;
        count -= 2;
      }
    }
  }
  return Convert("UTF-8", from, bytes, count, out);
}

bool fromUTF8(const std::string& encoding, const char* utf8, int length,
              std::vector<unsigned char>& out) {
  if (length < 0 || (utf8 == nullptr && length > 0) || HasSuffix(encoding)) return false;
  const auto count = static_cast<std::size_t>(length);
  if (IsPlainUtf16(encoding)) {
    const std::size_t originalSize = out.size();
    out.push_back(0xFE);
    out.push_back(0xFF);
    if (Convert("UTF-16BE", "UTF-8", utf8, count, out)) return true;
    out.resize(originalSize);
    return false;
  }
  return Convert(encoding, "UTF-8", utf8, count, out);
}

}  // namespace PelmUtil
