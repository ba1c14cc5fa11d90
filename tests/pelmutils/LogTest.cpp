#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "PelmUtils.h"
#include "pelmutils/detail/LogLevels.h"

namespace {

TEST(LogLevels, ParsesPairsAndSkipsWhatItCannotRead) {
  // Subsystems not named must be at level 1.
  const std::pair<const char*, std::map<int, int>> cases[] = {
      // clang-format off
      {"", {}}, {"3=5,0=1", {{3, 5}, {0, 1}}}, {"0=0,15=4", {{0, 0}, {15, 4}}},
      {" 3 = 5 , 7=2", {{3, 5}, {7, 2}}}, {"3=5,garbage,7=2", {{3, 5}, {7, 2}}},
      {"3=5x,7=2", {{7, 2}}}, {"3=,=4,7=2,,", {{7, 2}}}, {"16=5,99=5,-1=5,2=-3", {}},
      {"3=4294967301", {}},  // would wrap to 5 if narrowed
      {"3=1,3=4", {{3, 4}}},
      // clang-format on
  };
  for (const auto& [text, named] : cases) {
    const PelmUtil::detail::LevelTable table = PelmUtil::detail::ParseLogLevels(text);
    for (int subsystem = 0; subsystem < PelmUtil::CLog::kSubsystems; ++subsystem) {
      const auto found = named.find(subsystem);
      EXPECT_EQ(table[static_cast<std::size_t>(subsystem)],
                found == named.end() ? 1 : found->second)
          << "PELM_LOG_LEVEL=" << text << ", subsystem " << subsystem;
    }
  }
}

TEST(Log, WritesOneLineWithTheText) {
  char* buffer = nullptr;
  std::size_t size = 0;
  FILE* stream = open_memstream(&buffer, &size);
  ASSERT_NE(stream, nullptr);
  PelmUtil::CLog(0, stream).Get(2, 3) << "Grüße " << 42;
  std::fclose(stream);
  const std::string written(buffer, size);
  std::free(buffer);
  EXPECT_NE(written.find(" [3] Grüße 42\n"), std::string::npos) << written;
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1) << written;
  EXPECT_EQ(written.back(), '\n');
}

TEST(ClassName, DemanglesRunTimeTypeNames) {
  EXPECT_EQ(PelmUtil::className(typeid(std::pair<int, char>).name()), "std::pair<int, char>");
  EXPECT_EQ(PelmUtil::className("Not a mangled name"), "Not a mangled name");
  EXPECT_EQ(PelmUtil::className(nullptr), "");
}

}  // namespace
