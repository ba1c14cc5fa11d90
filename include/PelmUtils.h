// PelmUtil: the small utility layer beside the value library: line logging with a level
// table per subsystem, readable class names, strict character-set conversion to and from
// UTF-8, and thread groups. Nothing here knows about values. Every function is safe to call
// from any thread; CLog::m_Level is a plain pointer that is set before threads start.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#define PELM_API
#else
#define PELM_API __attribute__((visibility("default")))
#endif

namespace PelmUtil {

// Log levels: 0 off, 1 errors, 2 warnings, 3 information, 4 details, 5 lookups and above.
using TLogLevel = int;
// Log subsystems index the level table; the value library logs as subsystem 3.
using TLogSubSys = int;

// One log line: write it into Get()'s stream; the destructor emits it to the stream given at
// construction as one write, so lines of concurrent loggers never interleave.
class PELM_API CLog {
 public:
  CLog(TLogSubSys subsystem, FILE* stream);
  CLog(const CLog&) = delete;
  CLog& operator=(const CLog&) = delete;
  ~CLog();

  // The stream that takes the line's text.
  std::ostringstream& Get(TLogLevel level, TLogSubSys subsystem);

  // Null (no table), or levels indexed by subsystem (kSubsystems entries). Loading the
  // library points it at a table read from PELM_LOG_LEVEL, e.g. "3=5" or "3=5,0=1", when
  // that variable is set; unnamed subsystems then log errors only.
  static TLogLevel* m_Level;
  static constexpr int kSubsystems = 16;

 private:
  TLogSubSys m_subsystem;
  TLogLevel m_level = 0;
  FILE* m_stream;
  std::ostringstream m_line;
};

// The readable (demangled) class name of a run-time type name; the input when it is not a
// mangled name.
PELM_API std::string className(const char* typeName);

// Converts length bytes in the named character set into UTF-8, appending to out. "UTF-16"
// honours a byte-order mark and reads big-endian without one. Returns false for an unknown
// set, a name with an iconv "//" suffix, invalid or truncated input, or a character that
// cannot be represented; out is then left as it was.
PELM_API bool toUTF8(const std::string& encoding, const unsigned char* data, int length,
                     std::string& out);
// Converts length bytes of UTF-8 into the named character set, appending to out. "UTF-16"
// writes the mark FE FF and big-endian units. Returns false like toUTF8.
PELM_API bool fromUTF8(const std::string& encoding, const char* utf8, int length,
                       std::vector<unsigned char>& out);

// Thread groups: the threads of one running sequence share a group id. A thread is in no
// group until added.
class PELM_API ThreadGroup {
 public:
  // The thread's group, or the empty id when it has none.
  static std::thread::id GetThreadGroupId(std::thread::id thread);
  // Puts the thread into the group (replacing an earlier group).
  static void Add(std::thread::id thread, std::thread::id group);
  // Takes the thread out of its group.
  static void Remove(std::thread::id thread);
};

}  // namespace PelmUtil
