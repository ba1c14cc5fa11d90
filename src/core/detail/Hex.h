// Upper-case hexadecimal text of bytes, two digits per byte without separators.
#pragma once

#include <cstddef>
#include <string>

namespace kesmar::detail {

// Appends the digits to out.
inline void AppendHexText(std::string& out, const unsigned char* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const std::size_t start = out.size();
  out.resize(start + count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    out[start + 2 * i] = kDigits[bytes[i] >> 4];
    out[start + 2 * i + 1] = kDigits[bytes[i] & 0x0F];
  }
}

inline std::string HexText(const unsigned char* bytes, std::size_t count) {
  std::string text;
  AppendHexText(text, bytes, count);
  return text;
}

}  // namespace kesmar::detail
