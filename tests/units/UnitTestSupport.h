// Small unit specifications written inline, and loading them.
#pragma once

#include <sstream>
#include <string>

#include "OtxUnitSpec.h"

namespace kesmar::test {

inline std::string UnitXml(const std::string& id, const std::string& factor,
                           const std::string& dimension, const std::string& offset = "0",
                           const std::string& display = "") {
  return "<units><id>" + id + "</id><displayName>" + (display.empty() ? id : display) +
         "</displayName><siFactor>" + factor + "</siFactor><siOffset>" + offset +
         "</siOffset><physicalDimensionRef>" + dimension + "</physicalDimensionRef></units>";
}

// exponents: the exponent elements, e.g. "<lengthExponent>1</lengthExponent>".
inline std::string DimensionXml(const std::string& id, const std::string& exponents = "") {
  return "<physicalDimensions><id>" + id + "</id>" + exponents + "</physicalDimensions>";
}

inline std::string Exponent(const std::string& quantity, int exponent) {
  return "<" + quantity + "Exponent>" + std::to_string(exponent) + "</" + quantity + "Exponent>";
}

inline void Load(const std::string& xml) {
  std::istringstream stream(xml);
  OTX::Initialise(stream);
}

// Length, area, velocity, mass, time, temperature, "none", and "distance": length with an
// explicit zero mass exponent, which sorts first among the dimensions of exponent length 1.
// Groups: "us" (COUNTRY: mi, ft, in and a broken reference), "metric" (COUNTRY: km, m,
// degC), "lengths" (EQUIV_UNITS, without names).
inline std::string SmallSpec() {
  return "<unitSpec>" + DimensionXml("none") + DimensionXml("length", Exponent("length", 1)) +
         DimensionXml("distance", Exponent("length", 1) + Exponent("mass", 0)) +
         DimensionXml("area", Exponent("length", 2)) +
         DimensionXml("velocity", Exponent("length", 1) + Exponent("time", -1)) +
         DimensionXml("mass", Exponent("mass", 1)) + DimensionXml("time", Exponent("time", 1)) +
         DimensionXml("temperature", Exponent("temperature", 1)) + UnitXml("km", "1000", "length") +
         UnitXml("m", "1", "length") + UnitXml("cm", "0.01", "length") +
         UnitXml("mi", "1609.344", "length") + UnitXml("ft", "0.3048", "length") +
         UnitXml("in", "0.0254", "length") + UnitXml("yard", "1", "distance") +
         UnitXml("m2", "1", "area") + UnitXml("m/s", "1", "velocity") + UnitXml("kg", "1", "mass") +
         UnitXml("s", "1", "time") + UnitXml("K", "1", "temperature") +
         UnitXml("degC", "1", "temperature", "273.15", "&#xB0;C") +
         "<unitGroups><id>us</id><category>COUNTRY</category><unitRef>mi</unitRef>"
         "<unitRef>nowhere</unitRef><unitRef>ft</unitRef><unitRef>in</unitRef>"
         "<name><language>en</language><text>United States</text></name>"
         "<name><language>de</language><text>Vereinigte Staaten</text></name></unitGroups>"
         "<unitGroups><id>metric</id><category>COUNTRY</category><unitRef>km</unitRef>"
         "<unitRef>m</unitRef><unitRef>degC</unitRef></unitGroups>"
         "<unitGroups><id>lengths</id><category>EQUIV_UNITS</category><unitRef>m</unitRef>"
         "</unitGroups></unitSpec>";
}

}  // namespace kesmar::test
