#include "editor/ui/page_widgets.h"

#include "editor/model/editor_context.h"
#include "editor/model/settings_messages.h"
#include "shared/ini_file.h"

namespace sayolt::editor::ui {

QString indexed(const char* control, int index) { return QStringLiteral("%1_%2").arg(control).arg(index); }

QLabel* label(QWidget* parent, const QString& name, const QString& caption, QRect geometry) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(name);
  l->setAccessibleName(caption);
  l->setGeometry(geometry);
  return l;
}

QLineEdit* field(QWidget* parent, const QString& name, const QString& accessible, QRect geometry) {
  auto* f = new QLineEdit(parent);
  f->setObjectName(name);
  f->setAccessibleName(accessible);
  f->setGeometry(geometry);
  f->setTextMargins(0, 0, 0, 0);
  return f;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, QRect geometry) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAccessibleName(caption);
  b->setGeometry(geometry);
  b->setAutoDefault(false);
  return b;
}

void showValue(QLabel* label, const QString& name, const QString& value) {
  label->setText(value);
  label->setAccessibleName(value.isEmpty() ? name : name + " " + value);
}

bool savedOrSaid(const QWidget& page, Dialogs& dialogs, const std::function<void()>& save) {
  try {
    save();
  } catch (const IniError& error) {
    std::string field;
    for (const QLineEdit* f : page.findChildren<QLineEdit*>()) {
      if (f->text().toStdString() == error.subject()) {
        field = f->accessibleName().toStdString();
        break;
      }
    }
    dialogs.messageOk(kEditorTitle, settingsErrorMessage(error, field));
    return false;
  }
  return true;
}

}  // namespace sayolt::editor::ui
