#pragma once
#include <QCloseEvent>
#include <QWidget>

#include "editor/model/page_repair.h"
#include "platform/dialogs.h"

namespace sayolt::editor::ui {

// One page of the editor, a top-level window. See EditorNavigator for how a page plugs in.
class EditorPage : public QWidget {
  Q_OBJECT

 public:
  explicit EditorPage(Dialogs& dialogs) : dialogs_(dialogs) {}

  // Reads the page from the settings file into its controls. Throws PageLoadError when the
  // page cannot be read.
  virtual void load() = 0;
  // Whether the page shows edits that are not in the settings file.
  virtual bool hasUnsavedEdits() const { return false; }
  // Reads the page again after the erasing of `erased`, which now reads as defaults.
  virtual void loadAfterRepair(PageId erased) {
    (void)erased;
    load();
  }

 signals:
  // Each is emitted after the page saved what it saves on that road.
  void backRequested();
  void nextRequested();
  // End the editor.
  void endRequested();
  // The user closed the window by its frame: the editor ends, nothing is saved.
  void closedByFrame();

 protected:
  // A frame close never runs the field check; with unsaved edits it asks first, and いいえ keeps
  // the page open.
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class EditorNavigator;
  Dialogs& dialogs_;
  bool unloading_ = false;
};

}  // namespace sayolt::editor::ui
