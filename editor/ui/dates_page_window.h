#pragma once
// Form3 "祝日不在設定": the registered holiday and absence dates, and the national holidays of a
// year in one step. A thin view over dates_page.h.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <array>
#include <chrono>

#include "editor/model/dates_page.h"
#include "editor/model/editor_context.h"
#include "editor/ui/editor_page.h"
#include "editor/ui/field_check.h"

namespace sayolt::editor::ui {

class DatesPageWindow : public EditorPage {
  Q_OBJECT

 public:
  explicit DatesPageWindow(EditorContext& context);

  // loadSpecialDates, then the absence dates shown.
  void load() override;
  bool hasUnsavedEdits() const override;

 private:
  // The controls, named as the page names them (tests and tools find them by these names); index of option1 = DateKind.
  std::array<QRadioButton*, 2> option1{};
  QListWidget* list1 = nullptr;
  QLineEdit* text1 = nullptr;
  QPushButton *command1 = nullptr, *command2 = nullptr, *command3 = nullptr, *command4 = nullptr;
  // 日本の祝日を追加 and the year it adds; shown while 祝日 is selected.
  QSpinBox* holidayYear = nullptr;
  QPushButton* addNationalHolidays = nullptr;

  void buildControls();
  DateKind shownKind() const;
  std::chrono::year_month_day today() const;
  // showSpecialDates.
  void showDates();
  void onAdd();
  void onDelete();
  void onAddNationalHolidays();
  // 戻る, 設定終了: the shown kind tidied, both kinds saved. False when the page stays.
  bool leave();

  EditorContext& context_;
  DatesPage page_;
  FieldCheck* fieldCheck_ = nullptr;
};

}  // namespace sayolt::editor::ui
