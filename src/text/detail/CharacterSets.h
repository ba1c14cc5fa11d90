// What the string encodings have in common in both directions (bytes to text and text to
// bytes): which ones the utility layer's character-set converters handle, and how an
// encoding is named in failure messages.
#pragma once

#include <string>

#include "COtxException.h"
#include "COtxStringEncoding.h"

namespace kesmar::detail {

// Encodings converted by PelmUtil::toUTF8 / fromUTF8.
inline bool IsCharacterSet(COtxStringEncoding::Encoding encoding) {
  switch (encoding) {
    case COtxStringEncoding::ISO_8859_1:
    case COtxStringEncoding::UTF_16BE:
    case COtxStringEncoding::UTF_16LE:
    case COtxStringEncoding::UTF_16:
    case COtxStringEncoding::ISO_8859_2:
    case COtxStringEncoding::WINDOWS_1252:
      return true;
    default:
      return false;
  }
}

// The encoding's name, or "encoding <n>" for a number outside the table.
inline std::string EncodingName(COtxStringEncoding::Encoding encoding) {
  const std::string& name = COtxStringEncoding::String(encoding);
  return name.empty() ? "encoding " + std::to_string(static_cast<int>(encoding)) : name;
}

[[noreturn]] inline void ThrowUnsupportedEncoding(COtxStringEncoding::Encoding encoding) {
  throw COtxException(OTX::UnsupportedEncodingException, EncodingName(encoding));
}

}  // namespace kesmar::detail
