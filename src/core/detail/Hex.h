// Upper-case hexadecimal text of bytes, two digits per byte without separators.
#pragma once

#include <cstddef>
#include <string>

namespace kesmar::detail {

inline std::string HexText(const unsigned char* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text(count * 2, '\0');
  for (std::size_t i = 0; i < count; ++i) {
    text[2 * i] = kDigits[bytes[i] >> 4];
    text[2 * i + 1] = kDigits[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace kesmar::detail
