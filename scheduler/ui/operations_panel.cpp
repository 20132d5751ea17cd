#include "scheduler/ui/operations_panel.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "scheduler/core/panel_texts.h"
#include "scheduler/ui/fonts.h"
#include "scheduler/ui/twips.h"
#include "shared/text_rules.h"

namespace sayolt::ui {

namespace {

constexpr int kWidth = 4245;
constexpr int kHeight = 4095;
constexpr int kLabelHeight = 255;
constexpr int kFieldWidth = 855;
constexpr int kFieldHeight = 270;
constexpr int kButtonWidth = 1935;
constexpr int kButtonHeight = 375;
constexpr int kMargin = 120;

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

OperationsPanel::OperationsPanel(SchedulerOperations& operations, std::function<void(const std::function<void()>&)> run,
                                 std::function<void()> showSchedule, QWidget* parent)
    : QWidget(parent, Qt::Window),
      operations_(operations),
      run_(std::move(run)),
      showSchedule_(std::move(showSchedule)),
      text1_(new QLineEdit(this)),
      text2_(new QLineEdit(this)) {
  setObjectName("Form4");
  setWindowTitle(QStringLiteral("起動終了操作"));
  setAccessibleName(windowTitle());
  setFont(japaneseWindowFont());
  setFixedSize(twips(kWidth), twips(kHeight));

  const auto makeLabel = [this](int n, const QString& caption, int left, int top) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("Label%1").arg(n));
    label->setGeometry(twipsRect(left, top, 2160 - left - 60, kLabelHeight));
    label->setAccessibleName(caption);
    labels_[n] = label;
  };
  makeLabel(1, QStringLiteral("終了時刻"), 240, 240);
  makeLabel(2, QStringLiteral("次回起動時刻"), 240, 600);
  makeLabel(6, QStringLiteral("本日区分"), 240, 960);
  makeLabel(5, QStringLiteral("終了時刻の変更"), 240, 1320);
  makeLabel(8, QStringLiteral("次回起動時刻の変更"), 240, 1680);
  // The value labels have no caption of their own and size themselves to their text.
  const auto makeValue = [this](int n, const QString& name, int top) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label%1").arg(n));
    label->move(twips(2160), twips(top));
    label->setAccessibleName(name);
    labels_[n] = label;
  };
  makeValue(3, QStringLiteral("終了時刻"), 240);
  makeValue(4, QStringLiteral("次回起動時刻"), 600);
  makeValue(7, QStringLiteral("本日区分"), 960);

  text1_->setObjectName("Text1");
  text1_->setGeometry(twipsRect(2160, 1320, kFieldWidth, kFieldHeight));
  text1_->setAccessibleName(QString::fromUtf8(kEndFieldName));
  text2_->setObjectName("Text2");
  text2_->setGeometry(twipsRect(2160, 1680, kFieldWidth, kFieldHeight));
  text2_->setAccessibleName(QString::fromUtf8(kNextStartFieldName));
  for (QLineEdit* field : {text1_, text2_}) field->setTextMargins(0, 0, 0, 0);

  const auto makeButton = [this](int n, const QString& caption, int left, int top, int width, int height,
                                 const QString& name) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QStringLiteral("Command%1").arg(n));
    button->setGeometry(twipsRect(left, top, width, height));
    button->setAccessibleName(name);
    button->setAutoDefault(false);
    commands_[n] = button;
    return button;
  };
  const auto rowButton = [&](int n, const QString& caption, int left, int top) {
    return makeButton(n, caption, left, top, kButtonWidth, kButtonHeight, caption);
  };
  makeButton(4, QStringLiteral("変更"), 3240, 1320, kFieldWidth, kFieldHeight, QStringLiteral("終了時刻を変更"));
  makeButton(6, QStringLiteral("変更"), 3240, 1680, kFieldWidth, kFieldHeight, QStringLiteral("次回起動時刻を変更"));
  rowButton(5, QStringLiteral("再読込"), kMargin, 2160);
  rowButton(8, QStringLiteral("通常　⇔　不在"), 2160, 2160);
  rowButton(10, QStringLiteral("本日の予定"), kMargin, 2640);
  rowButton(9, QStringLiteral("設　　定"), 2160, 2640);
  rowButton(11, QStringLiteral("タイマーの停止"), kMargin, 3120);
  rowButton(2, QStringLiteral("手動シャットダウン"), 2160, 3120);
  rowButton(3, QStringLiteral("プログラムの終了"), kMargin, 3600);
  rowButton(1, QStringLiteral("閉じる"), 2160, 3600);

  connect(commands_[4], &QPushButton::clicked, this, [this] {
    run_([this] {
      if (operations_.changeEndTime(text1_->text().toStdString()) != TimeChange::Changed) return;
      const PanelLabels now = operations_.labels();
      setValue(labels_[3], formatHourMinute(operations_.scheduler().endTimeToday()));
      // The timer runs again, so "停止中" no longer holds for the next start either.
      if (labels_[4]->text() == QString::fromUtf8(kStoppedText)) setValue(labels_[4], now.nextStart);
    });
  });
  connect(commands_[6], &QPushButton::clicked, this, [this] {
    run_([this] {
      const std::string typed = text2_->text().toStdString();
      if (operations_.changeNextStart(typed) == TimeChange::Changed) setValue(labels_[4], typed);
    });
  });
  connect(commands_[5], &QPushButton::clicked, this, [this] { onReload(); });
  connect(commands_[8], &QPushButton::clicked, this, [this] { run_([this] { operations_.switchAbsence(); }); });
  connect(commands_[10], &QPushButton::clicked, this, [this] {
    run_([this] {
      if (operations_.scheduleAvailable() && showSchedule_) showSchedule_();
    });
  });
  connect(commands_[9], &QPushButton::clicked, this, [this] { run_([this] { operations_.startSettingsEditor(); }); });
  connect(commands_[11], &QPushButton::clicked, this, [this] {
    run_([this] {
      operations_.stopTimer();
      setValue(labels_[3], kStoppedText);
      setValue(labels_[4], kStoppedText);
    });
  });
  connect(commands_[2], &QPushButton::clicked, this, [this] { run_([this] { operations_.manualShutdown(); }); });
  connect(commands_[3], &QPushButton::clicked, this, [this] { run_([this] { operations_.endProgram(); }); });
  // Closing only hides the panel: a handler still waiting inside it (再読込) must not lose its window.
  connect(commands_[1], &QPushButton::clicked, this, &QWidget::hide);
}

QLabel* OperationsPanel::label(int n) const { return n >= 1 && n <= 8 ? labels_[n] : nullptr; }

QPushButton* OperationsPanel::command(int n) const { return n >= 1 && n <= 11 ? commands_[n] : nullptr; }

void OperationsPanel::load() {
  text1_->clear();
  text2_->clear();
  for (int n : {3, 4, 7}) setValue(labels_[n], {});
  run_([this] { showLabels(operations_.openPanel()); });
  commands_[8]->setEnabled(operations_.absenceSwitchEnabled());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + area.width() / 2 - frameGeometry().width() / 2,
         area.y() + area.height() / 2 - frameGeometry().height() / 2);
  }
}

void OperationsPanel::showLabels(const PanelLabels& labels) {
  setValue(labels_[3], labels.endTime);
  setValue(labels_[4], labels.nextStart);
  setValue(labels_[7], labels.category);
}

void OperationsPanel::setValue(QLabel* label, const std::string& text) {
  label->setText(q(text));
  label->adjustSize();
  fitWidth();
}

// A long category ("金曜日 (翌日　土曜日)") must not run past the window's edge.
void OperationsPanel::fitWidth() {
  int right = twips(kWidth);
  for (int n : {3, 4, 7}) right = std::max(right, labels_[n]->geometry().right() + 1 + twips(kMargin));
  if (right != width()) setFixedWidth(right);
}

// The time check waits for the servers while the other buttons still work; 再読込 itself waits
// until it is done.
void OperationsPanel::onReload() {
  if (reloading_) return;
  reloading_ = true;
  commands_[5]->setEnabled(false);
  struct Done {
    OperationsPanel& panel;
    ~Done() {
      panel.reloading_ = false;
      panel.commands_[5]->setEnabled(true);
    }
  } done{*this};
  run_([this] { operations_.reload(); });
}

}  // namespace sayolt::ui
