// sayolt-plan.exe as a Windows program: arguments and output in UTF-8 whatever the console's code
// page, on a settings file whose folder and name are Japanese.
#include <gtest/gtest.h>

#include "tests/core/scheduler_test_support.h"
#include "tests/windows/win_test_support.h"

namespace sayolt {
namespace {

using wintest::quoted;

class PlanExe : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(file_.parent_path());
    schedtest::Settings settings = schedtest::baseSettings();
    settings.day({kMonday, kTuesday}, "8:00", "17:00").servers("ntp1.example", "ntp2.example");
    settings.timedProgram(0, "バックアップ", "C:\\ツール\\表.exe");
    settings.writeTo(file_);
  }

  // Runs sayolt-plan.exe with the given arguments, each quoted; "FILE" stands for the settings file.
  wintest::RunResult plan(std::vector<std::wstring> args) const {
    std::wstring line = quoted(wintest::exeFolder() / "sayolt-plan.exe");
    for (std::wstring& arg : args) line += L" " + (arg == L"FILE" ? quoted(file_) : L"\"" + arg + L"\"");
    return wintest::run(line);
  }

  test::TempFolder folder_;
  std::filesystem::path file_ = folder_ / "予定表 ①\\Sayolt設定.ini";
};

TEST_F(PlanExe, IniVerbsReadAndWriteJapaneseNamesAndValues) {
  auto set = plan({L"ini", L"set", L"FILE", L"時刻指定プログラム", L"メモ", L"表示ソース ～"});
  ASSERT_EQ(set.exitCode, 0u) << set.out;
  EXPECT_EQ(IniFile(file_).get("時刻指定プログラム", "メモ"), "表示ソース ～");

  auto get = plan({L"ini", L"get", L"FILE", widen(keys::kTimedProgramSection), widen(keys::programNameKey(0))});
  EXPECT_EQ(get.exitCode, 0u) << get.out;
  EXPECT_EQ(get.out, "バックアップ\n");

  auto section = plan({L"ini", L"get-section", L"FILE", L"時刻指定プログラム"});
  EXPECT_EQ(section.exitCode, 0u);
  EXPECT_NE(section.out.find("\nメモ=表示ソース ～\n"), std::string::npos) << section.out;

  // A character code page 932 cannot hold: refused, the file unchanged.
  const std::string before = test::readBytes(file_);
  auto refused = plan({L"ini", L"set", L"FILE", L"s", L"k", L"\uC124\uC815"});
  EXPECT_EQ(refused.exitCode, 1u) << refused.out;
  EXPECT_EQ(test::readBytes(file_), before);
}

TEST_F(PlanExe, CheckShowAndSimulateLoadTheJapaneseFile) {
  auto check = plan({L"check", L"FILE"});
  EXPECT_EQ(check.exitCode, 0u) << check.out;
  EXPECT_EQ(check.out, "OK\n");

  auto show = plan({L"show", L"FILE", L"--at", L"2027-01-04 09:00:00", L"--json"});
  EXPECT_EQ(show.exitCode, 0u) << show.out;
  EXPECT_NE(show.out.find("\"17:00:00\""), std::string::npos) << show.out;

  auto simulate = plan({L"simulate", L"FILE", L"--from", L"2027-01-04 07:59:00", L"--days", L"1", L"--json"});
  EXPECT_EQ(simulate.exitCode, 0u) << simulate.out;
  EXPECT_NE(simulate.out.find("\"power-on\""), std::string::npos) << simulate.out;
  EXPECT_NE(simulate.out.find("\"shutdown\""), std::string::npos) << simulate.out;
  // simulate works on a copy: the file itself is as it was.
  EXPECT_EQ(IniFile(file_).get(keys::kTimedProgramSection, keys::programNameKey(0)), "バックアップ");
}

TEST_F(PlanExe, TimecheckNeedsTheQtBuildAndBadArgumentsAreUsageErrors) {
  auto timecheck = plan({L"timecheck", L"FILE"});
  EXPECT_EQ(timecheck.exitCode, 1u) << timecheck.out;
  EXPECT_FALSE(timecheck.out.empty());

  EXPECT_EQ(plan({L"show", L"FILE", L"--at", L"明日"}).exitCode, 2u);
  EXPECT_EQ(plan({}).exitCode, 2u);
}

TEST_F(PlanExe, MissingFileIsAFailureNotACrash) {
  auto check = plan({L"check", (folder_ / "ない.ini").wstring()});
  EXPECT_EQ(check.exitCode, 1u) << check.out;
}

}  // namespace
}  // namespace sayolt
