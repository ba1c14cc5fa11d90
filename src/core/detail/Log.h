// Log lines of the value library, written through the utility layer's CLog as subsystem 3
// on the standard error stream. The macros test the level before building anything.
#pragma once

#include <cstdio>
#include <ostream>
#include <typeinfo>

#include "PelmUtils.h"

namespace kesmar::detail {

inline constexpr PelmUtil::TLogSubSys kLogSubsystem = 3;
inline constexpr PelmUtil::TLogLevel kLogError = 1;
inline constexpr PelmUtil::TLogLevel kLogDetail = 4;
inline constexpr PelmUtil::TLogLevel kLogLookup = 5;

// Errors are written unless the level table silences them; other levels only when the
// table asks for them.
bool LogEnabled(PelmUtil::TLogLevel level);

// Writes "<thread id in hex>:<class name>:<line>:<function>:" for a member function.
std::ostream& LogObjectPrefix(std::ostream& line, const std::type_info& type, int sourceLine,
                              const char* function);
// Writes "<source file base name>:<line>:<function>:" for a free function.
std::ostream& LogFunctionPrefix(std::ostream& line, const char* file, int sourceLine,
                                const char* function);

}  // namespace kesmar::detail

// Logs text (anything that streams, e.g. "value = " << v) from a member function of object.
#define KESMAR_LOG_OBJECT(level, object, function, text)                                    \
  do {                                                                                      \
    if (::kesmar::detail::LogEnabled(level)) {                                              \
      ::PelmUtil::CLog kesmarLog(::kesmar::detail::kLogSubsystem, stderr);                  \
      ::kesmar::detail::LogObjectPrefix(                                                    \
          kesmarLog.Get(level, ::kesmar::detail::kLogSubsystem), typeid(object), __LINE__,  \
          function)                                                                         \
          << text;                                                                          \
    }                                                                                       \
  } while (false)

// Logs text from a free function.
#define KESMAR_LOG_FUNCTION(level, function, text)                                           \
  do {                                                                                       \
    if (::kesmar::detail::LogEnabled(level)) {                                               \
      ::PelmUtil::CLog kesmarLog(::kesmar::detail::kLogSubsystem, stderr);                   \
      ::kesmar::detail::LogFunctionPrefix(                                                   \
          kesmarLog.Get(level, ::kesmar::detail::kLogSubsystem), __FILE__, __LINE__, function) \
          << text;                                                                           \
    }                                                                                        \
  } while (false)
