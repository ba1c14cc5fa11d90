#include "PelmUtils.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <map>
#include <string_view>
#include <utility>

namespace PelmUtil {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));

// iconv descriptors are costly to open (the character-set modules are looked up each time),
// so every thread keeps the ones it has used; a descriptor is never shared between threads.
class ConverterCache {
 public:
  ConverterCache() = default;
  ConverterCache(const ConverterCache&) = delete;
  ConverterCache& operator=(const ConverterCache&) = delete;
  ~ConverterCache() {
    for (auto& [names, converter] : m_converters) {
      if (converter != kNoConverter) iconv_close(converter);
    }
  }

  // The descriptor from one set into another, or kNoConverter if iconv does not know them.
  iconv_t Get(const std::string& to, const std::string& from) {
    auto [entry, added] = m_converters.try_emplace({to, from}, kNoConverter);
    if (added) entry->second = iconv_open(to.c_str(), from.c_str());
    return entry->second;
  }

 private:
  std::map<std::pair<std::string, std::string>, iconv_t> m_converters;
};

thread_local ConverterCache t_converters;

// Runs one whole conversion, appending to out. Strict: any invalid, truncated or
// unrepresentable input fails, and out is left as it was.
template <class Output>
bool Convert(const std::string& to, const std::string& from, const char* input,
             std::size_t length, Output& out) {
  iconv_t converter = t_converters.Get(to, from);
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
