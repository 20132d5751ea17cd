#include "scheduler/timecheck/error_log.h"

#include <gtest/gtest.h>

#include "tests/timecheck/timecheck_test_support.h"

namespace sayolt {
namespace {

using test::local;

TEST(ErrorLogDate, GeneralForm_TimeLeftOutOnlyAtMidnight) {
  EXPECT_EQ(generalDateText(local("2012-01-02 07:30:15")), "2012/01/02 7:30:15");
  EXPECT_EQ(generalDateText(local("2012-11-22 17:05:09")), "2012/11/22 17:05:09");
  EXPECT_EQ(generalDateText(local("2012-01-02 00:00:00")), "2012/01/02");
  EXPECT_EQ(generalDateText(local("2012-01-02 00:00:01")), "2012/01/02 0:00:01");
  EXPECT_EQ(generalDateText(local("2012-01-02 23:59:59")), "2012/01/02 23:59:59");
  // Milliseconds never show, and do not make midnight a time.
  EXPECT_EQ(generalDateText(local("2012-01-02 00:00:00") + std::chrono::milliseconds(400)), "2012/01/02");
}

TEST(ErrorLogFile, Lines_AppendedInCodePage932WithCrLf) {
  test::TempFolder folder;
  const auto path = folder.path() / kErrorLogFileName;
  ASSERT_TRUE(appendErrorLogLine(path, errorLogLine(local("2012-01-02 00:00:00"), "      原因不明")));
  ASSERT_TRUE(appendErrorLogLine(path, errorLogLine(local("2012-01-02 07:30:15"), "      ①")));
  EXPECT_EQ(test::readBytes(path),
            "2012/01/02      \x8c\xb4\x88\xf6\x95s\x96\xbe\r\n"
            "2012/01/02 7:30:15      \x87@\r\n");
}

TEST(ErrorLogFile, Unwritable_ReportsFailureWithoutThrowing) {
  test::TempFolder folder;
  EXPECT_FALSE(appendErrorLogLine(folder.path() / "missing" / kErrorLogFileName, "x"));
  // A folder where the file should be.
  std::filesystem::create_directory(folder.path() / kErrorLogFileName);
  EXPECT_FALSE(appendErrorLogLine(folder.path() / kErrorLogFileName, "x"));
  // No code page 932 form: nothing is written at all.
  const auto path = folder.path() / "other.txt";
  EXPECT_FALSE(appendErrorLogLine(path, "\xF0\x9F\x98\x80"));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace sayolt
