// Free functions that work on any value: deep copies of container trees, named parameters
// read from a parameter map with a type check, conversion between MAP values with string keys
// and std::map, and the component's identity. All are safe to call from any thread on values
// that no other thread changes at the same time.
#pragma once

#include <map>
#include <string>

#include "CKesmar.h"
#include "KesmarExport.h"

namespace OTX {

// A copy of value in which every list and map is new (with the OTX-JSON flag false); keys
// and all other values are shared with the source.
KESMAR_API CKesmar DeepCopy(const CKesmar& value);

// The parameter called name in the parameter map params. Throws std::runtime_error "Missing
// parameter: <name>" when params is not a map or has no such entry, and "Incorrect parameter
// type: <type name found>" when type is not EMPTY and differs from the parameter's type.
KESMAR_API CKesmar GetParameter(const CKesmar& params, const std::string& name,
                                OTX::ValueType type);

// Like GetParameter, but a missing parameter gives defaultValue, which is type-checked too.
KESMAR_API CKesmar GetOptionalParameter(const CKesmar& params, const std::string& name,
                                        const CKesmar& defaultValue, OTX::ValueType type);

// The entries of a MAP value with string keys, by key text. Throws TypeMismatchException for
// a value that is not a map or a key that is not a string.
KESMAR_API std::map<const std::string, CKesmar> ValMap(const CKesmar& map);

// A new MAP value with the key COtxString(name) for each entry; values are shared.
KESMAR_API CKesmar OtxMap(const std::map<const std::string, CKesmar>& values);

}  // namespace OTX

namespace Kesmar {

// "Kesmar".
KESMAR_API const std::string& GetComponentName();
// The library's version, e.g. "0.1.0".
KESMAR_API const std::string& GetComponentVersion();
// When the library was built, e.g. "Dec  6 2026 09:30:00".
KESMAR_API const std::string& GetComponentDate();

}  // namespace Kesmar
