// The JSON text of a floating-point number, shared by the values that carry one.
#pragma once

#include <string>

namespace kesmar::detail {

// The text of a float in JSON. Plain form: the display text, or null when not finite.
// Object form: at full precision the shortest text that reads back to the same double,
// below it the display text; the strings "NaN", "Infinity", "-Infinity" when not finite.
std::string JsonFloatText(double value, int precision, bool objectForm);

}  // namespace kesmar::detail
