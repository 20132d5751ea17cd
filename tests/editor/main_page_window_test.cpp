// The main page's real widgets, offscreen, pressed with QTest: fields that keep the focus,
// highlights and program selection, the caption cycle, the buttons, and start-up's repair question.
#include "editor/ui/main_page_window.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "editor/model/unsaved_question.h"
#include "editor/ui/editor_navigator.h"
#include "editor/ui/page_widgets.h"
#include "editor/ui/twips.h"
#include "testdata/full_settings.h"
#include "tests/editor/editor_fakes.h"
#include "tests/editor/editor_files.h"
#include "tests/support/qt_test_app.h"

namespace sayolt::editor::ui {
namespace {

using test::TempFolder;

const QColor kGreen(192, 255, 192);
const char* const kTimeMessage = "h:mm 形式で記入してください";

// Every day starts at 8:00; servers, tolerance and priority set; program 0 runs after Monday's start.
const char* const kGoodFile =
    "[起動終了時刻]\r\n0-0-0=8:00\r\n0-0-1=12:00\r\n0-1-0=8:00\r\n0-2-0=8:00\r\n0-3-0=8:00\r\n0-4-0=8:00\r\n"
    "0-5-0=8:00\r\n0-6-0=8:00\r\n0-7-0=8:00\r\n0-8-0=8:00\r\n1-0-0=17:00\r\n"
    "[自動実行時プログラム]\r\nプログラム名0=メール\r\nパス0=C:\\mail.exe\r\n遅延0=5\r\n"
    "プログラム名1=日報\r\nパス1=C:\\report.exe\r\n遅延1=10\r\n"
    "[自動実行時プログラム実行予定]\r\n0-0-0=1\r\n"
    "[NTPサーバー]\r\nサーバー0=ntp.nict.jp\r\nサーバー1=time.google.com\r\n"
    "[起動時調整時間]\r\n時間=30\r\n[休日不在]\r\n優先=0\r\n[一日の区切り]\r\n時刻=300\r\n[次回起動]\r\n時刻=8:00\r\n";

struct MainPageWindowTest : ::testing::Test {
  MainPageWindowTest() { test::qtTestApp(); }

  MainPageWindow& open(std::string_view text) {
    test::writeIniText(path, text);
    page = std::make_unique<MainPageWindow>(context);
    page->load();
    page->show();
    page->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(page.get()));
    return *page;
  }
  static bool green(const QLineEdit* field) { return field->palette().color(QPalette::Base) == kGreen; }
  static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, widget->height() / 2)); }
  static void retype(QLineEdit* field, const char* text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    field->insert(QString::fromUtf8(text));  // as an IME would hand it over
  }

  TempFolder folder;
  std::filesystem::path path = folder / "Sayolt設定.ini";
  test::FakeEditorServices fakes;
  EditorContext context{folder.path(), fakes.services()};
  std::unique_ptr<MainPageWindow> page;
};

TEST_F(MainPageWindowTest, BadCellKeepsFocusAgainstTabClickAndButtons) {
  MainPageWindow& p = open(kGoodFile);
  const std::string before = test::readBytes(path);
  for (const char* bad : {"25:00", "abc"}) {
    fakes.dialogs.messages.clear();
    retype(control<QLineEdit>(p, "Text1", 0), bad);
    QTest::keyClick(control<QLineEdit>(p, "Text1", 0), Qt::Key_Tab);
    EXPECT_TRUE(control<QLineEdit>(p, "Text1", 0)->hasFocus()) << bad;
    click(control<QLineEdit>(p, "Text1", 1));  // a filled start cell: neither focus nor highlight moves
    EXPECT_TRUE(control<QLineEdit>(p, "Text1", 0)->hasFocus());
    EXPECT_FALSE(green(control<QLineEdit>(p, "Text1", 1)));
    click(control<QPushButton>(p, "Command6"));  // Copy Monday never runs
    EXPECT_EQ(control<QLineEdit>(p, "Text1", gridIndex(0, 1, 1))->text(), "");
    click(control<QPushButton>(p, "Command5"));  // nor does 設定終了
    EXPECT_TRUE(control<QLineEdit>(p, "Text1", 0)->hasFocus());
    EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>(4, kTimeMessage));
    EXPECT_EQ(fakes.dialogs.titles.back(), "Sayolt設定");
  }
  EXPECT_EQ(test::readBytes(path), before);

  // Emptied, the cell lets go; Tab walks to the end cell of the same pair.
  retype(control<QLineEdit>(p, "Text1", 0), "");
  QTest::keyClick(control<QLineEdit>(p, "Text1", 0), Qt::Key_Tab);
  EXPECT_TRUE(control<QLineEdit>(p, "Text1", gridIndex(1, 0, 0))->hasFocus());
  QTest::keyClick(control<QLineEdit>(p, "Text1", gridIndex(1, 0, 0)), Qt::Key_Tab);
  EXPECT_TRUE(control<QLineEdit>(p, "Text1", gridIndex(0, 0, 1))->hasFocus());

  // The day start is checked the same way; closing by the frame is never held up by the check,
  // only asks about the unsaved edit.
  retype(control<QLineEdit>(p, "Text10"), "5時");
  QTest::keyClick(control<QLineEdit>(p, "Text10"), Qt::Key_Backtab);
  EXPECT_TRUE(control<QLineEdit>(p, "Text10")->hasFocus());
  EXPECT_EQ(control<QLabel>(p, "Label18")->text(), "(1日の開始時刻  5時)");
  fakes.dialogs.messages.clear();
  fakes.dialogs.answers = {MessageAnswer::Yes};
  EXPECT_TRUE(p.close());
  EXPECT_TRUE(fakes.dialogs.messages.empty());
  EXPECT_EQ(fakes.dialogs.questions.size(), 1u);
}

TEST_F(MainPageWindowTest, AcceptedTimeStaysAsTypedAndIsSaved) {
  MainPageWindow& p = open(kGoodFile);
  retype(control<QLineEdit>(p, "Text1", 0), "9:05");
  QTest::keyClick(control<QLineEdit>(p, "Text1", 0), Qt::Key_Tab);
  EXPECT_TRUE(fakes.dialogs.messages.empty());
  EXPECT_EQ(control<QLineEdit>(p, "Text1", 0)->text(), "9:05");
  QSignalSpy ended(&p, &EditorPage::endRequested);
  click(control<QPushButton>(p, "Command5"));
  EXPECT_EQ(ended.count(), 1);
  EXPECT_EQ(IniSnapshot::load(path).get("起動終了時刻", "0-0-0"), "9:05");
  EXPECT_EQ(IniSnapshot::load(path).get("次回起動", "時刻"), "8:00");
}

TEST_F(MainPageWindowTest, StartCellHighlightToggles) {
  MainPageWindow& p = open(kGoodFile);
  click(control<QLineEdit>(p, "Text1", 1));
  EXPECT_TRUE(green(control<QLineEdit>(p, "Text1", 1)));
  click(control<QLineEdit>(p, "Text1", 1));
  EXPECT_FALSE(green(control<QLineEdit>(p, "Text1", 1)));
  click(control<QLineEdit>(p, "Text1", 2));  // empty: never highlighted
  EXPECT_FALSE(green(control<QLineEdit>(p, "Text1", 2)));
  click(control<QLineEdit>(p, "Text1", gridIndex(1, 0, 0)));  // an end cell
  EXPECT_FALSE(green(control<QLineEdit>(p, "Text1", gridIndex(1, 0, 0))));
}

TEST_F(MainPageWindowTest, ProgramSelectionShowsItsPlanAndDiscardsUncommittedToggles) {
  MainPageWindow& p = open(kGoodFile);
  click(control<QLineEdit>(p, "Text3", 0));
  EXPECT_TRUE(green(control<QLineEdit>(p, "Text3", 0)));
  EXPECT_TRUE(green(control<QLineEdit>(p, "Text1", 0)));
  click(control<QLineEdit>(p, "Text1", 1));
  EXPECT_TRUE(green(control<QLineEdit>(p, "Text1", 1)));
  click(control<QLineEdit>(p, "Text3", 1));  // another program without 確　　定
  EXPECT_FALSE(green(control<QLineEdit>(p, "Text3", 0)));
  EXPECT_TRUE(green(control<QLineEdit>(p, "Text3", 1)));
  EXPECT_FALSE(green(control<QLineEdit>(p, "Text1", 0)));
  click(control<QLineEdit>(p, "Text3", 0));
  EXPECT_TRUE(green(control<QLineEdit>(p, "Text1", 0)));
  EXPECT_FALSE(green(control<QLineEdit>(p, "Text1", 1)));

  click(control<QLineEdit>(p, "Text1", 1));
  click(control<QPushButton>(p, "Command9"));
  EXPECT_EQ(context.tables.main.runPlan[0][0][1], "1");
  EXPECT_EQ(context.tables.main.runPlan[0][0][0], "1");
  EXPECT_EQ(context.tables.main.runPlan[0][8][7], "0");
  EXPECT_EQ(context.tables.main.runPlan[1][0][0], "");

  click(control<QLineEdit>(p, "Text3", 5));  // an empty name: nothing selected, no start cell green
  for (int i = 0; i < kStartCells; ++i) EXPECT_FALSE(green(control<QLineEdit>(p, "Text1", i))) << i;
  click(control<QLineEdit>(p, "Text1", 0));
  click(control<QPushButton>(p, "Command9"));
  EXPECT_EQ(fakes.dialogs.messages.size(), 1u);
  EXPECT_EQ(context.tables.main.runPlan[0][0][1], "1");
}

TEST_F(MainPageWindowTest, CaptionCycleSavesOnlyFromNext) {
  std::string file = kGoodFile;
  file.replace(file.find("サーバー1=time.google.com"), std::string("サーバー1=time.google.com").size(), "サーバー1=");
  MainPageWindow& p = open(file);
  const std::string before = test::readBytes(path);
  QSignalSpy next(&p, &EditorPage::nextRequested);

  click(control<QPushButton>(p, "Command2"));
  EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>{"サーバー2を記入してください"});
  EXPECT_TRUE(p.state().retrying());
  EXPECT_EQ(control<QPushButton>(p, "Command2")->text(), "もう一度チェックする");
  EXPECT_EQ(control<QPushButton>(p, "Command5")->text(), "あきらめる\n(保存せず終了)");

  control<QLineEdit>(p, "Text2", 1)->setText("time.google.com");
  click(control<QPushButton>(p, "Command2"));
  EXPECT_EQ(control<QPushButton>(p, "Command2")->text(), "次へ");
  EXPECT_EQ(control<QPushButton>(p, "Command5")->text(), "設定終了");
  EXPECT_EQ(next.count(), 0);
  EXPECT_EQ(test::readBytes(path), before);

  click(control<QPushButton>(p, "Command2"));
  EXPECT_EQ(next.count(), 1);
  EXPECT_EQ(IniSnapshot::load(path).get("NTPサーバー", "サーバー1"), "time.google.com");
}

TEST_F(MainPageWindowTest, GivingUpEndsWithoutSaving) {
  MainPageWindow& p = open(kGoodFile);
  const std::string before = test::readBytes(path);
  control<QLineEdit>(p, "Text9")->setText("0");
  click(control<QPushButton>(p, "Command5"));
  EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>{"起動時調整時間には1以上の整数値を記入してください"});
  QSignalSpy ended(&p, &EditorPage::endRequested);
  click(control<QPushButton>(p, "Command5"));
  EXPECT_EQ(ended.count(), 1);
  EXPECT_EQ(test::readBytes(path), before);
}

TEST_F(MainPageWindowTest, FilePickerCancelKeepsThePath) {
  MainPageWindow& p = open(kGoodFile);
  click(control<QPushButton>(p, "Command1", 0));
  EXPECT_EQ(control<QLineEdit>(p, "Text4", 0)->text(), "C:\\mail.exe");
  EXPECT_EQ(fakes.dialogs.titles.back(), "ファイルの選択");
  fakes.dialogs.openFileAnswer = "C:\\Tools\\new.exe";
  click(control<QPushButton>(p, "Command4", 4));
  EXPECT_EQ(control<QLineEdit>(p, "Text7", 4)->text(), "C:\\Tools\\new.exe");
}

TEST_F(MainPageWindowTest, RestartSavesWithoutCheckThenRestartsTheScheduler) {
  fakes.instances.held.insert(kSchedulerInstanceName);
  const std::string program = (folder / "Sayolt_123").string();
  fakes.processes.files.insert(program);
  MainPageWindow& p = open(kGoodFile);
  EXPECT_TRUE(control<QPushButton>(p, "Command3")->isEnabled());
  control<QLineEdit>(p, "Text2", 0)->clear();  // would fail the check
  control<QLineEdit>(p, "Text9")->setText("abc");
  click(control<QPushButton>(p, "Command3"));
  EXPECT_EQ(IniSnapshot::load(path).get("NTPサーバー", "サーバー0"), "");
  EXPECT_EQ(IniSnapshot::load(path).get("起動時調整時間", "時間"), "30");
  EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>{kToleranceKeptMessage});
  EXPECT_EQ(fakes.instances.closeRequests, std::vector<std::string>{kSchedulerInstanceName});
  EXPECT_EQ(fakes.events.waits, std::vector<MonotonicMs>{500});
  EXPECT_EQ(fakes.processes.started, std::vector<std::string>{program});
}

TEST_F(MainPageWindowTest, RestartIsOfferedOnlyWhileTheSchedulerRuns) {
  EXPECT_FALSE(control<QPushButton>(open(kGoodFile), "Command3")->isEnabled());
  fakes.instances.held.insert(kSchedulerInstanceName);
  EXPECT_TRUE(control<QPushButton>(open(kGoodFile), "Command3")->isEnabled());
}

TEST_F(MainPageWindowTest, EveryControlIsNamedAndPlacedAndNoCaptionIsClipped) {
  MainPageWindow& p = open(test::fullSettingsText());
  EXPECT_EQ(control<QLineEdit>(p, "Text1", gridIndex(0, 3, 1))->geometry(), twipsRect(1920, 2400, 735, 270));
  EXPECT_EQ(control<QLineEdit>(p, "Text1", gridIndex(1, 8, 7))->geometry(), twipsRect(6240, 5640, 735, 270));
  EXPECT_EQ(control<QLineEdit>(p, "Text8", 4)->geometry(), twipsRect(12120, 5640, 495, 255));
  EXPECT_EQ(control<QLineEdit>(p, "Text1", gridIndex(0, 0, 0))->accessibleName(), "月曜日 起動 1");
  EXPECT_EQ(control<QLineEdit>(p, "Text1", gridIndex(1, 8, 7))->accessibleName(), "不在 終了 8");
  EXPECT_EQ(control<QLineEdit>(p, "Text3", 2)->accessibleName(), "自動実行 プログラム名 3");
  EXPECT_EQ(control<QLineEdit>(p, "Text7", 0)->accessibleName(), "手動実行 パス 1");
  EXPECT_EQ(control<QPushButton>(p, "Command9")->text(), "確　　定");

  for (QWidget* w : p.findChildren<QWidget*>()) {
    if (w->isWindow() || !w->isVisibleTo(&p) || w->parentWidget() != &p) continue;
    EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    EXPECT_TRUE(p.rect().contains(w->geometry())) << w->objectName().toStdString();
    const QFontMetrics fm(w->font());
    QString text;
    int room = w->width();
    if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
    if (auto* button = qobject_cast<QPushButton*>(w)) text = button->text(), room -= 4;
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
      EXPECT_LE(w->sizeHint().width(), w->width()) << w->objectName().toStdString();
    }
    for (const QString& line : text.split('\n'))
      EXPECT_LE(fm.horizontalAdvance(line), room) << w->objectName().toStdString() << " " << line.toStdString();
    if (!text.isEmpty()) {
      EXPECT_LE(fm.height() * (text.count('\n') + 1), w->height()) << text.toStdString();
    }
  }
  // The two-line caption of the retry state fits its button too.
  control<QLineEdit>(p, "Text9")->clear();
  click(control<QPushButton>(p, "Command5"));
  ASSERT_EQ(control<QPushButton>(p, "Command5")->text(), "あきらめる\n(保存せず終了)");
  const QFontMetrics fm(control<QPushButton>(p, "Command5")->font());
  EXPECT_LE(2 * fm.height(), control<QPushButton>(p, "Command5")->height() - 2);
  EXPECT_LE(fm.horizontalAdvance("(保存せず終了)"), control<QPushButton>(p, "Command5")->width() - 4);
  EXPECT_LE(QFontMetrics(control<QPushButton>(p, "Command2")->font()).horizontalAdvance("もう一度チェックする"),
            control<QPushButton>(p, "Command2")->width() - 4);
}

struct RepairTest : MainPageWindowTest {
  bool start(StartupReaders readers = {}) {
    navigator->setPageFactory(PageId::Main, [readers](EditorContext& c) -> std::unique_ptr<EditorPage> {
      return std::make_unique<MainPageWindow>(c, readers);
    });
    return navigator->start();
  }
  std::unique_ptr<EditorNavigator> navigator = std::make_unique<EditorNavigator>(context);
};

TEST_F(RepairTest, NoEndsTheEditorWithoutWriting) {
  test::writeIniText(path, "[一日の区切り]\r\n時刻=abc\r\n[次回起動]\r\n時刻=8:00\r\n");
  const std::string before = test::readBytes(path);
  fakes.dialogs.answers = {MessageAnswer::No};
  QSignalSpy ended(navigator.get(), &EditorNavigator::editorEnded);
  EXPECT_FALSE(start());
  EXPECT_TRUE(navigator->ended());
  EXPECT_EQ(ended.count(), 1);
  EXPECT_EQ(fakes.dialogs.questions, std::vector<std::string>{repairQuestion(PageId::Main)});
  EXPECT_EQ(fakes.dialogs.questions[0],
            "第1面のデータに不備があるようです。\n  Yes = 第1面のデータを消去します。再入力してください。\n"
            "  No = プログラムを終了します。");
  EXPECT_EQ(test::readBytes(path), before);
}

TEST_F(RepairTest, YesErasesTheDamagedPageAndShowsDefaults) {
  fakes.instances.held.insert(kSchedulerInstanceName);
  std::string file = kGoodFile;
  const std::string dayStart = "時刻=300";
  file.replace(file.find(dayStart), dayStart.size(), "時刻=abc");
  test::writeIniText(path, file + "[祝日]\r\n登録日1=2027/1/1\r\n");
  fakes.dialogs.answers = {MessageAnswer::Yes};
  ASSERT_TRUE(start());
  auto* p = static_cast<MainPageWindow*>(navigator->currentPage());
  EXPECT_EQ(control<QLineEdit>(*p, "Text10")->text(), "0:00");
  EXPECT_EQ(control<QLineEdit>(*p, "Text1", 0)->text(), "");
  EXPECT_FALSE(control<QRadioButton>(*p, "Option1", 0)->isChecked() ||
               control<QRadioButton>(*p, "Option1", 1)->isChecked());
  EXPECT_TRUE(control<QPushButton>(*p, "Command3")->isEnabled());
  EXPECT_EQ(test::readIniText(path), "[次回起動]\r\n時刻=8:00\r\n[祝日]\r\n登録日1=2027/1/1\r\n");
}

TEST_F(RepairTest, DamageOnPageTwoErasesOnlyPageTwo) {
  test::writeIniText(path, std::string(kGoodFile) + "[時刻指定プログラム実行予定]\r\n番号0-0=x\r\n");
  StartupReaders readers;
  readers.timedPrograms = [](const IniSnapshot& file, EditorTables&) {
    if (!file.get("時刻指定プログラム実行予定", "番号0-0").empty()) throw PageLoadError(PageId::TimedPrograms, "x");
  };
  bool datesRead = false;
  readers.dates = [&datesRead](const IniSnapshot&, EditorTables&) { datesRead = true; };
  fakes.dialogs.answers = {MessageAnswer::Yes};
  ASSERT_TRUE(start(readers));
  EXPECT_EQ(fakes.dialogs.questions, std::vector<std::string>{repairQuestion(PageId::TimedPrograms)});
  EXPECT_FALSE(datesRead);  // start-up stops reading after the repaired page
  EXPECT_EQ(IniSnapshot::load(path).get("時刻指定プログラム実行予定", "番号0-0"), "");
  EXPECT_EQ(IniSnapshot::load(path).get("起動終了時刻", "0-0-0"), "8:00");
}

// A screen reader's Press reaches a button without a mouse press and without moving the focus.
TEST_F(MainPageWindowTest, PressWithoutMouseRunsTheFocusedFieldsCheckFirst) {
  fakes.instances.held.insert(kSchedulerInstanceName);
  fakes.processes.files.insert((folder / "Sayolt_123").string());
  bool built = false;
  MainPageWindow& p = open(kGoodFile);
  p.setWorkbookActions([&built](MainPageWindow&) { built = true; }, [&built](MainPageWindow&) { built = true; });
  const std::string before = test::readBytes(path);
  QSignalSpy next(&p, &EditorPage::nextRequested), end(&p, &EditorPage::endRequested);
  for (QLineEdit* field : {control<QLineEdit>(p, "Text10"), control<QLineEdit>(p, "Text1", 0)}) {
    retype(field, "25:00");
    for (QPushButton* button :
         {control<QPushButton>(p, "Command2"), control<QPushButton>(p, "Command5"), control<QPushButton>(p, "Command3"),
          control<QPushButton>(p, "Command6"), control<QPushButton>(p, "Command9"), control<QPushButton>(p, "Command7"),
          control<QPushButton>(p, "Command8"), control<QPushButton>(p, "Command1", 0),
          control<QPushButton>(p, "Command4", 0)}) {
      fakes.dialogs.messages.clear();
      button->click();
      EXPECT_EQ(fakes.dialogs.messages, std::vector<std::string>{kTimeMessage}) << button->objectName().toStdString();
      EXPECT_TRUE(field->hasFocus());
    }
    retype(field, "8:00");
  }
  EXPECT_EQ(next.count() + end.count(), 0);
  EXPECT_FALSE(built);
  EXPECT_TRUE(fakes.processes.started.empty());
  EXPECT_TRUE(fakes.instances.closeRequests.empty());
  EXPECT_EQ(test::readBytes(path), before);
}

TEST_F(MainPageWindowTest, FullWidthTimesAreAcceptedShownAndSavedHalfWidth) {
  MainPageWindow& p = open(kGoodFile);
  retype(control<QLineEdit>(p, "Text1", 0), "８：００");
  QTest::keyClick(control<QLineEdit>(p, "Text1", 0), Qt::Key_Tab);
  EXPECT_TRUE(fakes.dialogs.messages.empty());
  EXPECT_EQ(control<QLineEdit>(p, "Text1", 0)->text(), "8:00");
  retype(control<QLineEdit>(p, "Text1", 1), "１２：３０");
  retype(control<QLineEdit>(p, "Text10"), "５：３０");
  EXPECT_EQ(control<QLabel>(p, "Label18")->accessibleName(), "1日の開始時刻 (1日の開始時刻  5:30)");
  control<QPushButton>(p, "Command5")->click();  // Press with the focus still in the day start
  EXPECT_TRUE(fakes.dialogs.messages.empty());
  EXPECT_EQ(control<QLineEdit>(p, "Text10")->text(), "5:30");
  const IniSnapshot saved = IniSnapshot::load(path);
  EXPECT_EQ(saved.get("起動終了時刻", "0-0-1"), "12:30");
  EXPECT_EQ(saved.get("一日の区切り", "時刻"), "330");
}

TEST_F(MainPageWindowTest, RetryCaptionsAreTheButtonsAccessibleNames) {
  MainPageWindow& p = open(kGoodFile);
  EXPECT_EQ(control<QPushButton>(p, "Command2")->accessibleName(), "次へ");
  control<QLineEdit>(p, "Text9")->clear();
  control<QPushButton>(p, "Command2")->click();
  EXPECT_EQ(control<QPushButton>(p, "Command2")->accessibleName(), "もう一度チェックする");
  EXPECT_EQ(control<QPushButton>(p, "Command5")->accessibleName(), "あきらめる(保存せず終了)");
  control<QLineEdit>(p, "Text9")->setText("30");
  control<QPushButton>(p, "Command2")->click();
  EXPECT_EQ(control<QPushButton>(p, "Command2")->accessibleName(), "次へ");
  EXPECT_EQ(control<QPushButton>(p, "Command5")->accessibleName(), "設定終了");
}

TEST_F(MainPageWindowTest, RestartWithoutTheProgramLeavesTheRunningSchedulerAlone) {
  fakes.instances.held.insert(kSchedulerInstanceName);
  MainPageWindow& p = open(kGoodFile);
  control<QPushButton>(p, "Command3")->click();
  EXPECT_TRUE(fakes.instances.closeRequests.empty());
  EXPECT_TRUE(fakes.instances.isHeld(kSchedulerInstanceName));
  EXPECT_TRUE(fakes.processes.started.empty());
  ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messages[0].rfind("Sayolt_123 が見つからないため", 0), 0u);
}

TEST_F(MainPageWindowTest, FrameCloseAsksOnlyWithUnsavedEditsAndNoKeepsThePage) {
  MainPageWindow& p = open(kGoodFile);
  const std::string before = test::readBytes(path);
  QSignalSpy closed(&p, &EditorPage::closedByFrame);
  EXPECT_TRUE(p.close());  // nothing changed: no question
  EXPECT_TRUE(fakes.dialogs.questions.empty());

  for (const auto& edit : std::vector<std::function<void(MainPageWindow&)>>{
           [](MainPageWindow& w) { control<QLineEdit>(w, "Text2", 0)->setText("pool.ntp.org"); },
           [](MainPageWindow& w) {
             control<QCheckBox>(w, "Check1")->setChecked(!control<QCheckBox>(w, "Check1")->isChecked());
           },
           [this](MainPageWindow& w) {  // a committed run plan
             click(control<QLineEdit>(w, "Text3", 1));
             click(control<QLineEdit>(w, "Text1", 0));
             click(control<QPushButton>(w, "Command9"));
           },
       }) {
    MainPageWindow& q = open(kGoodFile);
    edit(q);
    fakes.dialogs.questions.clear();
    fakes.dialogs.answers = {MessageAnswer::No};
    EXPECT_FALSE(q.close());
    EXPECT_EQ(fakes.dialogs.questions, std::vector<std::string>{kUnsavedQuestion});
    fakes.dialogs.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(q.close());
  }
  EXPECT_EQ(test::readBytes(path), before);
  EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainPageWindowTest, UnstorableTextIsToldInJapaneseNamingTheField) {
  MainPageWindow& p = open(kGoodFile);
  const std::string before = test::readBytes(path);
  control<QLineEdit>(p, "Text3", 0)->setText(QString::fromUtf8("한글メモ"));
  QSignalSpy end(&p, &EditorPage::endRequested);
  control<QPushButton>(p, "Command5")->click();
  EXPECT_EQ(end.count(), 0);
  EXPECT_EQ(
      fakes.dialogs.messages,
      std::vector<std::string>{"自動実行 プログラム名 1「한글メモ」に設定ファイルで使えない文字「한」があります。\n"
                               "その文字を別の文字に置き換えてください。"});
  EXPECT_EQ(test::readBytes(path), before);
}

}  // namespace
}  // namespace sayolt::editor::ui
