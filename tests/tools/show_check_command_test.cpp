// sayolt-plan check and show: exit codes, messages and the exact JSON of show.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "scheduler/core/day_classification.h"
#include "scheduler/core/schedule_model.h"
#include "shared/temp_folder.h"
#include "shared/utf8_path.h"
#include "tests/core/core_test_support.h"
#include "tests/tools/plan_runner.h"
#include "tools/plan/commands.h"

namespace sayolt {
namespace {

using test::SettingsBuilder;

using Outcome = test::PlanOutcome;
Outcome plan(const plan::Args& args) { return test::runPlanCommand(args); }

const char* const kArea7Message =
    "土日祝日と不在の優先および1日の開始時刻の読取中にエラーが発生しました。設定(3面)を見直してください。";
const char* const kArea8Message =
    "不在設定日および祝日設定日の読取中にエラーが発生しました。設定(1面下)を見直してください。";

class PlanCommand : public ::testing::Test {
 protected:
  // Writes the file and returns its path as the command line gives it.
  std::string write(const SettingsBuilder& settings, const std::string& name = "settings.ini") {
    const auto path = folder_ / name;
    settings.writeTo(path);
    return utf8FromPath(path);
  }
  std::string folder() const { return utf8FromPath(folder_.path()); }

  // A weekday office timetable: Monday 8:00 to 17:00 with a noon backup, Tuesday from 7:30.
  static SettingsBuilder office() {
    return SettingsBuilder()
        .startTolerance("120")
        .priority("1")
        .dayStart("180")
        .startTime(kMonday, 0, "8:00")
        .endTime(kMonday, 0, "17:00")
        .startTime(kTuesday, 0, "7:30")
        .endTime(kTuesday, 0, "17:00")
        .timedProgram(2, "バックアップ", "C:\\tools\\backup.exe")
        .timedRun(kMonday, 0, "12:00", "2")
        .holiday(1, "2024/5/3");
  }

 private:
  TempFolder folder_{"sayolt-plan-"};
};

TEST_F(PlanCommand, CheckLoadableFile_OkAndExitZero) {
  const Outcome run = plan({"check", write(office())});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, "OK\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(PlanCommand, CheckAreaError_AreaNumberAndSchedulerMessage) {
  auto badDayStart = office();
  auto badDate = office();
  const struct {
    SettingsBuilder& file;
    int area;
    const char* message;
  } cases[] = {{badDayStart.dayStart("abc"), 7, kArea7Message}, {badDate.absence(1, "2024/13/1"), 8, kArea8Message}};
  for (const auto& c : cases) {
    const Outcome run = plan({"check", write(c.file)});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(std::to_string(c.area)), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

TEST_F(PlanCommand, CheckUnusableStartTolerance_StartUpMessageBeforeAnyArea) {
  auto noTolerance = office();
  noTolerance.startTolerance("");
  auto zeroTolerance = office();
  zeroTolerance.startTolerance("0").dayStart("abc");
  for (const std::string& path : {write(noTolerance, "a.ini"), write(zeroTolerance, "b.ini")}) {
    const Outcome run = plan({"check", path});
    EXPECT_EQ(run.code, 1) << path;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(kStartToleranceMessage), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(kArea7Message), std::string::npos);
  }
}

TEST_F(PlanCommand, CheckUnreadableOrBadArguments_Fails) {
  const Outcome unreadable = plan({"check", folder()});
  EXPECT_EQ(unreadable.code, 1);
  EXPECT_NE(unreadable.err, "");
  EXPECT_EQ(plan({"check"}).code, 2);
  EXPECT_EQ(plan({"check", write(office()), "extra"}).code, 2);
}

TEST_F(PlanCommand, ShowJson_ExactlyOneObject) {
  const Outcome run = plan({"show", write(office()), "--at", "2024-05-06 08:00:00", "--json"});
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "{\"at\": \"2024-05-06 08:00:00\", \"dayStart\": \"3:00\", "
            "\"categories\": {\"previous\": 6, \"current\": 0, \"next\": 1}, "
            "\"endTimeToday\": \"17:00:00\", \"endFound\": true, "
            "\"nextStartTime\": \"7:30:00\", \"nextStartFound\": true, \"messages\": [], "
            "\"schedule\": {\"today\": [\"  8:00  起動\", \" 12:00   バックアップ\", \" 17:00  終了\"], "
            "\"tomorrow\": [\"  7:30  起動\", \" 17:00  終了\"]}}\n");
}

TEST_F(PlanCommand, ShowJsonSmallHours_PreviousDayIsCurrent) {
  // Saturday 2:00 after a holiday Friday: the current schedule day is the holiday, the next Saturday.
  auto file = office();
  file.endTime(kHoliday, 0, "1:30").endTime(kHoliday, 1, "2:30").dayStart("240");
  const Outcome run = plan({"show", write(file), "--at", "2024-05-04 02:00:00", "--json"});
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("\"dayStart\": \"4:00\", \"categories\": {\"previous\": 0, \"current\": 7, \"next\": 5}, "
                         "\"endTimeToday\": \"2:30:00\", \"endFound\": true"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\"today\": [\"  1:30  終了\", \"  2:30  終了\"], \"tomorrow\": []"), std::string::npos)
      << run.out;
}

TEST_F(PlanCommand, ShowJsonNothingFound_FirstMessageOnly) {
  auto noEnd = office();
  noEnd.endTime(kMonday, 0, "").startTime(kTuesday, 0, "");
  Outcome run = plan({"show", write(noEnd, "a.ini"), "--at", "2024-05-06 08:00:00", "--json"});
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("\"endTimeToday\": \"23:59:59\", \"endFound\": false, \"nextStartTime\": \"23:59:59\", "
                         "\"nextStartFound\": false, \"messages\": [\"終了時刻を設定し直してください。\"]"),
            std::string::npos)
      << run.out;

  auto noStart = office();
  noStart.startTime(kTuesday, 0, "");
  run = plan({"show", write(noStart, "b.ini"), "--at", "2024-05-06 08:00:00", "--json"});
  EXPECT_NE(run.out.find("\"endFound\": true, \"nextStartTime\": \"23:59:59\", \"nextStartFound\": false, "
                         "\"messages\": [\"次回起動時刻を設定し直してください。\"]"),
            std::string::npos)
      << run.out;
}

TEST_F(PlanCommand, ShowAreaError_ErrorObjectAndExitOne) {
  auto badDayStart = office();
  badDayStart.dayStart("70000");
  Outcome run = plan({"show", write(badDayStart, "a.ini"), "--at", "2024-05-06 08:00:00", "--json"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, std::string("{\"error\": {\"area\": 7, \"message\": \"") + kArea7Message + "\"}}\n");

  auto badDate = office();
  badDate.holiday(2, "2024/2/30");
  const std::string path = write(badDate, "b.ini");
  run = plan({"show", path, "--at", "2024-05-06 08:00:00", "--json"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, std::string("{\"error\": {\"area\": 8, \"message\": \"") + kArea8Message + "\"}}\n");

  run = plan({"show", path, "--at", "2024-05-06 08:00:00"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(kArea8Message), std::string::npos) << run.err;
}

TEST_F(PlanCommand, ShowText_TimesAndScheduleLines) {
  const Outcome run = plan({"show", write(office()), "--at", "2024-05-06 08:00:00"});
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("終了時刻      17:00:00\n次回起動時刻  7:30:00\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("    8:00  起動\n   12:00   バックアップ\n   17:00  終了\n"), std::string::npos) << run.out;
}

TEST_F(PlanCommand, ShowBadArguments_UsageAndExitTwo) {
  const std::string path = write(office());
  const plan::Args cases[] = {
      {"show"},
      {"show", path},
      {"show", path, "--json"},
      {"show", path, "--at"},
      {"show", "--at", "2024-05-06 08:00:00"},
      {"show", path, "--at", "2024-05-06 8:00:00"},
      {"show", path, "--at", "2024-02-30 08:00:00"},
      {"show", path, "--at", "2024-05-06 24:00:00"},
      {"show", path, "--at", "2024-05-06T08:00:00"},
      {"show", path, "--at", "2024-05-06 08:00:00", "--xml"},
      {"show", path, path, "--at", "2024-05-06 08:00:00"},
  };
  for (const auto& args : cases) {
    const Outcome run = plan(args);
    EXPECT_EQ(run.code, 2) << args.size();
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
  }
}

}  // namespace
}  // namespace sayolt
