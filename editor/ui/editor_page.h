#pragma once
#include <QCloseEvent>
#include <QWidget>

#include "editor/model/page_repair.h"

namespace sayolt::editor::ui {

// One page of the editor, a top-level window. See EditorNavigator for how a page plugs in.
class EditorPage : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;

  // Reads the page from the settings file into its controls. Throws PageLoadError when the
  // page cannot be read.
  virtual void load() = 0;
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
  void closeEvent(QCloseEvent* event) override {
    if (!unloading_) emit closedByFrame();
    QWidget::closeEvent(event);
  }

 private:
  friend class EditorNavigator;
  bool unloading_ = false;
};

}  // namespace sayolt::editor::ui
