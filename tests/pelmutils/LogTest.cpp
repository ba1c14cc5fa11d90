#include "pelmutils/detail/LogLevels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <typeinfo>
#include <vector>

#include "PelmUtils.h"

namespace kesmar_probe {
struct Foo {};
template <class T>
struct Box {};
}  // namespace kesmar_probe

namespace {

TEST(LogLevels, ParsesPairsAndSkipsWhatItCannotRead) {
  struct Case {
    const char* text;
    std::map<int, int> named;  // every other subsystem must be 1
  };
  const Case kCases[] = {
      {"", {}},
      {"3=5", {{3, 5}}},
      {"3=5,0=1", {{3, 5}, {0, 1}}},
      {"0=0,15=4", {{0, 0}, {15, 4}}},
      {" 3 = 5 , 7=2", {{3, 5}, {7, 2}}},
      {"3=5,garbage,7=2", {{3, 5}, {7, 2}}},
      {"3=5x,7=2", {{7, 2}}},
      {"3=,=4,7=2,,", {{7, 2}}},
      {"16=5,99=5,-1=5,2=-3", {}},
      {"3=4294967301", {}},  // would wrap to 5 if narrowed
      {"3=1,3=4", {{3, 4}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string("PELM_LOG_LEVEL=") + c.text);
    const PelmUtil::detail::LevelTable table = PelmUtil::detail::ParseLogLevels(c.text);
    for (int subsystem = 0; subsystem < PelmUtil::CLog::kSubsystems; ++subsystem) {
      const auto named = c.named.find(subsystem);
      EXPECT_EQ(table[static_cast<std::size_t>(subsystem)], named == c.named.end() ? 1 : named->second)
          << "subsystem " << subsystem;
    }
  }
}

TEST(Log, WritesOneLineWithTheText) {
  char* buffer = nullptr;
  std::size_t size = 0;
  FILE* stream = open_memstream(&buffer, &size);
  ASSERT_NE(stream, nullptr);
  {
    PelmUtil::CLog log(0, stream);
    log.Get(2, 3) << "Grüße " << 42;
  }
  std::fclose(stream);
  const std::string written(buffer, size);
  std::free(buffer);
  EXPECT_NE(written.find("Grüße 42"), std::string::npos) << written;
  EXPECT_NE(written.find("[3]"), std::string::npos) << written;
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1) << written;
  EXPECT_EQ(written.back(), '\n');
}

TEST(ClassName, DemanglesRunTimeTypeNames) {
  EXPECT_EQ(PelmUtil::className(typeid(kesmar_probe::Foo).name()), "kesmar_probe::Foo");
  EXPECT_EQ(PelmUtil::className(typeid(kesmar_probe::Box<int>).name()), "kesmar_probe::Box<int>");
  EXPECT_EQ(PelmUtil::className(typeid(int).name()), "int");
  EXPECT_EQ(PelmUtil::className("Not a mangled name"), "Not a mangled name");
  EXPECT_EQ(PelmUtil::className(""), "");
  EXPECT_EQ(PelmUtil::className(nullptr), "");
}

}  // namespace
