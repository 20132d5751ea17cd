#include "scheduler/ui/countdown_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "widgets/twips.h"

namespace sayolt::ui {

CountdownDialog::CountdownDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      label1_(new QLabel(this)),
      command1_(new QPushButton(QStringLiteral("中止"), this)) {
  setObjectName("Form3");
  setWindowTitle(QStringLiteral("シャットダウン"));
  setModal(false);
  setFixedSize(widgets::twips(4800), widgets::twips(1800));
  label1_->setObjectName("Label1");
  label1_->setGeometry(widgets::twipsRect(240, 240, 4320, 495));
  command1_->setObjectName("Command1");
  command1_->setGeometry(widgets::twipsRect(1680, 960, 1455, 495));
  connect(command1_, &QPushButton::clicked, this, [this] {
    if (onAbort_) onAbort_();
  });
}

void CountdownDialog::show(std::function<void()> onAbort) {
  onAbort_ = std::move(onAbort);
  command1_->setVisible(true);
  QDialog::show();
  raise();
  activateWindow();
  command1_->setFocus();
}

void CountdownDialog::setText(const std::string& text) { label1_->setText(QString::fromStdString(text)); }

void CountdownDialog::close() {
  onAbort_ = nullptr;
  QDialog::hide();
}

void CountdownDialog::focusInEvent(QFocusEvent* event) {
  QDialog::focusInEvent(event);
  command1_->setFocus();
}

}  // namespace sayolt::ui
