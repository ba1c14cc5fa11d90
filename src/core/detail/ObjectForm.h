// Reading members of the JSON object form, the map in which a described value arrives
// ({"type":..., "value":..., ...} with string keys).
#pragma once

#include "CKesmar.h"

namespace kesmar::detail {

// The member named key. Throws TypeMismatchException when object is not a map and
// std::out_of_range "invalid map<K, T> key" when the member is missing.
CKesmar ObjectMember(const CKesmar& object, const char* key);

// The member named key read with a handle accessor, e.g. ReadMember<&CKesmar::Int>; an
// accessor the member's type lacks throws TypeMismatchException.
template <auto Accessor>
decltype(auto) ReadMember(const CKesmar& object, const char* key) {
  return (ObjectMember(object, key).*Accessor)();
}

}  // namespace kesmar::detail
