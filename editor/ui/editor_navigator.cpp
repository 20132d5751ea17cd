#include "editor/ui/editor_navigator.h"

#include <QPointer>

#include "editor/model/settings_messages.h"

namespace sayolt::editor::ui {

EditorNavigator::EditorNavigator(EditorContext& context) : context_(context) {}

EditorNavigator::~EditorNavigator() {
  if (current_) current_->unloading_ = true;
}

void EditorNavigator::setPageFactory(PageId page, PageFactory factory) { factories_[page] = std::move(factory); }

bool EditorNavigator::start() { return open(PageId::Main); }

bool EditorNavigator::loadWithRepair(EditorPage& page, PageId pageId) {
  try {
    page.load();
    return true;
  } catch (const IniError& readError) {
    // An unreadable file is no damaged page: erasing could not help, so say why and end.
    context_.services.dialogs.messageOk(kEditorTitle, settingsErrorMessage(readError) + "\nSayolt設定を終了します。");
    return false;
  } catch (const PageLoadError& error) {
    // The main page reads all three pages at start-up, so the damaged page may be another one.
    const PageId damaged = error.page();
    (void)pageId;
    const auto answer = context_.services.dialogs.askYesNo(kEditorTitle, repairQuestion(damaged));
    if (answer != MessageAnswer::Yes) return false;
    try {
      erasePage(context_.settings, damaged);
    } catch (const IniError& writeError) {
      context_.services.dialogs.messageOk(kEditorTitle, settingsErrorMessage(writeError));
      return false;
    }
    try {
      page.loadAfterRepair(damaged);
    } catch (const PageLoadError&) {
      return false;  // cannot happen with the sections gone, but never show a half-read page
    }
    return true;
  }
}

bool EditorNavigator::open(PageId pageId) {
  if (ended_) return false;
  const auto factory = factories_.find(pageId);
  if (factory == factories_.end()) return false;
  std::unique_ptr<EditorPage> page = factory->second(context_);
  if (!loadWithRepair(*page, pageId)) {
    page->unloading_ = true;
    endEditor();
    return false;
  }
  connect(page.get(), &EditorPage::backRequested, this,
          [this] { open(currentId_ == PageId::Dates ? PageId::TimedPrograms : PageId::Main); });
  connect(page.get(), &EditorPage::nextRequested, this,
          [this] { open(currentId_ == PageId::Main ? PageId::TimedPrograms : PageId::Dates); });
  connect(page.get(), &EditorPage::endRequested, this, [this] { endEditor(); });
  connect(page.get(), &EditorPage::closedByFrame, this, [this] { endEditor(); });
  page->show();
  // The page that was left goes away; the keyboard and a screen reader's focus go to the new one.
  page->activateWindow();
  std::unique_ptr<EditorPage> left = std::move(current_);
  current_ = std::move(page);
  currentId_ = pageId;
  leave(std::move(left));
  return true;
}

void EditorNavigator::leave(std::unique_ptr<EditorPage> page) {
  if (!page) return;
  page->unloading_ = true;
  page->hide();
  // The page may be inside one of its own handlers right now.
  page.release()->deleteLater();
}

void EditorNavigator::endEditor() {
  if (ended_) return;
  ended_ = true;
  leave(std::move(current_));
  emit editorEnded();
}

}  // namespace sayolt::editor::ui
