// JSON text of values and values from JSON text.
//
// Writing: every value has a plain form (CKesmar::ToJSON() with the OTX-JSON flag clear: a
// bare JSON value) and an object form (flag set: {"type":"<type name>","value":...} plus the
// members needed to read it back exactly). Every text written is valid JSON: strings, map
// keys and other quoted texts are escaped, byte fields and exceptions are quoted in the plain
// form, and non-finite floats are null (plain) or the strings "NaN", "Infinity", "-Infinity"
// (object form).
//
// Reading happens in two stages: FromJSON parses text into a generic tree (objects become
// MAP values with STRING keys, arrays LIST values, numbers INTEGER or FLOAT values), and
// OtxMapToKesmar turns one object form into the typed value it describes.
//
// All functions are safe to call from any thread on values no other thread changes.
#pragma once

#include <map>
#include <string>

#include "CKesmar.h"
#include "KesmarExport.h"

namespace OTX {

// The deepest nesting of arrays and objects that FromJSON accepts; deeper input is a parse
// error ("JSON parse error: Nesting deeper than 512 levels. offset: <n>").
inline constexpr int kMaxJSONDepth = 512;

// {"<key>":<value's ToJSON()>,...} for a MAP value whose keys are strings, in map order.
// A key of another type throws TypeMismatchException.
KESMAR_API CKesmar OtxMapToJSON(const CKesmar& map);
// The same for named values, in the std::map's order.
KESMAR_API CKesmar OtxVarMapToJSON(std::map<const std::string, CKesmar>& map);

// Parses NUL-terminated JSON text. true: result is the document's value. false: result is
// a STRING "JSON parse error: <message> offset: <bytes from the start>". Numbers without
// fraction or exponent that fit 64 bits become INTEGERs (values above the signed range keep
// their bits, so they turn negative), other numbers FLOATs of precision 16, converted
// exactly; strings are cut at an embedded NUL; a repeated object member keeps its first
// value.
KESMAR_API bool FromJSON(const char* text, CKesmar& result);
// The document's value, or the error text as a STRING; text is read up to its first NUL.
KESMAR_API CKesmar FromJSON(const std::string& text);

// The typed value an object form (a MAP with "type" and "value" members) describes, made by
// the value factory (KesmarFactory.h lists the types that read back). A missing "value"
// throws std::out_of_range "invalid map<K, T> key"; every other failure throws
// TypeMismatchException "Error: <cause> Parsing <object text>".
KESMAR_API CKesmar OtxMapToKesmar(const CKesmar& object);
// Replaces every value of map by OtxMapToKesmar of it, in place. Entries that fail are
// logged and left as they were.
KESMAR_API void OtxObjectMapToOtxMap(CKesmar& map);
// The entries of map as named typed values; the first failure is thrown.
KESMAR_API std::map<const std::string, CKesmar> OtxObjectMapToOtxVarMap(const CKesmar& map);

}  // namespace OTX
