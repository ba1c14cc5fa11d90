// A realistic document for the JSON benchmarks, generated deterministically: the object form
// of a LIST of 20,000 values of every kind a test sequence exchanges (integers with display
// radixes, floats with display precisions, strings with escapes and non-ASCII text, byte
// fields, Booleans, quantities, enumeration values, and nested lists and maps of them),
// about 2 MB of text.
#pragma once

#include <string>

#include "CKesmar.h"

namespace kesmar::bench {

constexpr int kDocumentValues = 20000;

// Loads data/units.xml of this source tree (quantities need their units).
void LoadDefaultUnits();

// The typed tree: a LIST of kDocumentValues values (each nested value counts once at the top).
// Loads the default units first.
CKesmar DocumentTree();

// The tree's object form (the document the JSON benchmarks read); ~2 MB.
const std::string& DocumentText();

}  // namespace kesmar::bench
