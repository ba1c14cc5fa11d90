// The reader of "unitSpec" XML documents, over the Xerces-C DOM parser. The parser reads
// nothing but the given stream: no external DTD or entity is loaded, no entity is expanded,
// no schema is consulted. REQUIRES: the Xerces-C platform is initialised.
#pragma once

#include <istream>
#include <stdexcept>
#include <string>

#include "units/detail/UnitTables.h"

namespace kesmar::detail {

// A document that the reader rejects; what() is the diagnostics, each with line and column.
class UnitSpecError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The content of the document in xml. Children may come in any order; an unknown child, or a
// second one of a child that may occur once, ends the reading of its parent (it and its later
// siblings are ignored). Throws UnitSpecError for a document that is not well formed, a root
// other than "unitSpec" (in no namespace), a missing required child, a "category" other than
// "COUNTRY" and "EQUIV_UNITS", and numbers outside the XML Schema forms of double and int.
UnitDocument ReadUnitSpec(std::istream& xml);

}  // namespace kesmar::detail
