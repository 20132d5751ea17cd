#include "scheduler/ui/operations_panel.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "scheduler/core/panel_texts.h"
#include "shared/text_rules.h"
#include "widgets/controls.h"
#include "widgets/fonts.h"
#include "widgets/text.h"
#include "widgets/twips.h"

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

}  // namespace

OperationsPanel::OperationsPanel(SchedulerOperations& operations, std::function<void(const std::function<void()>&)> run,
                                 std::function<void()> showSchedule, QWidget* parent)
    : QWidget(parent, Qt::Window),
      operations_(operations),
      run_(std::move(run)),
      showSchedule_(std::move(showSchedule)),
      text1_(widgets::makeField(this, QStringLiteral("Text1"), {2160, 1320, kFieldWidth, kFieldHeight},
                                QString::fromUtf8(kEndFieldName))),
      text2_(widgets::makeField(this, QStringLiteral("Text2"), {2160, 1680, kFieldWidth, kFieldHeight},
                                QString::fromUtf8(kNextStartFieldName))) {
  setObjectName("Form4");
  setWindowTitle(QStringLiteral("起動終了操作"));
  setAccessibleName(windowTitle());
  setFont(widgets::windowFont());
  setFixedSize(widgets::twips(kWidth), widgets::twips(kHeight));

  const auto caption = [this](int n, const QString& text, int top) {
    labels_[n] = widgets::makeLabel(this, QStringLiteral("Label%1").arg(n), text, {240, top, 1860, kLabelHeight});
  };
  caption(1, QStringLiteral("終了時刻"), 240);
  caption(2, QStringLiteral("次回起動時刻"), 600);
  caption(6, QStringLiteral("本日区分"), 960);
  caption(5, QStringLiteral("終了時刻の変更"), 1320);
  caption(8, QStringLiteral("次回起動時刻の変更"), 1680);
  // The value labels have no caption of their own and size themselves to their text.
  const auto value = [this](int n, const QString& name, int top) {
    labels_[n] = widgets::makeLabel(this, QStringLiteral("Label%1").arg(n), {}, {2160, top, 0, kLabelHeight});
    valueNames_[n] = name;
    labels_[n]->setAccessibleName(name);
  };
  value(3, QStringLiteral("終了時刻"), 240);
  value(4, QStringLiteral("次回起動時刻"), 600);
  value(7, QStringLiteral("本日区分"), 960);

  for (QLineEdit* field : {text1_, text2_}) {
    field->setTextMargins(0, 0, 0, 0);
    // An input method types "１８：４５", which does not fit the field: keep what it means, readable.
    // On any change, so that text set by a screen reader is treated alike.
    connect(field, &QLineEdit::textChanged, this, [field](const QString& text) {
      const QString narrow = widgets::q(toHalfWidthDigits(text.toStdString()));
      if (narrow == text) return;
      const int fromEnd = static_cast<int>(text.size()) - field->cursorPosition();
      field->setText(narrow);
      field->setCursorPosition(std::max(0, static_cast<int>(narrow.size()) - fromEnd));
    });
  }

  const auto button = [this](int n, const QString& text, widgets::Twips at, const QString& name = {}) {
    commands_[n] = widgets::makeButton(this, QStringLiteral("Command%1").arg(n), text, at, name);
  };
  const auto rowButton = [&](int n, const QString& text, int left, int top) {
    button(n, text, {left, top, kButtonWidth, kButtonHeight});
  };
  button(4, QStringLiteral("変更"), {3240, 1320, kFieldWidth, kFieldHeight}, QStringLiteral("終了時刻を変更"));
  button(6, QStringLiteral("変更"), {3240, 1680, kFieldWidth, kFieldHeight}, QStringLiteral("次回起動時刻を変更"));
  rowButton(5, QString::fromUtf8(kReloadCaption), kMargin, 2160);
  rowButton(8, QStringLiteral("通常　⇔　不在"), 2160, 2160);
  rowButton(10, QStringLiteral("本日の予定"), kMargin, 2640);
  rowButton(9, QStringLiteral("設　　定"), 2160, 2640);
  rowButton(11, QStringLiteral("タイマーの停止"), kMargin, 3120);
  rowButton(2, QStringLiteral("手動シャットダウン"), 2160, 3120);
  rowButton(3, QStringLiteral("プログラムの終了"), kMargin, 3600);
  rowButton(1, QStringLiteral("閉じる"), 2160, 3600);

  connect(commands_[4], &QPushButton::clicked, this,
          [this] { run_([this] { showLabels(operations_.changeEndTime(text1_->text().toStdString()).labels); }); });
  connect(commands_[6], &QPushButton::clicked, this,
          [this] { run_([this] { showLabels(operations_.changeNextStart(text2_->text().toStdString()).labels); }); });
  connect(commands_[5], &QPushButton::clicked, this, [this] { onReload(); });
  connect(commands_[8], &QPushButton::clicked, this,
          [this] { run_([this] { showLabels(operations_.switchAbsence().labels); }); });
  connect(commands_[10], &QPushButton::clicked, this, [this] {
    run_([this] {
      if (operations_.scheduleAvailable() && showSchedule_) showSchedule_();
    });
  });
  connect(commands_[9], &QPushButton::clicked, this, [this] { run_([this] { operations_.startSettingsEditor(); }); });
  connect(commands_[11], &QPushButton::clicked, this,
          [this] { run_([this] { showLabels(operations_.stopTimer()); }); });
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
  for (int n : {3, 4, 7}) setValue(n, {});
  run_([this] { showLabels(operations_.openPanel()); });
  commands_[8]->setEnabled(operations_.absenceSwitchEnabled());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + area.width() / 2 - frameGeometry().width() / 2,
         area.y() + area.height() / 2 - frameGeometry().height() / 2);
  }
}

void OperationsPanel::showLabels(const PanelLabels& labels) {
  setValue(3, labels.endTime);
  setValue(4, labels.nextStart);
  setValue(7, labels.category);
}

void OperationsPanel::setValue(int n, const std::string& text) {
  QLabel* label = labels_[n];
  label->setText(widgets::q(text));
  // A screen reader hears the value with its name ("終了時刻 17:30"), not the name twice.
  label->setAccessibleName(text.empty() ? valueNames_[n] : valueNames_[n] + QLatin1Char(' ') + label->text());
  label->adjustSize();
  fitWidth();
}

// A long category ("金曜日 (翌日　土曜日)") must not run past the window's edge.
void OperationsPanel::fitWidth() {
  int right = widgets::twips(kWidth);
  for (int n : {3, 4, 7}) right = std::max(right, labels_[n]->geometry().right() + 1 + widgets::twips(kMargin));
  if (right != width()) setFixedWidth(right);
}

// The time check waits for the servers while the other buttons still work; 再読込 itself waits
// until it is done.
void OperationsPanel::onReload() {
  if (reloading_) return;
  reloading_ = true;
  // The servers may stay silent for half a minute: say what the panel is waiting for.
  QPushButton* button = commands_[5];
  button->setEnabled(false);
  button->setText(QString::fromUtf8(kReloadBusyCaption));
  button->setAccessibleName(QString::fromUtf8(kReloadBusyName));
  struct Done {
    OperationsPanel& panel;
    ~Done() {
      panel.reloading_ = false;
      QPushButton* button = panel.commands_[5];
      button->setText(QString::fromUtf8(kReloadCaption));
      button->setAccessibleName(button->text());
      button->setEnabled(true);
    }
  } done{*this};
  run_([this] { showLabels(operations_.reload()); });
}

}  // namespace sayolt::ui
