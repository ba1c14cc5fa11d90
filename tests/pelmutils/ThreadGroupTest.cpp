#include "PelmUtils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <latch>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using PelmUtil::ThreadGroup;

TEST(ThreadGroup, AddLookUpReplaceRemove) {
  const std::thread::id self = std::this_thread::get_id();
  std::thread::id other;
  std::latch started(1);
  std::latch done(1);
  std::thread worker([&] {
    other = std::this_thread::get_id();
    started.count_down();
    done.wait();
  });
  started.wait();

  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), std::thread::id());
  ThreadGroup::Add(other, self);
  ThreadGroup::Add(self, self);
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), self);
  ThreadGroup::Add(other, other);  // replaces the earlier group
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), other);
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(self), self);
  ThreadGroup::Remove(other);
  ThreadGroup::Remove(other);  // removing twice is harmless
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(other), std::thread::id());
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(self), self);
  ThreadGroup::Remove(self);
  EXPECT_EQ(ThreadGroup::GetThreadGroupId(self), std::thread::id());

  done.count_down();
  worker.join();
}

// Each thread joins a group, converts through several sets, checks its group and logs a line;
// run under ThreadSanitizer in CI.
TEST(ThreadsPelmUtil, ConversionsAndGroupsFromManyThreads) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 200;
  const std::string text = "Grüße, Čeština € 𝄞";
  const std::thread::id leader = std::this_thread::get_id();
  char* buffer = nullptr;
  std::size_t size = 0;
  FILE* stream = open_memstream(&buffer, &size);
  ASSERT_NE(stream, nullptr);
  std::vector<int> failures(kThreads, 0);
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        const std::thread::id self = std::this_thread::get_id();
        ThreadGroup::Add(self, leader);
        for (int round = 0; round < kRounds; ++round) {
          for (const char* encoding : {"UTF-16", "UTF-16LE", "ISO-8859-2", "WINDOWS-1252"}) {
            const std::string sample = encoding[0] == 'U' ? text : "Grüße";
            std::vector<unsigned char> encoded;
            std::string decoded;
            const bool ok =
                PelmUtil::fromUTF8(encoding, sample.data(), static_cast<int>(sample.size()),
                                   encoded) &&
                PelmUtil::toUTF8(encoding, encoded.data(), static_cast<int>(encoded.size()),
                                 decoded);
            if (!ok || decoded != sample) ++failures[static_cast<std::size_t>(t)];
          }
          if (ThreadGroup::GetThreadGroupId(self) != leader) ++failures[static_cast<std::size_t>(t)];
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
  EXPECT_EQ(count, kThreads);
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[static_cast<std::size_t>(t)], 0) << t;
}

}  // namespace
