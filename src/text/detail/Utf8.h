// UTF-8 decoding into code points and encoding back, as the string operations count text.
// Plain functions with no state, so any number of threads may call them at once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kesmar::detail {

// The code points of text. Lead bytes announce 1 to 5 continuation bytes (the historical 5-
// and 6-byte forms included); over-long forms and surrogates are decoded as written. Throws
// std::range_error "bad conversion" for a stray continuation byte, a bad or missing
// continuation byte, or a code point above U+10FFFF.
std::u32string DecodeUtf8(std::string_view text);

// The number of code points DecodeUtf8(text) gives, with the same checks and the same
// exception, without building them; runs of ASCII are counted eight bytes at a time. When
// canonical is given, it is set to whether every sequence is the shortest form of its code
// point: then texts and code-point sequences correspond one to one, and a byte search finds
// exactly what a code-point search finds.
std::size_t CountCodePoints(std::string_view text, bool* canonical = nullptr);

// The shortest UTF-8 form of each code point. Throws std::range_error "bad conversion" for
// a code point above U+10FFFF.
std::string EncodeUtf8(std::u32string_view codePoints);

}  // namespace kesmar::detail
