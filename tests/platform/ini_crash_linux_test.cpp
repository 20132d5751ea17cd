// A writer killed at any instant leaves either the old file or the new one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "shared/ini_file.h"
#include "shared/settings_keys.h"
#include "tests/shared/ini_test_support.h"

namespace sayolt {
namespace {

// The whole start/end grid with one value everywhere: each save rewrites 144 lines.
IniBatch gridBatch(const std::string& value) {
  IniBatch batch;
  for (int c = 0; c < keys::kCategories; ++c) {
    for (int s = 0; s < keys::kSlots; ++s) {
      batch.set(keys::kStartEndSection, keys::startTimeKey(c, s), value);
      batch.set(keys::kStartEndSection, keys::endTimeKey(c, s), value);
    }
  }
  return batch;
}

TEST(IniCrash, WriterKilledMidSave_FileIsOldOrNew) {
  test::TempFolder folder;
  const auto path = folder / "Sayolt設定.ini";
  const IniBatch early = gridBatch("6:00");
  const IniBatch late = gridBatch("22:30");
  IniFile file(path);
  file.apply(late);
  const std::string lateBytes = test::readBytes(path);
  file.apply(early);
  const std::string earlyBytes = test::readBytes(path);
  ASSERT_NE(lateBytes, earlyBytes);

  // Kill instants spread over a few saves, whatever this disk's flush costs.
  const auto started = std::chrono::steady_clock::now();
  for (int i = 0; i < 4; ++i) file.apply(i % 2 == 0 ? late : early);
  const auto saveMicros =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count() / 4;
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<long> delay(0, 3 * saveMicros + 300);

  const auto budget = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int rounds = 0;
  for (; rounds < 80 && std::chrono::steady_clock::now() < budget; ++rounds) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      try {
        for (bool flip = false;; flip = !flip) IniFile(path).apply(flip ? late : early);
      } catch (...) {
        _exit(3);  // the parent sees an exit instead of the kill
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    const std::string now = test::readBytes(path);
    ASSERT_TRUE(now == earlyBytes || now == lateBytes) << "round " << rounds << ": " << now.size() << " bytes";
    const std::string startOfMonday = IniSnapshot::load(path).get("起動終了時刻", "0-0-0");
    ASSERT_TRUE(startOfMonday == "6:00" || startOfMonday == "22:30");
  }
  EXPECT_GE(rounds, 20);

  // A killed writer may leave its own hidden temporary file, never a file the programs read.
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    const std::string name = entry.path().filename().string();
    if (entry.path() == path) continue;
    EXPECT_EQ(name.rfind(".Sayolt設定.ini.", 0), 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp") << name;
  }
}

}  // namespace
}  // namespace sayolt
