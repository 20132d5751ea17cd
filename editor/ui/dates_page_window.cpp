#include "editor/ui/dates_page_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <algorithm>
#include <functional>

#include "editor/model/japanese_holidays.h"
#include "editor/model/page_repair.h"
#include "editor/ui/page_widgets.h"
#include "editor/ui/twips.h"
#include "shared/text_rules.h"

namespace sayolt::editor::ui {

namespace {

constexpr const char* kDateFormatMessage = "年月日をyyyy/m/dの形式で記入してください";
constexpr const char* kPastDateMessage = "今日より前の日付は登録できません";

}  // namespace

DatesPageWindow::DatesPageWindow(EditorContext& context)
    : EditorPage(context.services.dialogs), context_(context), page_(context.tables.dates) {
  buildControls();
  fieldCheck_ = new FieldCheck(this);
  // Only a date can be added, so only a date may leave the field; the refusal says why, as it
  // also swallows a click on 追加.
  fieldCheck_->guard(text1, [this] {
    const std::string text = toHalfWidthDigits(text1->text().toStdString());
    if (!text.empty() && !parseDate(text)) {
      context_.services.dialogs.messageOk(kEditorTitle, kDateFormatMessage);
      return false;
    }
    if (q(text) != text1->text()) text1->setText(q(text));
    return true;
  });
  const auto onClick = [this](QAbstractButton* button, std::function<void()> handler) {
    connect(button, &QAbstractButton::clicked, this, fieldCheck_->act(std::move(handler)));
  };
  // The kinds switch whatever the field holds: the field stays as it is and is checked on leaving.
  for (QRadioButton* option : option1) connect(option, &QRadioButton::clicked, this, [this] { showDates(); });
  onClick(command1, [this] { onAdd(); });
  onClick(command2, [this] { onDelete(); });
  onClick(addNationalHolidays, [this] { onAddNationalHolidays(); });
  onClick(command3, [this] {
    if (leave()) emit backRequested();
  });
  onClick(command4, [this] {
    if (leave()) emit endRequested();
  });
}

void DatesPageWindow::buildControls() {
  setObjectName("Form3");
  setWindowTitle(QStringLiteral("祝日不在設定"));
  setFixedSize(twips(4050), twips(4245));
  setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; } QPushButton { padding: 0px 2px; }"));

  auto* group = new QButtonGroup(this);
  const char* const captions[2] = {"祝日", "不在"};
  const int lefts[2] = {1200, 360};
  for (int k = 0; k < 2; ++k) {
    option1[k] = new QRadioButton(QString::fromUtf8(captions[k]), this);
    option1[k]->setObjectName(QStringLiteral("Option1_%1").arg(k));
    option1[k]->setAccessibleName(option1[k]->text());
    option1[k]->setGeometry(twipsRect(lefts[k], 120, 840, 300));
    group->addButton(option1[k], k);
  }
  option1[static_cast<int>(DateKind::Absence)]->setChecked(true);

  list1 = new QListWidget(this);
  list1->setObjectName("List1");
  list1->setAccessibleName(QStringLiteral("登録日の一覧"));
  list1->setGeometry(twipsRect(360, 600, 1455, 3480));
  list1->setSelectionMode(QAbstractItemView::SingleSelection);

  text1 = new QLineEdit(this);
  text1->setObjectName("Text1");
  text1->setAccessibleName(QStringLiteral("追加する年月日"));
  text1->setGeometry(twipsRect(2160, 600, 1575, 270));
  text1->setTextMargins(0, 0, 0, 0);

  command1 = button(this, "Command1", QStringLiteral("追加"), twipsRect(2160, 1200, 1575, 375));
  command2 = button(this, "Command2", QStringLiteral("削除"), twipsRect(2160, 1800, 1575, 375));

  holidayYear = new QSpinBox(this);
  holidayYear->setObjectName("HolidayYear");
  holidayYear->setAccessibleName(QStringLiteral("祝日を追加する年"));
  holidayYear->setSuffix(QStringLiteral("年"));
  holidayYear->setGeometry(twipsRect(2160, 2265, 1575, 270));
  addNationalHolidays =
      button(this, "AddNationalHolidays", QStringLiteral("日本の祝日を追加"), twipsRect(2160, 2550, 1575, 345));

  command3 = button(this, "Command3", QStringLiteral("戻る"), twipsRect(2160, 3000, 1575, 375));
  command4 = button(this, "Command4", QStringLiteral("設定終了"), twipsRect(2160, 3600, 1575, 375));

  QWidget::setTabOrder(option1[1], option1[0]);
  QWidget::setTabOrder(option1[0], list1);
  QWidget::setTabOrder(list1, text1);
  QWidget::setTabOrder(text1, command1);
  QWidget::setTabOrder(command1, command2);
  QWidget::setTabOrder(command2, holidayYear);
  QWidget::setTabOrder(holidayYear, addNationalHolidays);
  QWidget::setTabOrder(addNationalHolidays, command3);
  QWidget::setTabOrder(command3, command4);
}

DateKind DatesPageWindow::shownKind() const {
  return option1[static_cast<int>(DateKind::Holiday)]->isChecked() ? DateKind::Holiday : DateKind::Absence;
}

std::chrono::year_month_day DatesPageWindow::today() const { return dateOf(context_.services.clock.now()); }

void DatesPageWindow::load() {
  // A file that cannot be read at all goes up as IniError: erasing a page could not help.
  page_.load(context_.settings.snapshot(), today());
  const int year = static_cast<int>(today().year());
  holidayYear->setRange(std::clamp(year, kFirstHolidayYear, kLastHolidayYear), kLastHolidayYear);
  holidayYear->setValue(year);
  showDates();
}

void DatesPageWindow::showDates() {
  list1->clear();
  for (const std::string& date : page_.dates(shownKind())) list1->addItem(q(date));
  const bool holidays = shownKind() == DateKind::Holiday;
  holidayYear->setVisible(holidays);
  addNationalHolidays->setVisible(holidays);
}

void DatesPageWindow::onAdd() {
  switch (page_.addDate(shownKind(), toHalfWidthDigits(text1->text().toStdString()), today())) {
    case AddDateResult::Empty:
      return;
    case AddDateResult::NotADate:
      context_.services.dialogs.messageOk(kEditorTitle, kDateFormatMessage);
      return;
    case AddDateResult::InPast:
      // The list would not change; without a word the date would seem lost.
      context_.services.dialogs.messageOk(kEditorTitle, kPastDateMessage);
      [[fallthrough]];
    case AddDateResult::Added:
      text1->clear();
      showDates();
      list1->scrollToBottom();
      return;
  }
}

void DatesPageWindow::onDelete() {
  std::vector<int> rows;
  for (const QListWidgetItem* item : list1->selectedItems()) rows.push_back(list1->row(item));
  page_.removeDates(shownKind(), rows, today());
  showDates();
}

void DatesPageWindow::onAddNationalHolidays() {
  const int year = holidayYear->value();
  const int added = page_.addNationalHolidays(year, today());
  showDates();
  list1->scrollToBottom();
  // Nothing new would otherwise look like a button that did nothing.
  if (added == 0)
    context_.services.dialogs.messageOk(
        kEditorTitle, std::to_string(year) + "年の祝日で、まだ登録していない今日以降の日はありません。");
}

bool DatesPageWindow::leave() {
  page_.removeDates(shownKind(), {}, today());
  showDates();
  return savedOrSaid(*this, context_.services.dialogs, [this] { page_.saveSpecialDates(context_.settings); });
}

bool DatesPageWindow::hasUnsavedEdits() const { return page_.hasUnsavedEdits(); }

}  // namespace sayolt::editor::ui
