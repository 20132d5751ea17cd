// sayolt-plan as a person meets it at a prompt: a mistyped file name, --help and --version, and
// the time check's decision in words.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "scheduler/core/schedule_model.h"
#include "shared/utf8_path.h"
#include "tests/core/core_test_support.h"
#include "tests/support/test_files.h"
#include "tests/tools/plan_runner.h"
#include "tools/plan/commands.h"

namespace sayolt {
namespace {

using Outcome = test::PlanOutcome;
Outcome plan(const plan::Args& args) { return test::runPlanCommand(args); }

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Every command that reads a settings file, with FILE standing for it.
const plan::Args kFileCommands[] = {
    {"check", "FILE"},
    {"check", "FILE", "--conflicts", "--json"},
    {"show", "FILE", "--at", "2027-01-04 07:59:00"},
    {"show", "FILE", "--at", "2027-01-04 07:59:00", "--json"},
    {"simulate", "FILE", "--from", "2027-01-04 07:59:00", "--days", "1"},
#ifdef SAYOLT_HAS_TIMECHECK
    {"timecheck", "FILE"},
    {"timecheck", "FILE", "--json"},
#endif
    {"workbook", "FILE", "OUT.xls"},
};

plan::Args withFile(plan::Args args, const std::string& file, const std::string& out) {
  for (auto& arg : args) {
    if (arg == "FILE") arg = file;
    if (arg == "OUT.xls") arg = out;
  }
  return args;
}

TEST(PlanCommandLine, MissingSettingsFile_SaysSoRatherThanTheStartUpMessage) {
  test::TempFolder folder;
  const std::string file = utf8FromPath(folder / "Sayolt設定.ini");
  const std::string out = utf8FromPath(folder / "out.xls");
  for (const auto& command : kFileCommands) {
    const Outcome run = plan(withFile(command, file, out));
    EXPECT_EQ(run.code, 1) << command[0];
    EXPECT_EQ(run.out, "") << command[0];
    EXPECT_TRUE(contains(run.err, "設定ファイルがありません: " + file)) << command[0] << ": " << run.err;
    EXPECT_FALSE(contains(run.err, kStartToleranceMessage)) << command[0];
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "out.xls"));
  EXPECT_FALSE(std::filesystem::exists(folder / "Sayolt設定.ini"));
}

TEST(PlanCommandLine, FolderGivenAsSettingsFile_SaysItIsAFolder) {
  test::TempFolder folder;
  const std::string name = utf8FromPath(folder.path());
  for (const auto& command : kFileCommands) {
    const Outcome run = plan(withFile(command, name, utf8FromPath(folder / "out.xls")));
    EXPECT_EQ(run.code, 1) << command[0];
    EXPECT_TRUE(contains(run.err, "設定ファイルではなくフォルダーです: " + name)) << command[0] << ": " << run.err;
  }
}

TEST(PlanCommandLine, Help_EveryCommandInOneLineWithAnExample) {
  const Outcome help = plan({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(plan({"-h"}).out, help.out);
  for (const std::string command : {"check", "workbook", "show", "simulate", "timecheck", "ini"}) {
    EXPECT_TRUE(contains(help.out, "例: sayolt-plan " + command + " ")) << command;
    const Outcome one = plan({command, "--help"});
    EXPECT_EQ(one.code, 0) << command;
    EXPECT_TRUE(contains(one.out, "  sayolt-plan " + command + " ")) << one.out;
    EXPECT_TRUE(contains(one.out, "例: sayolt-plan " + command + " ")) << one.out;
    // Only the command asked about.
    EXPECT_LT(one.out.size(), help.out.size() / 2) << command;
  }
  EXPECT_TRUE(contains(plan({"check", "--help"}).out, "--conflicts"));
  // After the file, too, as people type it.
  EXPECT_EQ(plan({"show", "Sayolt設定.ini", "--help"}).out, plan({"show", "--help"}).out);
}

TEST(PlanCommandLine, HelpWordAsAnIniValue_IsWritten) {
  test::TempFolder folder;
  const std::string file = utf8FromPath(folder / "a.ini");
  EXPECT_EQ(plan({"ini", "set", file, "S", "K", "--help"}).code, 0);
  EXPECT_EQ(plan({"ini", "get", file, "S", "K"}).out, "--help\n");
}

TEST(PlanCommandLine, VersionAndUsage_KeepTheirExitCodes) {
  const Outcome version = plan({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("sayolt-plan [0-9]+\\.[0-9]+(\\.[0-9]+)?\n"))) << version.out;

  const Outcome none = plan({});
  EXPECT_EQ(none.code, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_TRUE(contains(none.err, "使い方:"));

  const Outcome unknown = plan({"chek", "a.ini"});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_TRUE(contains(unknown.err, "不明なコマンドです: chek")) << unknown.err;
}

// No server named: both attempts fail at once, without the network.
TEST(PlanCommandLine, TimecheckDecision_InWordsWhileJsonKeepsItsFields) {
#ifndef SAYOLT_HAS_TIMECHECK
  GTEST_SKIP() << "this build has no timecheck";
#endif
  test::TempFolder folder;
  const auto file = folder / "Sayolt設定.ini";
  test::SettingsBuilder().startTolerance("60").writeTo(file);

  const Outcome text = plan({"timecheck", utf8FromPath(file)});
  EXPECT_EQ(text.code, 1);
  EXPECT_TRUE(contains(text.out, "判定: どちらのタイムサーバーも応答しません")) << text.out;
  EXPECT_FALSE(contains(text.out, "startKind")) << text.out;

  const Outcome json = plan({"timecheck", utf8FromPath(file), "--json"});
  EXPECT_EQ(json.code, 1);
  EXPECT_TRUE(contains(json.out, "\"startKind\": null")) << json.out;
  EXPECT_TRUE(contains(json.out, "\"case\": \"both-timeout\"")) << json.out;
}

}  // namespace
}  // namespace sayolt
