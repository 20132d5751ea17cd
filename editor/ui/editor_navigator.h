#pragma once
// The road through the editor's pages: main page -> time-specified programs -> dates, and back.
//
// How a page plugs in:
//  - Derive the window from EditorPage and implement load(); throw PageLoadError(page, ...)
//    when the file's values cannot be read.
//  - Register a factory with setPageFactory(PageId, ...). The factory builds the window only;
//    the navigator calls load() and, when it throws, asks the repair question of that page:
//    Yes erases the page's sections and calls loadAfterRepair(), No ends the editor unsaved.
//  - Validate and save in the page's own button handlers, then emit backRequested(),
//    nextRequested() or endRequested(). The navigator then opens the neighbouring page and
//    deletes the one that was left: leaving a page unloads it, coming back reads it again.
//  - Fields that keep the focus until accepted use FieldCheck (field_check.h); numeric fields
//    read through number_rule.h.
#include <QObject>
#include <functional>
#include <map>
#include <memory>

#include "editor/model/editor_context.h"
#include "editor/ui/editor_page.h"

namespace sayolt::editor::ui {

class EditorNavigator : public QObject {
  Q_OBJECT

 public:
  using PageFactory = std::function<std::unique_ptr<EditorPage>(EditorContext&)>;

  explicit EditorNavigator(EditorContext& context);
  ~EditorNavigator() override;

  void setPageFactory(PageId page, PageFactory factory);
  // Opens the main page. False when the editor ended instead (the repair was refused).
  bool start();
  // Opens a page, leaving the current one. False when the editor ended instead.
  bool open(PageId page);

  EditorPage* currentPage() const { return current_.get(); }
  PageId currentPageId() const { return currentId_; }
  bool ended() const { return ended_; }

 signals:
  // The editor is to end; nothing further will be shown.
  void editorEnded();

 private:
  bool loadWithRepair(EditorPage& page, PageId pageId);
  void endEditor();
  void leave(std::unique_ptr<EditorPage> page);

  EditorContext& context_;
  std::map<PageId, PageFactory> factories_;
  std::unique_ptr<EditorPage> current_;
  PageId currentId_ = PageId::Main;
  bool ended_ = false;
};

}  // namespace sayolt::editor::ui
