// "sayolt-plan timecheck": what it reports without reaching any server.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/timecheck/timecheck_test_support.h"
#include "tools/plan/commands.h"

namespace sayolt {
namespace {

struct CommandRun {
  int code = 0;
  std::string out;
  std::string err;
};

CommandRun runTimecheck(std::vector<std::string> args) {
  std::ostringstream out, err;
  args.insert(args.begin(), "timecheck");
  const int code = plan::runPlan(args, out, err);
  return {code, out.str(), err.str()};
}

TEST(TimecheckCommand, NoServerNames_FourUnansweredAttemptsAndTheEndingCase) {
  test::TempFolder folder;
  const auto file = (folder.path() / "Sayolt設定.ini").string();
  test::writeSettings(file, "[起動時調整時間]\r\n時間=120\r\n[NTPサーバー]\r\nサーバー0=\r\n");
  const CommandRun run = runTimecheck({file, "--json"});
  EXPECT_EQ(run.code, 1);
  const std::string attempt = R"({"server": "NTP1", "host": "", "answered": false, "utc": null})";
  const std::string attempt2 = R"({"server": "NTP2", "host": "", "answered": false, "utc": null})";
  const std::string head =
      R"({"attempts": [)" + attempt + ", " + attempt2 + ", " + attempt + ", " + attempt2 +
      R"(], "startKind": null, "failure": {"case": "both-timeout", "label": )"
      R"("2つのNTPサーバーがいずれもタイムアウトになりました。\n\n10秒後にプログラムを終了します。", "log": ")";
  ASSERT_EQ(run.out.substr(0, head.size()), head);
  const std::string tail = R"(      サーバー1、2ともタイムアウトしたので、プログラムを終了しました。"}})"
                           "\n";
  ASSERT_GE(run.out.size(), head.size() + tail.size());
  EXPECT_EQ(run.out.substr(run.out.size() - tail.size()), tail);
  // Nothing is written beside the settings file.
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "NTP_Error.txt"));
}

TEST(TimecheckCommand, BadInput_ClearErrors) {
  test::TempFolder folder;
  const auto file = (folder.path() / "Sayolt設定.ini").string();
  test::writeSettings(file, "[起動時調整時間]\r\n時間=0\r\n[NTPサーバー]\r\nサーバー0=192.0.2.1\r\n");
  CommandRun run = runTimecheck({file});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("起動時調整時間"), std::string::npos);
  EXPECT_TRUE(run.out.empty());

  EXPECT_EQ(runTimecheck({}).code, 2);
  EXPECT_EQ(runTimecheck({file, "--xml"}).code, 2);
  run = runTimecheck({file, "--json", "extra"});
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("timecheck FILE"), std::string::npos);
}

}  // namespace
}  // namespace sayolt
