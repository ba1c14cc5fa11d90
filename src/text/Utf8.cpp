#include "text/detail/Utf8.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace kesmar::detail {
namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

[[noreturn]] void ThrowBadConversion() { throw std::range_error("bad conversion"); }

// Continuation bytes that follow a lead byte, and the payload bits the lead byte carries.
struct Lead {
  int continuations;
  unsigned char payloadMask;
};

Lead ReadLead(unsigned char byte) {
  if (byte < 0xC0) ThrowBadConversion();  // a continuation byte where a code point begins
  if (byte < 0xE0) return {1, 0x1F};
  if (byte < 0xF0) return {2, 0x0F};
  if (byte < 0xF8) return {3, 0x07};
  if (byte < 0xFC) return {4, 0x03};
  return {5, 0x03};
}

// One multi-byte sequence: the code point and the continuation bytes it took.
struct Sequence {
  std::uint32_t value;
  int continuations;
};

// Reads the sequence that starts at bytes[i], a byte of 0x80 or above. Throws for a
// continuation byte in the lead's place, a sequence cut short, a byte that does not continue
// it, or a code point above U+10FFFF.
Sequence ReadSequence(const unsigned char* bytes, std::size_t size, std::size_t i) {
  const Lead lead = ReadLead(bytes[i]);
  if (size - i - 1 < static_cast<std::size_t>(lead.continuations)) ThrowBadConversion();
  // Six bytes carry up to 32 bits; anything above U+10FFFF is rejected below.
  std::uint32_t value = bytes[i] & lead.payloadMask;
  for (int k = 1; k <= lead.continuations; ++k) {
    const unsigned char next = bytes[i + static_cast<std::size_t>(k)];
    if ((next & 0xC0) != 0x80) ThrowBadConversion();
    value = (value << 6) | (next & 0x3Fu);
  }
  if (value > kMaxCodePoint) ThrowBadConversion();
  return {value, lead.continuations};
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string codePoints;
  codePoints.reserve(text.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    // Runs of ASCII, the common case, need no decoding.
    if (bytes[i] < 0x80) {
      codePoints.push_back(bytes[i++]);
      continue;
    }
    const Sequence sequence = ReadSequence(bytes, size, i);
    codePoints.push_back(static_cast<char32_t>(sequence.value));
    i += static_cast<std::size_t>(sequence.continuations) + 1;
  }
  return codePoints;
}

std::size_t CountCodePoints(std::string_view text, bool* canonical) {
  // The smallest code point each number of continuation bytes may carry in shortest form.
  static constexpr std::uint32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  constexpr bool kLittleEndian = std::endian::native == std::endian::little;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t count = 0;
  bool shortest = true;
  std::size_t i = 0;
  const auto continues = [bytes](std::size_t at) { return (bytes[at] & 0xC0) == 0x80; };
  while (i < size) {
    // ASCII eight bytes at a time, up to the first byte that is not.
    if (kLittleEndian && size - i >= sizeof(std::uint64_t)) {
      std::uint64_t word;
      std::memcpy(&word, bytes + i, sizeof word);
      const std::uint64_t high = word & kHighBits;
      const auto ascii = static_cast<std::size_t>(high == 0 ? 8 : std::countr_zero(high) / 8);
      i += ascii;
      count += ascii;
      if (ascii == 8) continue;
    } else if (bytes[i] < 0x80) {
      ++i;
      ++count;
      continue;
    }
    const unsigned char first = bytes[i];
    // The common shortest forms of two and three bytes (surrogates included, as decoded).
    if (first >= 0xC2 && first < 0xE0 && size - i >= 2 && continues(i + 1)) {
      i += 2;
      ++count;
      continue;
    }
    if (first >= 0xE0 && first < 0xF0 && size - i >= 3 && continues(i + 1) && continues(i + 2) &&
        (first != 0xE0 || bytes[i + 1] >= 0xA0)) {
      i += 3;
      ++count;
      continue;
    }
    // Everything else as the decoder reads it.
    const Sequence sequence = ReadSequence(bytes, size, i);
    // Five- and six-byte forms are never the shortest for a code point up to U+10FFFF.
    shortest = shortest && sequence.continuations <= 3 &&
               sequence.value >= kShortest[static_cast<std::size_t>(sequence.continuations)];
    ++count;
    i += static_cast<std::size_t>(sequence.continuations) + 1;
  }
  if (canonical != nullptr) *canonical = shortest;
  return count;
}

std::string EncodeUtf8(std::u32string_view codePoints) {
  std::string text;
  text.reserve(codePoints.size());
  for (const char32_t c : codePoints) {
    if (c < 0x80) {
      text.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      text.push_back(static_cast<char>(0xC0 | (c >> 6)));
      text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      text.push_back(static_cast<char>(0xE0 | (c >> 12)));
      text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c <= kMaxCodePoint) {
      text.push_back(static_cast<char>(0xF0 | (c >> 18)));
      text.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      text.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      ThrowBadConversion();
    }
  }
  return text;
}

}  // namespace kesmar::detail
