// COtxLogLevel: the OTX LogLevel. An integer of type LOG_LEVEL whose text is "ALL", "TRACE",
// "DEBUG", "INFO", "WARN", "ERROR", "FATAL" or "OFF"; its object form is the integer's.
// Immutable and safe to share between threads.
#pragma once

#include <string>

#include "CKesmar.h"
#include "COtxEnumeratedBehaviour.h"
#include "KesmarExport.h"

// A new log level; never throws. Its object form does not read back: the value factory
// makes no LOG_LEVEL, so OTX::OtxMapToKesmar reports "Class key not registered".
class KESMAR_API COtxLogLevel : public CKesmar {
 public:
  enum LogLevel : int {
    ALL = 0,
    TRACE = 1,
    DEBUG = 2,
    INFO = 3,
    WARN = 4,
    ERROR = 5,
    FATAL = 6,
    OFF = 7,
  };

  // A number outside the enumeration is kept and renders as "".
  explicit COtxLogLevel(LogLevel level);
  // The level named name exactly (case-sensitive); ALL for any other text.
  explicit COtxLogLevel(const std::string& name);
  COtxLogLevel(const COtxLogLevel&) = default;
  COtxLogLevel(COtxLogLevel&&) = default;
  COtxLogLevel& operator=(const COtxLogLevel&) = default;
  COtxLogLevel& operator=(COtxLogLevel&&) = default;
  ~COtxLogLevel() override;
};

// The log level's implementation: its name table over the integer behaviour.
class KESMAR_API COtxLogLevelBehaviour : public COtxEnumeratedBehaviour {
 public:
  explicit COtxLogLevelBehaviour(long long level);

 protected:
  std::span<const std::string_view> Names() const override;
};
