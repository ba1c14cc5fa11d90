#include "PelmUtils.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <cxxabi.h>
#include <memory>
#include <string_view>
#include <system_error>

#include "detail/LogLevels.h"

namespace PelmUtil {
namespace {

// Points at a table read from PELM_LOG_LEVEL; null when the variable is not set.
TLogLevel* LevelTableFromEnvironment() {
  const char* setting = std::getenv("PELM_LOG_LEVEL");
  if (setting == nullptr) return nullptr;
  static detail::LevelTable table = detail::ParseLogLevels(setting);
  return table.data();
}

// The non-negative decimal number that is all of text (spaces around it allowed), or false.
bool ReadNumber(std::string_view text, int& value) {
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  if (first == std::string_view::npos) return false;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin < '0' || *begin > '9') return false;  // no sign
  const auto [stop, error] = std::from_chars(begin, end, value);
  return error == std::errc() && stop == end;
}

const char* LevelName(TLogLevel level) {
  static constexpr std::array<const char*, 6> names = {"NONE", "ERROR", "WARNING",
                                                       "INFO", "DEBUG", "TRACE"};
  return level >= 0 && level < static_cast<int>(names.size())
             ? names[static_cast<std::size_t>(level)]
             : "TRACE";
}

}  // namespace

namespace detail {

LevelTable ParseLogLevels(const char* text) {
  LevelTable table;
  table.fill(1);
  std::string_view rest = text == nullptr ? std::string_view() : std::string_view(text);
  while (!rest.empty()) {
    const auto comma = rest.find(',');
    const std::string_view pair = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    const auto equals = pair.find('=');
    int subsystem = 0;
    int level = 0;
    if (equals == std::string_view::npos || !ReadNumber(pair.substr(0, equals), subsystem) ||
        !ReadNumber(pair.substr(equals + 1), level) || subsystem >= CLog::kSubsystems) {
      continue;
    }
    table[static_cast<std::size_t>(subsystem)] = level;
  }
  return table;
}

}  // namespace detail

TLogLevel* CLog::m_Level = LevelTableFromEnvironment();

CLog::CLog(TLogSubSys subsystem, FILE* stream) : m_subsystem(subsystem), m_stream(stream) {}

std::ostringstream& CLog::Get(TLogLevel level, TLogSubSys subsystem) {
  m_level = level;
  m_subsystem = subsystem;
  return m_line;
}

CLog::~CLog() {
  if (m_stream == nullptr) return;
  const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  std::array<char, 32> stamp{};
  std::strftime(stamp.data(), stamp.size(), "%Y-%m-%d %H:%M:%S", &local);
  std::string line = std::string(stamp.data()) + " " + LevelName(m_level) + " [" +
                     std::to_string(m_subsystem) + "] " + m_line.str() + "\n";
  std::fwrite(line.data(), 1, line.size(), m_stream);
  std::fflush(m_stream);
}

std::string className(const char* typeName) {
  if (typeName == nullptr) return {};
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(typeName, nullptr, nullptr, &status), &std::free);
  return status == 0 && demangled ? std::string(demangled.get()) : std::string(typeName);
}

}  // namespace PelmUtil
