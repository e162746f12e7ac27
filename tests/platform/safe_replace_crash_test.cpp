// A save killed at any moment must leave either the old or the new file, never a mix.
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "common/record_file.h"
#include "common/settings.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
namespace {

std::vector<std::string> Version(char tag) {
  std::vector<std::string> records;
  for (int i = 0; i < 1500; ++i)
    records.push_back(std::string(1, tag) + std::to_string(i) + "|Иванов|Москва||||||||||примечание\r\nвторая");
  return records;
}

TEST(SafeReplaceCrash, KilledSavesLeaveTheOldOrTheNewFile) {
  testing::ScratchFolder dir;
  const std::string path = dir / "cont.dbc";
  const std::string a = RecordFileBytes(Version('A'));
  const std::string b = RecordFileBytes(Version('B'));
  ASSERT_TRUE(platform::SafeReplace(path, a));
  // The kills are spread over about two saves, however long a save takes on this
  // machine (sanitizers, a busy disk): a fixed window would land before the first
  // save ends on a loaded machine and never see the file change.
  auto started = std::chrono::steady_clock::now();
  for (int i = 0; i < 3; ++i) {
    RecordBook timed;
    timed.path = path;
    timed.records = Version(i % 2 ? 'A' : 'B');
    timed.state = kStateChanged;
    SaveRecords(timed);
  }
  auto oneSave = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started) / 3;
  const int window = static_cast<int>(std::clamp<long long>(2 * oneSave.count(), 2000, 200000));
  std::mt19937 rng(12345);
  int sawA = 0, sawB = 0;
  for (int round = 0; round < 600; ++round) {
    // The child's first save writes the version that is not on disk now, so even a
    // kill after one save shows a change.
    const bool onDiskIsA = testing::Slurp(path) == a;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Save the two versions in turn until killed.
      RecordBook book;
      book.path = path;
      for (int i = 0;; ++i) {
        book.records = Version((i % 2 == 0) == onDiskIsA ? 'B' : 'A');
        book.state = kStateChanged;
        SaveRecords(book);
      }
    }
    usleep(std::uniform_int_distribution<int>(0, window)(rng));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::string now = testing::Slurp(path);
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    (now == a ? sawA : sawB)++;
  }
  // The kills must have landed on both sides, or the test proved little.
  EXPECT_GT(sawA, 0);
  EXPECT_GT(sawB, 0);
}

// A second start closes the first while both write settings: no write may be lost.
TEST(SettingsAcrossProcesses, ConcurrentWritersLoseNothing) {
  testing::ScratchFolder dir;
  const std::string ini = dir / "Velmoria.ini";
  pid_t child = fork();
  ASSERT_GE(child, 0);
  const char* who = child == 0 ? "CHILD" : "PARENT";
  for (int i = 0; i < 150; ++i) WriteSetting(ini, who, "K" + std::to_string(i), std::to_string(i));
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  for (const char* section : {"CHILD", "PARENT"})
    for (int i = 0; i < 150; ++i)
      ASSERT_EQ(ReadSetting(ini, section, "K" + std::to_string(i)), std::to_string(i)) << section << " " << i;
}

}  // namespace
}  // namespace vm
#endif
