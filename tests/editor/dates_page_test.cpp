// The holiday and absence dates page without widgets: load, 追加, 削除, the national holidays of a
// year, and the whole-section save.
#include "editor/model/dates_page.h"

#include <gtest/gtest.h>

#include "shared/text_rules.h"
#include "tests/editor/editor_files.h"

namespace sayolt::editor {
namespace {

using test::TempFolder;
using test::ymd;
using Dates = std::vector<std::string>;

const auto kToday = ymd(2027, 5, 4);

struct DatesFixture : ::testing::Test {
  void load(std::string_view text) {
    test::writeIniText(path, text);
    page.load(IniSnapshot::load(path), kToday);
  }
  void save() {
    IniFile file(path);
    page.saveSpecialDates(file);
  }
  TempFolder folder;
  std::filesystem::path path = folder / "Sayolt設定.ini";
  SpecialDateTables tables;
  DatesPage page{tables};
};

TEST_F(DatesFixture, LoadKeepsCurrentDatesOfEveryEntryAndSaveRenumbers) {
  load(
      "[祝日]\r\n"
      "登録日1=2099/1/1\r\n"
      "登録日2=abc\r\n"
      "登録日3=2000/1/1\r\n"
      "[不在]\r\n"
      "登録日1=2027/5/3\r\n"    // yesterday
      "登録日2=2027/05/04\r\n"  // today, kept as written
      "登録日7=2027/5/10\r\n"   // a gap left by the scheduler
      "2027/6/1\r\n"            // no "=": the whole line is the value
      "[次回起動]\r\n"
      "時刻=7:00\r\n");
  EXPECT_EQ(tables.holidayDates, (Dates{"2099/1/1"}));
  EXPECT_EQ(tables.absenceDates, (Dates{"2027/05/04", "2027/5/10", "2027/6/1"}));
  EXPECT_FALSE(page.hasUnsavedEdits());

  // Lists nobody changed are not written at all.
  const std::string before = test::readIniText(path);
  save();
  EXPECT_EQ(test::readIniText(path), before);

  // An edited list is written whole, without what the page dropped, and renumbered.
  page.addDate(DateKind::Holiday, "2099/1/2", kToday);
  page.addDate(DateKind::Absence, "2027/6/2", kToday);
  save();
  EXPECT_EQ(test::readIniText(path),
            "[祝日]\r\n"
            "登録日1=2099/1/1\r\n"
            "登録日2=2099/1/2\r\n"
            "[不在]\r\n"
            "登録日1=2027/05/04\r\n"
            "登録日2=2027/5/10\r\n"
            "登録日3=2027/6/1\r\n"
            "登録日4=2027/6/2\r\n"
            "[次回起動]\r\n"
            "時刻=7:00\r\n");
  EXPECT_FALSE(page.hasUnsavedEdits());
}

TEST_F(DatesFixture, TwoHundredDatesRoundTripWithoutLoss) {
  Dates dates;
  std::string text = "[不在]\r\n";
  std::chrono::sys_days day{ymd(2027, 6, 1)};
  for (int n = 1; n <= 200; ++n, day += std::chrono::days{1}) {
    dates.push_back(formatDate(std::chrono::year_month_day{day}));
    text += "登録日" + std::to_string(n) + "=" + dates.back() + "\r\n";
  }
  load(text);
  ASSERT_EQ(tables.absenceDates, dates);
  save();
  EXPECT_EQ(test::readIniText(path), text);
  page.load(IniSnapshot::load(path), kToday);
  EXPECT_EQ(tables.absenceDates, dates);
}

TEST_F(DatesFixture, AddFormatsKeepsDuplicatesAndRefusesWhatIsNoDate) {
  load("");
  EXPECT_EQ(page.addDate(DateKind::Absence, "2099/01/05", kToday), AddDateResult::Added);
  EXPECT_EQ(page.addDate(DateKind::Absence, "2028/1/5", kToday), AddDateResult::Added);
  EXPECT_EQ(page.addDate(DateKind::Absence, "2028/1/5", kToday), AddDateResult::Added);
  EXPECT_EQ(page.addDate(DateKind::Absence, "2027/5/4", kToday), AddDateResult::Added);  // today counts
  EXPECT_EQ(tables.absenceDates, (Dates{"2099/1/5", "2028/1/5", "2028/1/5", "2027/5/4"}));

  EXPECT_EQ(page.addDate(DateKind::Absence, "2027/5/3", kToday), AddDateResult::InPast);
  EXPECT_EQ(page.addDate(DateKind::Absence, "", kToday), AddDateResult::Empty);
  for (const char* bad : {"abc", "9:00", "2027/2/30", "2027-06-01"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(page.addDate(DateKind::Absence, bad, kToday), AddDateResult::NotADate);
  }
  EXPECT_EQ(tables.absenceDates.size(), 4u);
  EXPECT_TRUE(tables.holidayDates.empty());
  EXPECT_TRUE(page.hasUnsavedEdits());

  save();
  EXPECT_EQ(test::readIniText(path),
            "[不在]\r\n"
            "登録日1=2099/1/5\r\n"
            "登録日2=2028/1/5\r\n"
            "登録日3=2028/1/5\r\n"
            "登録日4=2027/5/4\r\n");
  EXPECT_FALSE(page.hasUnsavedEdits());
}

TEST_F(DatesFixture, DeleteRemovesSelectedRowsAndAnEmptyKindLosesItsSection) {
  load(
      "[祝日]\r\n登録日1=2027/7/19\r\n"
      "[不在]\r\n登録日1=2027/6/1\r\n登録日2=2027/6/2\r\n登録日3=2027/6/3\r\n登録日4=2027/6/4\r\n");
  page.removeDates(DateKind::Absence, {0, 2, 2, 9}, kToday);
  EXPECT_EQ(tables.absenceDates, (Dates{"2027/6/2", "2027/6/4"}));
  page.removeDates(DateKind::Holiday, {0}, kToday);
  EXPECT_TRUE(tables.holidayDates.empty());
  save();
  EXPECT_EQ(test::readIniText(path), "[不在]\r\n登録日1=2027/6/2\r\n登録日2=2027/6/4\r\n");
}

TEST_F(DatesFixture, EditsDropDatesThatHavePassedSinceLoading) {
  load("[不在]\r\n登録日1=2027/5/4\r\n登録日2=2027/5/20\r\n[祝日]\r\n登録日1=2027/5/5\r\n");
  const auto tomorrow = ymd(2027, 5, 5);
  page.removeDates(DateKind::Absence, {}, tomorrow);  // 削除 with nothing selected only tidies
  EXPECT_EQ(tables.absenceDates, (Dates{"2027/5/20"}));
  EXPECT_EQ(tables.holidayDates, (Dates{"2027/5/5"}));  // the other kind is not edited
}

TEST_F(DatesFixture, NationalHolidaysOfAYearAreAddedOnceFromTodayOn) {
  load("[祝日]\r\n登録日1=2027/05/05\r\n登録日2=2030/1/1\r\n");
  EXPECT_EQ(page.addNationalHolidays(2027, kToday), 8);
  EXPECT_EQ(tables.holidayDates, (Dates{"2027/05/05", "2030/1/1", "2027/5/4", "2027/7/19", "2027/8/11", "2027/9/20",
                                        "2027/9/23", "2027/10/11", "2027/11/3", "2027/11/23"}));
  EXPECT_EQ(page.addNationalHolidays(2027, kToday), 0);
  EXPECT_EQ(page.addNationalHolidays(2026, kToday), 0);
  EXPECT_TRUE(tables.absenceDates.empty());
  EXPECT_TRUE(test::readIniText(path).find("2027/7/19") == std::string::npos);  // nothing written yet
}

// The scheduler's panel writes the absence list while the page is open; the page's save merges
// its own changes into the list as the file holds it then.
TEST_F(DatesFixture, SaveKeepsWhatThePanelWroteWhileThePageWasOpen) {
  const std::string opened =
      "[祝日]\r\n登録日1=2027/7/19\r\n"
      "[不在]\r\n登録日1=2027/5/10\r\n登録日2=2027/5/20\r\n";
  {
    SCOPED_TRACE("the panel adds today, the page adds a holiday");
    load(opened);
    test::writeIniText(path,
                       "[祝日]\r\n登録日1=2027/7/19\r\n"
                       "[不在]\r\n登録日1=2027/5/10\r\n登録日2=2027/5/20\r\n登録日3=2027/5/4\r\n");
    page.addDate(DateKind::Holiday, "2027/8/11", kToday);
    save();
    EXPECT_EQ(test::readIniText(path),
              "[祝日]\r\n登録日1=2027/7/19\r\n登録日2=2027/8/11\r\n"
              "[不在]\r\n登録日1=2027/5/10\r\n登録日2=2027/5/20\r\n登録日3=2027/5/4\r\n");
    EXPECT_EQ(tables.absenceDates, (Dates{"2027/5/10", "2027/5/20", "2027/5/4"}));
  }
  {
    SCOPED_TRACE("the panel adds today, the page removes another absence and adds one");
    load(opened);
    test::writeIniText(path,
                       "[祝日]\r\n登録日1=2027/7/19\r\n"
                       "[不在]\r\n登録日1=2027/5/10\r\n登録日2=2027/5/20\r\n登録日3=2027/5/4\r\n");
    page.removeDates(DateKind::Absence, {0}, kToday);
    page.addDate(DateKind::Absence, "2027/6/1", kToday);
    save();
    EXPECT_EQ(test::readIniText(path),
              "[祝日]\r\n登録日1=2027/7/19\r\n"
              "[不在]\r\n登録日1=2027/5/20\r\n登録日2=2027/5/4\r\n登録日3=2027/6/1\r\n");
  }
  {
    SCOPED_TRACE("the panel removes today, leaving a gap; the page adds an absence");
    load("[不在]\r\n登録日1=2027/5/4\r\n登録日2=2027/5/20\r\n");
    test::writeIniText(path, "[不在]\r\n登録日2=2027/5/20\r\n");
    page.addDate(DateKind::Absence, "2027/5/30", kToday);
    save();
    EXPECT_EQ(test::readIniText(path), "[不在]\r\n登録日1=2027/5/20\r\n登録日2=2027/5/30\r\n");
  }
  {
    SCOPED_TRACE("both add today, then the page removes the only date the panel left");
    load("[不在]\r\n登録日1=2027/5/9\r\n");
    test::writeIniText(path, "[不在]\r\n登録日1=2027/5/9\r\n登録日2=2027/5/4\r\n");
    page.addDate(DateKind::Absence, "2027/5/4", kToday);
    save();
    EXPECT_EQ(test::readIniText(path), "[不在]\r\n登録日1=2027/5/9\r\n登録日2=2027/5/4\r\n");
    test::writeIniText(path, "[不在]\r\n登録日1=2027/5/9\r\n");  // the panel takes today out again
    page.removeDates(DateKind::Absence, {0, 1}, kToday);
    save();
    EXPECT_EQ(test::readIniText(path), "");
  }
}

// The other order: the page saves first, then the panel switches; the panel starts from the file.
TEST_F(DatesFixture, PanelAfterTheSaveStartsFromTheSavedList) {
  load("[不在]\r\n登録日1=2027/5/10\r\n");
  page.addDate(DateKind::Absence, "2027/5/20", kToday);
  save();
  EXPECT_EQ(test::readIniText(path), "[不在]\r\n登録日1=2027/5/10\r\n登録日2=2027/5/20\r\n");
  IniFile file(path);
  file.set("不在", "登録日3", "2027/5/4");  // the panel's write of today
  page.addDate(DateKind::Holiday, "2027/7/19", kToday);
  save();
  EXPECT_EQ(test::readIniText(path),
            "[不在]\r\n登録日1=2027/5/10\r\n登録日2=2027/5/20\r\n登録日3=2027/5/4\r\n"
            "[祝日]\r\n登録日1=2027/7/19\r\n");
}

TEST_F(DatesFixture, FailedSaveKeepsTheEditsUnsaved) {
  load("");
  page.addDate(DateKind::Holiday, "2028/1/1", kToday);
  IniFile unwritable(folder / "missing-folder" / "Sayolt設定.ini");
  EXPECT_THROW(page.saveSpecialDates(unwritable), IniError);
  EXPECT_TRUE(page.hasUnsavedEdits());
}

}  // namespace
}  // namespace sayolt::editor
