// The one place that raises the type-mismatch exception, and the texts of standard
// exceptions that the library words itself.
#pragma once

#include <string>

namespace kesmar::detail {

// Throws COtxException TypeMismatchException with the message (may be empty).
[[noreturn]] void ThrowTypeMismatch(const std::string& message = {});

// Throws COtxException OutOfBoundsException with the message (may be empty).
[[noreturn]] void ThrowOutOfBounds(const std::string& message = {});

// Text of the std::out_of_range raised for a missing member of an object-form map.
inline constexpr const char* kMissingMapKey = "invalid map<K, T> key";

}  // namespace kesmar::detail
