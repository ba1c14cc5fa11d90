// A second reading of a "unitSpec" document for the tool: where each unit, dimension and
// group stands, and which elements the library's reader passes over without a word. The
// reading follows the library's rules for children (an unknown child, or a second one of a
// child that may occur once, ends the reading of its parent) and is hardened as the library's
// reader is: nothing outside the text is read and no entity is expanded.
#pragma once

#include <string>
#include <vector>

namespace kesmar::tool {

struct Located {
  std::string text;
  unsigned long long line = 0;
  unsigned long long column = 0;
};

struct OutlineUnit {
  Located id;  // position of the "units" element
  std::string dimension;
};

struct OutlineGroup {
  Located id;  // position of the "unitGroups" element
  std::vector<Located> unitRefs;
};

struct UnitSpecOutline {
  // "line L, column C: ..." for every element read past, in document order.
  std::vector<std::string> ignored;
  std::vector<OutlineUnit> units;
  std::vector<Located> dimensions;  // ids, positions of the "physicalDimensions" elements
  std::vector<OutlineGroup> groups;
};

// "line L, column C: message".
std::string At(const Located& where, const std::string& message);

// The outline of document. Throws std::runtime_error "line L, column C: <parser's message>"
// for a document that is not well formed or asks for an entity.
UnitSpecOutline ReadOutline(const std::string& document);

}  // namespace kesmar::tool
