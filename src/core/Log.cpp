#include "core/detail/Log.h"

#include <cstring>
#include <ios>
#include <thread>

namespace kesmar::detail {

bool LogEnabled(PelmUtil::TLogLevel level) {
  const PelmUtil::TLogLevel* table = PelmUtil::CLog::m_Level;
  if (table == nullptr) return level == kLogError;
  return table[kLogSubsystem] >= level;
}

std::ostream& LogObjectPrefix(std::ostream& line, const std::type_info& type, int sourceLine,
                              const char* function) {
  line << std::hex << std::this_thread::get_id() << std::dec << ':'
       << PelmUtil::className(type.name()) << ':' << sourceLine << ':' << function << ':';
  return line;
}

std::ostream& LogFunctionPrefix(std::ostream& line, const char* file, int sourceLine,
                                const char* function) {
  const char* base = std::strrchr(file, '/');
  line << (base != nullptr ? base + 1 : file) << ':' << sourceLine << ':' << function << ':';
  return line;
}

}  // namespace kesmar::detail
