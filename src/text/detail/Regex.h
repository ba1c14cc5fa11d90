// Regular-expression search for string values: ECMAScript-style patterns on bytes, run by
// PCRE2 with JIT, bounded in memory, recursion and time so that no pattern can crash or hang
// the process.
#pragma once

#include <string_view>

namespace kesmar::detail {

// Whether pattern matches somewhere in text. Throws COtxException OutOfBoundsException
// "invalid regular expression" when the pattern does not compile or the search exceeds the
// engine's limits or its time budget, which grow with the length of text.
bool SearchRegularExpression(std::string_view pattern, std::string_view text);

}  // namespace kesmar::detail
