#include "editor/ui/editor_page.h"

#include "editor/model/editor_context.h"
#include "editor/model/unsaved_question.h"

namespace sayolt::editor::ui {

void EditorPage::closeEvent(QCloseEvent* event) {
  if (!unloading_) {
    if (hasUnsavedEdits() && dialogs_.askYesNo(kEditorTitle, kUnsavedQuestion) != MessageAnswer::Yes) {
      event->ignore();
      return;
    }
    emit closedByFrame();
  }
  QWidget::closeEvent(event);
}

}  // namespace sayolt::editor::ui
