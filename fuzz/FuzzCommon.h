// Shared parts of the fuzz harnesses: quiet logging, and running one library call so that
// the failures the library reports are accepted and anything else stops the run.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "CKesmar.h"
#include "COtxException.h"
#include "COtxQuantity.h"
#include "OtxUnitSpec.h"
#include "PelmUtils.h"

namespace kesmar_fuzz {

// Turns library logging off once: the fuzzers call it millions of times.
inline void QuietLogging() {
  static PelmUtil::TLogLevel levels[PelmUtil::CLog::kSubsystems] = {};
  PelmUtil::CLog::m_Level = levels;
}

// Loads data/units.xml, the known unit specification.
inline void LoadDefaultUnits() {
  std::ifstream xml(KESMAR_UNITS_XML);
  OTX::Initialise(xml);
}

[[noreturn]] inline void Finding(const char* what, const std::string& detail) {
  std::fprintf(stderr, "FINDING: %s: %s\n", what, detail.c_str());
  std::abort();
}

// The standard exceptions that the library documents for bad input, recognised by type and
// message; every other exception is a finding.
inline bool IsDocumentedFailure(const std::exception& failure) {
  const std::string_view text = failure.what();
  if (dynamic_cast<const std::out_of_range*>(&failure) != nullptr) {
    return text == "invalid map<K, T> key" || text == "invalid string position";
  }
  if (dynamic_cast<const std::range_error*>(&failure) != nullptr) return text == "bad conversion";
  if (dynamic_cast<const std::invalid_argument*>(&failure) != nullptr) {
    return text == "invalid stoi argument";
  }
  if (dynamic_cast<const std::runtime_error*>(&failure) != nullptr) {
    for (const std::string_view prefix :
         {"XMLParsingException ", "Class key not registered: ", "Unregistered exception: ",
          "Bitmask > 64 bits unsupported"}) {
      if (text.substr(0, prefix.size()) == prefix) return true;
    }
  }
  return false;
}

// Runs call; true when it returned, false when it threw a reported failure.
template <class Call>
bool Try(Call&& call) {
  try {
    call();
    return true;
  } catch (const COtxException&) {
    return false;
  } catch (const CKesmar& value) {
    if (value.Type() != OTX::EXCEPTION) Finding("value thrown", value.stringType());
    return false;
  } catch (const std::exception& failure) {
    if (!IsDocumentedFailure(failure)) Finding("unexpected exception", failure.what());
    return false;
  } catch (...) {
    Finding("unexpected exception", "not a std::exception");
  }
}

// Whether a value holds a float (or quantity) that is NaN: NaN != NaN, so such a value is
// legitimately unequal to its own copy and the read-back comparison cannot hold.
inline bool HoldsNaN(const CKesmar& value) {
  bool nan = false;
  Try([&] {
    switch (value.Type()) {
      case OTX::FLOAT:
        nan = value.Float() != value.Float();
        break;
      case OTX::QUANTITY: {
        const double number = value.Quantity().Value().Float();
        nan = number != number;
        break;
      }
      case OTX::LIST:
        for (const auto& element : value.List()) nan = nan || HoldsNaN(element);
        break;
      case OTX::MAP:
        for (const auto& [key, element] : value.Map()) {
          nan = nan || HoldsNaN(key) || HoldsNaN(element);
        }
        break;
      default:
        break;
    }
  });
  return nan;
}

}  // namespace kesmar_fuzz
