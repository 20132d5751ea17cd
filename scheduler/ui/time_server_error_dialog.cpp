#include "scheduler/ui/time_server_error_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "widgets/twips.h"

namespace sayolt::ui {

TimeServerErrorDialog::TimeServerErrorDialog(QWidget* parent)
    : QDialog(parent),
      label1_(new QLabel(this)),
      command1_(new QPushButton(QString::fromUtf8(kTimeServerExitButton), this)) {
  setObjectName("Form6");
  setWindowTitle(QString::fromUtf8(kTimeServerErrorCaption));
  setModal(false);
  label1_->setObjectName("Label1");
  label1_->setGeometry(widgets::twipsRect(240, 240, 4860, 1140));
  label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  command1_->setObjectName("Command1");
  command1_->setGeometry(widgets::twipsRect(120, 1560, 5055, 495));
  connect(command1_, &QPushButton::clicked, this, [this] {
    if (onExit_) onExit_();
  });
}

void TimeServerErrorDialog::show(const std::string& labelText, int outerHeightTwips,
                                 std::function<void()> onExitClicked) {
  onExit_ = std::move(onExitClicked);
  setFixedSize(widgets::twips(5370), widgets::twips(outerHeightTwips - widgets::kFrameTwips));
  label1_->setText(QString::fromStdString(labelText));
  QDialog::show();
}

void TimeServerErrorDialog::close() {
  onExit_ = nullptr;
  QDialog::hide();
}

}  // namespace sayolt::ui
