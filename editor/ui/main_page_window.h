#pragma once
// Form1 "起動設定": the weekly start and end times, the startup programs, the time servers and
// the general options. A thin view over main_page.h.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <functional>

#include "editor/model/editor_context.h"
#include "editor/model/main_page.h"
#include "editor/model/main_page_state.h"
#include "editor/model/startup.h"
#include "editor/ui/editor_page.h"
#include "editor/ui/field_check.h"

namespace sayolt::editor::ui {

class MainPageWindow : public EditorPage {
  Q_OBJECT

 public:
  explicit MainPageWindow(EditorContext& context) : MainPageWindow(context, startupReaders(context.services.clock)) {}
  MainPageWindow(EditorContext& context, StartupReaders readers);

  // Start-up: reads all three pages, fills the controls, looks for the running scheduler.
  void load() override;
  void loadAfterRepair(PageId erased) override;

  // The controls' values; times as the scheduler reads them (full-width digits made half-width).
  MainPageValues values() const;
  void showValues(const MainPageValues& values);
  bool hasUnsavedEdits() const override;
  const MainPageState& state() const { return state_; }

  // The workbook buttons 作成 (Command7) and 閲覧 (Command8) call these; they stay disabled
  // until the workbook sets them.
  using WorkbookAction = std::function<void(MainPageWindow&)>;
  void setWorkbookActions(WorkbookAction build, WorkbookAction view);
  // What 作成 does first: the page's check and, when it passes, the save. True when saved.
  bool checkAndSave();
  // Label15, the workbook's status line.
  void setStatusText(const QString& text);
  // 閲覧 waits while 作成 writes the file.
  void setViewEnabled(bool enabled);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The controls, named as the page names them (tests and tools find them by these names).
  std::array<QLineEdit*, kGridCells> text1{};
  std::array<QLineEdit*, 2> text2{};
  std::array<QLineEdit*, keys::kAutoPrograms> text3{}, text4{}, text5{};
  std::array<QLineEdit*, keys::kManualPrograms> text6{}, text7{}, text8{};
  QLineEdit* text9 = nullptr;
  QLineEdit* text10 = nullptr;
  std::array<QPushButton*, keys::kAutoPrograms> command1{};
  std::array<QPushButton*, keys::kManualPrograms> command4{};
  QPushButton *command2 = nullptr, *command3 = nullptr, *command5 = nullptr, *command6 = nullptr, *command7 = nullptr,
              *command8 = nullptr, *command9 = nullptr;
  std::array<QRadioButton*, 2> option1{};
  QCheckBox* check1 = nullptr;
  QLabel* label15 = nullptr;
  QLabel* label18 = nullptr;

  void buildControls();
  void setTabOrder();
  void loadPages(PageId lastPage);
  void showCaptions();
  void showHighlights();

  void onStartCellClicked(int index);
  void onProgramClicked(int program);
  void onCommit();
  void onCopyMonday();
  void onBrowse(QLineEdit* pathField);
  void onNext();
  void onEnd();
  void onRestart();
  // The page's check with its messages; true when it found nothing.
  bool runCheck();
  bool save();
  bool checkTimeField(QLineEdit* field);

  EditorContext& context_;
  StartupReaders readers_;
  MainPageState state_;
  FieldCheck* fieldCheck_ = nullptr;
  QObject* pressed_ = nullptr;  // the field a click began on
  WorkbookAction buildWorkbook_;
  WorkbookAction viewWorkbook_;
};

}  // namespace sayolt::editor::ui
