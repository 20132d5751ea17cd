// sayolt-plan ini: every verb, its exit codes, and nothing written when it fails.
#include <gtest/gtest.h>

#include <string>

#include "shared/utf8_path.h"
#include "tests/shared/ini_test_support.h"
#include "tests/tools/plan_runner.h"
#include "tools/plan/commands.h"

namespace sayolt {
namespace {

using Outcome = test::PlanOutcome;

Outcome ini(plan::Args args) {
  args.insert(args.begin(), "ini");
  return test::runPlanCommand(args);
}

class IniCommand : public ::testing::Test {
 protected:
  std::string fileArg() const { return utf8FromPath(path); }

  test::TempFolder folder;
  std::filesystem::path path = folder / "Sayolt設定.ini";
};

TEST_F(IniCommand, SetAndGet_CodePage932OnDiskUtf8OnTheCommandLine) {
  Outcome run = ini({"set", fileArg(), "自動実行時プログラム", "パス0", "C:\\Tools\\表計算.exe"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ini({"set", fileArg(), "自動実行時プログラム", "遅延0", ""}).code, 0);
  EXPECT_EQ(test::readBytes(path),
            "[\x8E\xA9\x93\xAE\x8E\xC0\x8D\x73\x8E\x9E\x83\x76\x83\x8D\x83\x4F\x83\x89\x83\x80]\r\n"
            "\x83\x70\x83\x58"
            "0=C:\\Tools\\\x95\x5C\x8C\x76\x8E\x5A.exe\r\n"
            "\x92\x78\x89\x84"
            "0=\r\n");

  run = ini({"get", fileArg(), "自動実行時プログラム", "パス0"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "C:\\Tools\\表計算.exe\n");
  run = ini({"get", fileArg(), "自動実行時プログラム", "パス9"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "\n");
}

TEST_F(IniCommand, Get_ReadsAsTheSchedulerDoes) {
  test::writeBytes(path, "[q]\r\nx = \"quoted\" \r\nlong=" + std::string(300, 'v') + "\r\n");
  EXPECT_EQ(ini({"get", fileArg(), "Q", "X"}).out, "quoted\n");
  EXPECT_EQ(ini({"get", fileArg(), "q", "long"}).out, std::string(254, 'v') + "\n");
}

TEST_F(IniCommand, Sections_SetGetAndDelete) {
  Outcome run = ini({"set-section", fileArg(), "祝日", "登録日1=2025/1/1", "登録日2=2025/5/5"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(test::readBytes(path),
            "[\x8F\x6A\x93\xFA]\r\n\x93\x6F\x98\x5E\x93\xFA"
            "1=2025/1/1\r\n\x93\x6F\x98\x5E\x93\xFA"
            "2=2025/5/5\r\n");
  EXPECT_EQ(ini({"set", fileArg(), "t", "k", "v"}).code, 0);

  run = ini({"get-section", fileArg(), "祝日"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "登録日1=2025/1/1\n登録日2=2025/5/5\n");

  EXPECT_EQ(ini({"delete-key", fileArg(), "祝日", "登録日1"}).code, 0);
  EXPECT_EQ(ini({"get-section", fileArg(), "祝日"}).out, "登録日2=2025/5/5\n");
  EXPECT_EQ(ini({"set-section", fileArg(), "祝日"}).code, 0);
  EXPECT_EQ(test::readBytes(path), "[\x8F\x6A\x93\xFA]\r\n[t]\r\nk=v\r\n");
  EXPECT_EQ(ini({"delete-section", fileArg(), "祝日"}).code, 0);
  EXPECT_EQ(test::readBytes(path), "[t]\r\nk=v\r\n");
  EXPECT_EQ(ini({"get-section", fileArg(), "祝日"}).out, "");
}

TEST_F(IniCommand, BadArguments_Exit2WithUsageAndNothingWritten) {
  test::writeBytes(path, "[t]\r\nk=v\r\n");
  const std::vector<plan::Args> bad = {
      {},
      {"get"},
      {"get", fileArg(), "t"},
      {"get", fileArg(), "t", "k", "extra"},
      {"set", fileArg(), "t", "k"},
      {"delete-key", fileArg(), "t"},
      {"delete-section", fileArg()},
      {"get-section", fileArg(), "t", "k"},
      {"set-section", fileArg()},
      {"set-section", fileArg(), "t", "a=1", "novalue"},
      {"rename", fileArg(), "t"},
  };
  for (const plan::Args& args : bad) {
    const Outcome run = ini(args);
    EXPECT_EQ(run.code, 2) << testing::PrintToString(args);
    EXPECT_NE(run.err.find("sayolt-plan ini"), std::string::npos);
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(test::readBytes(path), "[t]\r\nk=v\r\n");
}

TEST_F(IniCommand, UnstorableText_Exit1AndNothingWritten) {
  test::writeBytes(path, "[t]\r\nk=v\r\n");
  for (const plan::Args& args : std::vector<plan::Args>{{"set", fileArg(), "t", "k", "¥500"},
                                                        {"set", fileArg(), "t", "k", "two\nlines"},
                                                        {"set", fileArg(), "t]", "k", "v"},
                                                        {"set-section", fileArg(), "t", "a=1", "b=😀"}}) {
    const Outcome run = ini(args);
    EXPECT_EQ(run.code, 1) << testing::PrintToString(args);
    EXPECT_FALSE(run.err.empty());
  }
  EXPECT_EQ(test::readBytes(path), "[t]\r\nk=v\r\n");
}

TEST_F(IniCommand, UnreadableOrUnwritableFile_Exit1) {
  std::filesystem::create_directory(path);
  Outcome run = ini({"get", fileArg(), "t", "k"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("Sayolt設定.ini"), std::string::npos);
  run = ini({"set", fileArg(), "t", "k", "v"});
  EXPECT_EQ(run.code, 1);

  const std::string missingFolder = fileArg() + "/none/Sayolt設定.ini";
  run = ini({"set", missingFolder, "t", "k", "v"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("none"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path / "none"));
}

TEST_F(IniCommand, DeleteOnMissingFile_SucceedsAndCreatesNothing) {
  EXPECT_EQ(ini({"delete-key", fileArg(), "t", "k"}).code, 0);
  EXPECT_EQ(ini({"delete-section", fileArg(), "t"}).code, 0);
  EXPECT_EQ(ini({"get", fileArg(), "t", "k"}).out, "\n");
  EXPECT_FALSE(std::filesystem::exists(path));
}

// A read-only settings file is refused, as on Windows: exit code 1, a word on stderr, nothing written.
TEST_F(IniCommand, ReadOnlyFile_RefusedWithExitCodeOneAndUntouched) {
  ASSERT_EQ(ini({"set", fileArg(), "次回起動", "時刻", "7:30"}).code, 0);
  const std::string before = test::readBytes(path);
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  for (const plan::Args& args : {plan::Args{"set", fileArg(), "次回起動", "時刻", "8:00"},
                                 plan::Args{"delete-section", fileArg(), "次回起動"}}) {
    const Outcome run = ini(args);
    EXPECT_EQ(run.code, 1) << args[0];
    EXPECT_NE(run.err.find("sayolt-plan ini: "), std::string::npos) << run.err;
  }
  EXPECT_EQ(test::readBytes(path), before);
  EXPECT_EQ(ini({"get", fileArg(), "次回起動", "時刻"}).out, "7:30\n");
}

}  // namespace
}  // namespace sayolt
