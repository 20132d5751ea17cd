// The time-specified programs page and the dates page with real widgets, offscreen: the number
// field's focus rule, edits kept across category and kind switches, the frame-close question,
// and the walk main page -> programs -> dates and back through the navigator.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "editor/model/unsaved_question.h"
#include "editor/ui/dates_page_window.h"
#include "editor/ui/editor_navigator.h"
#include "editor/ui/main_page_window.h"
#include "editor/ui/page_widgets.h"
#include "editor/ui/timed_page_window.h"
#include "tests/editor/editor_fakes.h"
#include "tests/editor/editor_files.h"
#include "tests/support/qt_test_app.h"

namespace sayolt::editor::ui {
namespace {

using test::TempFolder;

// Monday 4 January 2027.
class DayClock : public Clock {
 public:
  LocalTime now() const override { return test::localAt("2027-01-04 09:00:00"); }
  MonotonicMs monotonicMs() const override { return 0; }
  bool setUtc(UtcTime) override { return false; }
  bool setLocalTimeOfDay(TimeOfDay) override { return false; }
  bool syncHardwareClock() override { return false; }
};

// A main page that passes its check, program 3 of the time-specified list, one Monday run, dates.
const char* const kFile =
    "[起動終了時刻]\r\n0-0-0=8:00\r\n0-1-0=8:00\r\n0-2-0=8:00\r\n0-3-0=8:00\r\n0-4-0=8:00\r\n"
    "0-5-0=8:00\r\n0-6-0=8:00\r\n0-7-0=8:00\r\n0-8-0=8:00\r\n1-0-0=17:00\r\n"
    "[NTPサーバー]\r\nサーバー0=ntp.nict.jp\r\nサーバー1=time.google.com\r\n"
    "[起動時調整時間]\r\n時間=30\r\n[休日不在]\r\n優先=0\r\n"
    "[時刻指定プログラム]\r\nプログラム名2=日報\r\nパス2=C:\\report.exe\r\n"
    "[時刻指定プログラム実行予定]\r\n開始時刻0-0=9:00\r\n番号0-0=2\r\n"
    "[祝日]\r\n登録日1=2027/2/11\r\n[不在]\r\n登録日1=2027/1/5\r\n登録日2=2026/12/28\r\n";

struct PagesWindowTest : ::testing::Test {
  PagesWindowTest() {
    test::qtTestApp();
    test::writeIniText(path, kFile);
  }
  template <class Page>
  Page& open() {
    auto page = std::make_unique<Page>(context);
    page->load();
    page->show();
    page->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(page.get()));
    Page& shown = *page;
    window = std::move(page);
    return shown;
  }
  // The event loop runs between two clicks of a person.
  static void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, widget->height() / 2));
    QApplication::processEvents();
  }
  static void retype(QLineEdit* field, const char* text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    // QTest types ASCII only; Japanese arrives as an input method would put it.
    const QString typed = QString::fromUtf8(text);
    if (typed.toLatin1() == typed.toUtf8())
      QTest::keyClicks(field, typed);
    else
      field->insert(typed);
  }
  static QStringList lines(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
    return texts;
  }

  TempFolder folder;
  std::filesystem::path path = folder / "Sayolt設定.ini";
  test::FakeEditorServices fakes;
  DayClock clock;
  EditorContext context{folder.path(), {fakes.dialogs, fakes.processes, fakes.instances, fakes.events, clock}};
  std::unique_ptr<EditorPage> window;
};

TEST_F(PagesWindowTest, NumberFieldRefusesZeroTwentyOneAndTextAndKeepsTheFocus) {
  auto& p = open<TimedPageWindow>();
  EXPECT_EQ(control<QLineEdit>(p, "Text2", 0)->text(), "3");  // stored 2, shown one-based
  EXPECT_EQ(control<QLabel>(p, "Label6", 0)->text(), "日報");
  for (const char* bad : {"0", "21", "abc", "1"}) {  // program 1 has no name
    fakes.dialogs.messages.clear();
    retype(control<QLineEdit>(p, "Text2", 5), bad);
    EXPECT_EQ(control<QLabel>(p, "Label6", 5)->text(), "") << bad;
    QTest::keyClick(control<QLineEdit>(p, "Text2", 5), Qt::Key_Tab);
    EXPECT_TRUE(control<QLineEdit>(p, "Text2", 5)->hasFocus()) << bad;
    click(control<QRadioButton>(p, "Option1", 2));  // no other category either
    EXPECT_TRUE(control<QRadioButton>(p, "Option1", 0)->isChecked());
    EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>(2, "プログラム番号が相違しています"));
  }
  retype(control<QLineEdit>(p, "Text2", 5), "3");
  EXPECT_EQ(control<QLabel>(p, "Label6", 5)->text(), "日報");
  QTest::keyClick(control<QLineEdit>(p, "Text2", 5), Qt::Key_Tab);
  EXPECT_FALSE(control<QLineEdit>(p, "Text2", 5)->hasFocus());

  // A start time that is no time keeps the focus without a message.
  fakes.dialogs.messages.clear();
  retype(control<QLineEdit>(p, "Text1", 5), "25:00");
  QTest::keyClick(control<QLineEdit>(p, "Text1", 5), Qt::Key_Tab);
  EXPECT_TRUE(control<QLineEdit>(p, "Text1", 5)->hasFocus());
  EXPECT_TRUE(fakes.dialogs.messages.empty());
}

TEST_F(PagesWindowTest, CategoriesKeepTheirEditsAndTheSaveStoresZeroBasedNumbers) {
  auto& p = open<TimedPageWindow>();
  click(control<QRadioButton>(p, "Option1", 5));  // 土曜日
  retype(control<QLineEdit>(p, "Text1", 29), "23:30");
  retype(control<QLineEdit>(p, "Text2", 29), "3");
  click(control<QRadioButton>(p, "Option1", 0));
  EXPECT_EQ(control<QLineEdit>(p, "Text1", 0)->text(), "9:00");
  EXPECT_EQ(control<QLineEdit>(p, "Text1", 29)->text(), "");
  click(control<QRadioButton>(p, "Option1", 5));
  EXPECT_EQ(control<QLineEdit>(p, "Text1", 29)->text(), "23:30");
  EXPECT_EQ(control<QLabel>(p, "Label6", 29)->text(), "日報");

  // Copy Monday with 火曜日 shown: the grid shows the copy, so a later edit keeps it.
  click(control<QRadioButton>(p, "Option1", 1));
  click(control<QPushButton>(p, "Command4"));
  EXPECT_EQ(control<QLineEdit>(p, "Text1", 0)->text(), "9:00");
  EXPECT_EQ(control<QLineEdit>(p, "Text2", 0)->text(), "3");

  QSignalSpy next(&p, &EditorPage::nextRequested);
  click(control<QPushButton>(p, "Command5"));
  ASSERT_EQ(next.count(), 1);
  const std::string saved = test::readIniText(path);
  EXPECT_NE(saved.find("開始時刻5-29=23:30\r\n番号5-29=2\r\n"), std::string::npos);
  EXPECT_NE(saved.find("開始時刻1-0=9:00\r\n番号1-0=2\r\n"), std::string::npos);
  EXPECT_TRUE(fakes.dialogs.messages.empty());
}

TEST_F(PagesWindowTest, IncompleteSlotStopsEveryLeavingButtonAndCancelRestoresTheCategory) {
  auto& p = open<TimedPageWindow>();
  const std::string before = test::readBytes(path);
  click(control<QRadioButton>(p, "Option1", 2));
  retype(control<QLineEdit>(p, "Text1", 3), "10:00");  // no number
  QTest::keyClick(control<QLineEdit>(p, "Text1", 3), Qt::Key_Tab);
  QSignalSpy back(&p, &EditorPage::backRequested), next(&p, &EditorPage::nextRequested),
      end(&p, &EditorPage::endRequested);
  for (QPushButton* button :
       {control<QPushButton>(p, "Command3"), control<QPushButton>(p, "Command5"), control<QPushButton>(p, "Command2")})
    click(button);
  EXPECT_EQ(back.count() + next.count() + end.count(), 0);
  EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>(3, "水曜日のプログラム設定に記入漏れがあります"));
  EXPECT_EQ(test::readBytes(path), before);

  click(control<QPushButton>(p, "Command6"));  // キャンセル
  EXPECT_EQ(control<QLineEdit>(p, "Text1", 3)->text(), "");
  click(control<QPushButton>(p, "Command2"));
  EXPECT_EQ(end.count(), 1);
  EXPECT_EQ(test::readBytes(path), before);  // nothing changed, nothing written
}

TEST_F(PagesWindowTest, FrameCloseAsksOnlyWhenSomethingChanged) {
  auto& p = open<TimedPageWindow>();
  QSignalSpy closed(&p, &EditorPage::closedByFrame);
  retype(control<QLineEdit>(p, "Text3", 0), "同期");
  fakes.dialogs.answers = {MessageAnswer::No};
  EXPECT_FALSE(p.close());
  EXPECT_TRUE(p.isVisible());
  EXPECT_EQ(fakes.dialogs.questions, std::vector<std::string>{kUnsavedQuestion});
  fakes.dialogs.answers = {MessageAnswer::Yes};
  EXPECT_TRUE(p.close());
  EXPECT_EQ(closed.count(), 1);
  EXPECT_EQ(test::readIniText(path), kFile);

  auto& dates = open<DatesPageWindow>();
  fakes.dialogs.questions.clear();
  EXPECT_TRUE(dates.close());
  EXPECT_TRUE(fakes.dialogs.questions.empty());
}

TEST_F(PagesWindowTest, DatesPageSwitchesKindsWithoutLosingEdits) {
  auto& p = open<DatesPageWindow>();
  EXPECT_TRUE(control<QRadioButton>(p, "Option1", 1)->isChecked());             // 不在 first
  EXPECT_EQ(lines(control<QListWidget>(p, "List1")), QStringList{"2027/1/5"});  // 2026/12/28 has passed
  EXPECT_FALSE(control<QPushButton>(p, "AddNationalHolidays")->isVisible());

  retype(control<QLineEdit>(p, "Text1"), "abc");
  QTest::keyClick(control<QLineEdit>(p, "Text1"), Qt::Key_Tab);
  EXPECT_TRUE(control<QLineEdit>(p, "Text1")->hasFocus());
  click(control<QPushButton>(p, "Command1"));  // 追加 is not reached either, but the refusal says why each time
  EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>(2, "年月日をyyyy/m/dの形式で記入してください"));
  fakes.dialogs.messages.clear();
  retype(control<QLineEdit>(p, "Text1"), "2099/01/05");
  click(control<QPushButton>(p, "Command1"));
  EXPECT_EQ(lines(control<QListWidget>(p, "List1")), (QStringList{"2027/1/5", "2099/1/5"}));
  EXPECT_EQ(control<QLineEdit>(p, "Text1")->text(), "");

  click(control<QRadioButton>(p, "Option1", 0));
  EXPECT_EQ(lines(control<QListWidget>(p, "List1")), QStringList{"2027/2/11"});
  EXPECT_TRUE(control<QPushButton>(p, "AddNationalHolidays")->isVisible());
  EXPECT_EQ(control<QSpinBox>(p, "HolidayYear")->value(), 2027);
  click(control<QPushButton>(p, "AddNationalHolidays"));
  EXPECT_EQ(control<QListWidget>(p, "List1")->count(), 16);  // 2/11 was there already; 1/1 has passed
  control<QListWidget>(p, "List1")->setCurrentRow(0);
  click(control<QPushButton>(p, "Command2"));  // 削除
  EXPECT_EQ(control<QListWidget>(p, "List1")->item(0)->text(), "2027/1/11");

  click(control<QRadioButton>(p, "Option1", 1));
  EXPECT_EQ(lines(control<QListWidget>(p, "List1")), (QStringList{"2027/1/5", "2099/1/5"}));
  QSignalSpy back(&p, &EditorPage::backRequested);
  click(control<QPushButton>(p, "Command3"));
  ASSERT_EQ(back.count(), 1);
  const std::string saved = test::readIniText(path);
  EXPECT_NE(saved.find("[不在]\r\n登録日1=2027/1/5\r\n登録日2=2099/1/5\r\n"), std::string::npos);
  EXPECT_NE(saved.find("[祝日]\r\n登録日1=2027/1/11\r\n"), std::string::npos);
  EXPECT_EQ(saved.find("2027/2/11"), std::string::npos);
}

TEST_F(PagesWindowTest, WalkThroughThePagesKeepsWhatWasSaved) {
  EditorNavigator navigator(context);
  navigator.setPageFactory(PageId::Main, [](EditorContext& c) -> std::unique_ptr<EditorPage> {
    return std::make_unique<MainPageWindow>(c);
  });
  navigator.setPageFactory(PageId::TimedPrograms, [](EditorContext& c) -> std::unique_ptr<EditorPage> {
    return std::make_unique<TimedPageWindow>(c);
  });
  navigator.setPageFactory(PageId::Dates, [](EditorContext& c) -> std::unique_ptr<EditorPage> {
    return std::make_unique<DatesPageWindow>(c);
  });
  ASSERT_TRUE(navigator.start());
  click(control<QPushButton>(*navigator.currentPage(), "Command2"));
  ASSERT_EQ(navigator.currentPageId(), PageId::TimedPrograms);

  auto* timed = static_cast<TimedPageWindow*>(navigator.currentPage());
  EXPECT_EQ(control<QLabel>(*timed, "Label3", 0)->text(), "8:00");  // the main page's times for reference
  EXPECT_EQ(control<QLabel>(*timed, "Label3", 0)->accessibleName(), "参照 開始時刻 1 8:00");
  EXPECT_EQ(control<QLabel>(*timed, "Label3", 8)->text(), "17:00");
  retype(control<QLineEdit>(*timed, "Text1", 1), "12:00");
  retype(control<QLineEdit>(*timed, "Text2", 1), "3");
  click(control<QPushButton>(*timed, "Command5"));
  ASSERT_EQ(navigator.currentPageId(), PageId::Dates);

  auto* dates = static_cast<DatesPageWindow*>(navigator.currentPage());
  retype(control<QLineEdit>(*dates, "Text1"), "2027/3/1");
  click(control<QPushButton>(*dates, "Command1"));
  click(control<QPushButton>(*dates, "Command3"));
  ASSERT_EQ(navigator.currentPageId(), PageId::TimedPrograms);
  timed = static_cast<TimedPageWindow*>(navigator.currentPage());
  EXPECT_EQ(control<QLineEdit>(*timed, "Text1", 1)->text(), "12:00");
  EXPECT_EQ(control<QLineEdit>(*timed, "Text2", 1)->text(), "3");
  EXPECT_NE(test::readIniText(path).find("登録日2=2027/3/1"), std::string::npos);

  click(control<QPushButton>(*timed, "Command3"));
  ASSERT_EQ(navigator.currentPageId(), PageId::Main);
  QSignalSpy ended(&navigator, &EditorNavigator::editorEnded);
  click(control<QPushButton>(*navigator.currentPage(), "Command5"));
  EXPECT_EQ(ended.count(), 1);
  EXPECT_TRUE(fakes.dialogs.messages.empty());
}

// A screen reader's Press or SetText arrives without a key or mouse press and without moving the focus.
TEST_F(PagesWindowTest, TimedPageChecksTheFocusedFieldOnPressAndStoresTextSetWithoutTyping) {
  auto& p = open<TimedPageWindow>();
  const std::string before = test::readBytes(path);
  QSignalSpy back(&p, &EditorPage::backRequested), next(&p, &EditorPage::nextRequested),
      end(&p, &EditorPage::endRequested);
  for (const char* number : {"21", "0", "-0.4", "1"}) {  // program 1 has no name
    retype(control<QLineEdit>(p, "Text2", 1), number);
    for (QAbstractButton* pressed : std::initializer_list<QAbstractButton*>{
             control<QPushButton>(p, "Command5"), control<QPushButton>(p, "Command3"),
             control<QPushButton>(p, "Command2"), control<QPushButton>(p, "Command4"),
             control<QPushButton>(p, "Command6"), control<QPushButton>(p, "Command1", 0),
             control<QRadioButton>(p, "Option1", 3)}) {
      fakes.dialogs.messages.clear();
      pressed->click();
      EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>{"プログラム番号が相違しています"})
          << number << " " << pressed->objectName().toStdString();
      EXPECT_TRUE(control<QLineEdit>(p, "Text2", 1)->hasFocus());
    }
    EXPECT_TRUE(control<QRadioButton>(p, "Option1", 0)->isChecked());  // the category did not change
    // Whatever was typed on the way, the table holds only a program the scheduler knows.
    const std::string stored = context.tables.timed.runPrograms[0][1];
    EXPECT_TRUE(stored.empty() || (std::stoi(stored) >= 0 && std::stoi(stored) < 20)) << number << " " << stored;
  }
  EXPECT_EQ(back.count() + next.count() + end.count(), 0);
  EXPECT_EQ(test::readBytes(path), before);

  // Set without typing, away from the focus; full-width digits as an IME gives them.
  retype(control<QLineEdit>(p, "Text2", 1), "");
  control<QLineEdit>(p, "Text1", 2)->setText(QString::fromUtf8("１２：３０"));
  control<QLineEdit>(p, "Text2", 2)->setText(QString::fromUtf8("３"));
  EXPECT_EQ(control<QLabel>(p, "Label6", 2)->text(), "日報");
  EXPECT_EQ(control<QLabel>(p, "Label6", 2)->accessibleName(), "プログラム名 3 日報");  // heard with its value
  fakes.dialogs.messages.clear();
  control<QPushButton>(p, "Command2")->click();
  EXPECT_EQ(end.count(), 1);
  EXPECT_TRUE(fakes.dialogs.messages.empty());
  const std::string saved = test::readIniText(path);
  EXPECT_NE(saved.find("開始時刻0-2=12:30\r\n番号0-2=2\r\n"), std::string::npos) << saved;
}

TEST_F(PagesWindowTest, DatesPageAcceptsFullWidthDatesAndSaysWhyAnAddIsRefused) {
  auto& p = open<DatesPageWindow>();
  retype(control<QLineEdit>(p, "Text1"), "２０９９／１／５");
  control<QPushButton>(p, "Command1")->click();
  EXPECT_EQ(lines(control<QListWidget>(p, "List1")), (QStringList{"2027/1/5", "2099/1/5"}));
  EXPECT_TRUE(fakes.dialogs.messages.empty());

  retype(control<QLineEdit>(p, "Text1"), "2027/1/3");  // the day before today
  control<QPushButton>(p, "Command1")->click();
  EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>{"今日より前の日付は登録できません"});
  EXPECT_EQ(lines(control<QListWidget>(p, "List1")), (QStringList{"2027/1/5", "2099/1/5"}));

  fakes.dialogs.messages.clear();
  retype(control<QLineEdit>(p, "Text1"), "3/1");
  QSignalSpy end(&p, &EditorPage::endRequested);
  for (QPushButton* button :
       {control<QPushButton>(p, "Command1"), control<QPushButton>(p, "Command2"), control<QPushButton>(p, "Command4")})
    button->click();
  EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>(3, "年月日をyyyy/m/dの形式で記入してください"));
  EXPECT_EQ(end.count(), 0);
}

TEST_F(PagesWindowTest, UnreadableFileIsNeverOfferedForErasingOnPagesTwoAndThree) {
  const auto unreadable = [this] {
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
  };
  for (PageId id : {PageId::TimedPrograms, PageId::Dates}) {
    EditorNavigator navigator(context);
    navigator.setPageFactory(PageId::TimedPrograms, [](EditorContext& c) -> std::unique_ptr<EditorPage> {
      return std::make_unique<TimedPageWindow>(c);
    });
    navigator.setPageFactory(PageId::Dates, [](EditorContext& c) -> std::unique_ptr<EditorPage> {
      return std::make_unique<DatesPageWindow>(c);
    });
    unreadable();
    fakes.dialogs.answers = {MessageAnswer::Yes};
    fakes.dialogs.messages.clear();
    EXPECT_FALSE(navigator.open(id));
    EXPECT_TRUE(navigator.ended());
    EXPECT_TRUE(fakes.dialogs.questions.empty());
    ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
    EXPECT_NE(fakes.dialogs.messages[0].find("を読めませんでした。"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    std::filesystem::remove(path);
  }
}

}  // namespace
}  // namespace sayolt::editor::ui
