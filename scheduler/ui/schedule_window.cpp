#include "scheduler/ui/schedule_window.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "scheduler/core/schedule_list.h"
#include "widgets/fonts.h"
#include "widgets/twips.h"

namespace sayolt::ui {

ScheduleWindow::ScheduleWindow(const ScheduleModel& model, QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(model),
      list1_(new QListWidget(this)),
      today_(new QRadioButton(QStringLiteral("本日"), this)),
      tomorrow_(new QRadioButton(QStringLiteral("翌日"), this)),
      command1_(new QPushButton(QStringLiteral("閉じる"), this)) {
  setObjectName("Form5");
  setWindowTitle(QStringLiteral("本日の予定"));
  setAccessibleName(windowTitle());
  setFont(widgets::windowFont());
  setFixedSize(widgets::twips(2655), widgets::twips(4095));

  list1_->setObjectName("List1");
  list1_->setAccessibleName(QStringLiteral("予定の一覧"));
  list1_->setGeometry(widgets::twipsRect(120, 120, 2415, 3180));
  list1_->setFont(widgets::fixedFont(9.75));
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  today_->setObjectName("Option1_0");
  today_->setAccessibleName(today_->text());
  today_->setGeometry(widgets::twipsRect(120, 3600, 855, 255));
  tomorrow_->setObjectName("Option1_1");
  tomorrow_->setAccessibleName(tomorrow_->text());
  tomorrow_->setGeometry(widgets::twipsRect(840, 3600, 735, 255));
  command1_->setObjectName("Command1");
  command1_->setAccessibleName(command1_->text());
  command1_->setGeometry(widgets::twipsRect(1800, 3600, 735, 375));
  command1_->setAutoDefault(false);

  // On the state, not the click: a screen reader's Toggle or a key changes it without a click.
  for (QRadioButton* option : {today_, tomorrow_}) {
    connect(option, &QRadioButton::toggled, this, [this](bool checked) {
      if (checked) buildScheduleList();
    });
  }
  connect(command1_, &QPushButton::clicked, this, &QWidget::hide);
}

void ScheduleWindow::load(int panelWidth) {
  showToday();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + panelWidth / 2 + area.width() / 2, area.y() + area.height() / 2 - frameGeometry().height() / 2);
  }
}

void ScheduleWindow::showToday() {
  if (today_->isChecked())
    buildScheduleList();
  else
    today_->setChecked(true);
}

void ScheduleWindow::buildScheduleList() {
  const int day = tomorrow_->isChecked() ? 2 : 1;
  list1_->clear();
  for (const std::string& line : sayolt::buildScheduleList(model_, day)) list1_->addItem(QString::fromStdString(line));
}

}  // namespace sayolt::ui
