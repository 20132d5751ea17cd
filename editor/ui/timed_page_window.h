#pragma once
// Form2 "プログラムの時刻指定": the time-specified programs and their runs per category. A thin
// view over timed_page.h; the edits reach the tables as they are typed.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "editor/model/editor_context.h"
#include "editor/model/timed_page.h"
#include "editor/ui/editor_page.h"
#include "editor/ui/field_check.h"

namespace sayolt::editor::ui {

class TimedPageWindow : public EditorPage {
  Q_OBJECT

 public:
  explicit TimedPageWindow(EditorContext& context);

  // loadTimedPrograms, loadTimedRuns, then 月曜日 shown.
  void load() override;
  bool hasUnsavedEdits() const override;

 private:
  // The controls, named as the page names them (tests and tools find them by these names).
  QGroupBox* frame1 = nullptr;
  std::array<QRadioButton*, keys::kCategories> option1{};
  std::array<QLabel*, 2 * keys::kSlots> label3{};
  std::array<QLineEdit*, keys::kTimedRuns> text1{}, text2{};
  std::array<QLabel*, keys::kTimedRuns> label6{};
  std::array<QLabel*, keys::kTimedPrograms> label12{};
  std::array<QLineEdit*, keys::kTimedPrograms> text3{}, text4{};
  std::array<QPushButton*, keys::kTimedPrograms> command1{};
  QPushButton *command2 = nullptr, *command3 = nullptr, *command4 = nullptr, *command5 = nullptr, *command6 = nullptr;

  void buildControls();
  void setTabOrder();
  void connectControls();

  // showTimedCategory.
  void showCategory();
  void onCategoryChosen(int category);
  void onBrowse(int program);
  void onCopyMonday();
  void onCancel();
  // 戻る, 次へ, 設定終了: commit, check, save. False when the page stays.
  bool leave();

  EditorContext& context_;
  TimedPage page_;
  FieldCheck* fieldCheck_ = nullptr;
};

}  // namespace sayolt::editor::ui
