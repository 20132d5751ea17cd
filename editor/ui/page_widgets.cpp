#include "editor/ui/page_widgets.h"

#include "editor/model/editor_context.h"
#include "editor/model/unsaved_question.h"
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

bool savedOrSaid(Dialogs& dialogs, const std::function<void()>& save) {
  try {
    save();
  } catch (const IniError& error) {
    dialogs.messageOk(kEditorTitle, std::string("設定ファイルに保存できませんでした。\n") + error.what());
    return false;
  }
  return true;
}

bool keepsUnsavedEdits(bool hasUnsavedEdits, Dialogs& dialogs) {
  return hasUnsavedEdits && dialogs.askYesNo(kEditorTitle, kUnsavedQuestion) != MessageAnswer::Yes;
}

}  // namespace sayolt::editor::ui
