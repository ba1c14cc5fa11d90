#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "PelmUtils.h"

namespace {

using PelmUtil::ThreadGroup;

TEST(ThreadGroup, AddLookUpReplaceRemove) {
  const std::thread::id self = std::this_thread::get_id();
  std::thread::id other;
  std::thread([&other] { other = std::this_thread::get_id(); }).join();

  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), std::thread::id());
  ThreadGroup::Add(other, self);
  ThreadGroup::Add(self, self);
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), self);
  ThreadGroup::Add(other, other);  // replaces the earlier group
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), other);
  ThreadGroup::Remove(other);
  ThreadGroup::Remove(other);  // removing twice is harmless
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), std::thread::id());
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(self), self);
  ThreadGroup::Remove(self);
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(self), std::thread::id());
}

// Each thread joins a group, converts through several sets, checks its group and logs a line;
// run under ThreadSanitizer in CI.
TEST(ThreadsPelmUtil, ConversionsAndGroupsFromManyThreads) {
  const std::string text = "Grüße, Čeština € 𝄞";
  const std::thread::id leader = std::this_thread::get_id();
  char* buffer = nullptr;
  std::size_t size = 0;
  FILE* stream = open_memstream(&buffer, &size);
  ASSERT_NE(stream, nullptr);
  std::atomic<int> failures{0};
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < 8; ++t) {
      threads.emplace_back([&, t] {
        const std::thread::id self = std::this_thread::get_id();
        ThreadGroup::Add(self, leader);
        for (int round = 0; round < 200; ++round) {
          for (const char* encoding : {"UTF-16", "UTF-16LE", "ISO-8859-2", "WINDOWS-1252"}) {
            const std::string sample = encoding[0] == 'U' ? text : "Grüße";
            std::vector<unsigned char> encoded;
            std::string decoded;
            if (!PelmUtil::fromUTF8(encoding, sample.data(), static_cast<int>(sample.size()),
                                    encoded) ||
                !PelmUtil::toUTF8(encoding, encoded.data(), static_cast<int>(encoded.size()),
                                  decoded) ||
                decoded != sample) {
              ++failures;
            }
          }
          if (ThreadGroup::GetThreadGroupId(self) != leader) ++failures;
        }
        PelmUtil::CLog(0, stream).Get(3, 0) << "thread " << t << " done";
        ThreadGroup::Remove(self);
      });
    }
  }
  std::fclose(stream);
  std::istringstream lines(std::string(buffer, size));
  std::free(buffer);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_NE(line.find(" done"), std::string::npos) << line;  // lines never interleave
  }
  EXPECT_EQ(count, 8);
  EXPECT_EQ(failures.load(), 0);
}

}  // namespace
