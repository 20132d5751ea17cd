// Sayolt設定_123: the settings editor.
#include <QApplication>

#include "editor/model/editor_context.h"
#include "editor/ui/dates_page_window.h"
#include "editor/ui/editor_font.h"
#include "editor/ui/editor_navigator.h"
#include "editor/ui/main_page_window.h"
#include "editor/ui/timed_page_window.h"
#include "editor/ui/workbook_buttons.h"
#include "platform/native_platform.h"
#include "platform/workbook_viewer.h"
#include "widgets/translation.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Dialog buttons read in Japanese whatever the system's language.
  sayolt::widgets::installJapaneseQtTranslation();
  QApplication::setFont(sayolt::editor::ui::editorFont());

  auto native = sayolt::NativePlatform::create();
  sayolt::Platform& platform = native->platform();
  // A second copy ends at once, without a word.
  if (!platform.instances.claim(sayolt::editor::kEditorInstanceName)) return 0;

  namespace ed = sayolt::editor;
  ed::EditorContext context(
      std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()),
      ed::EditorServices{platform.dialogs, platform.processes, platform.instances, platform.events, platform.clock});
  const auto workbookViewer = sayolt::createWorkbookViewer();
  ed::ui::EditorNavigator navigator(context);
  navigator.setPageFactory(ed::PageId::Main, [&](ed::EditorContext& c) -> std::unique_ptr<ed::ui::EditorPage> {
    auto page = std::make_unique<ed::ui::MainPageWindow>(c);
    ed::ui::connectWorkbookButtons(*page, c, *workbookViewer);
    return page;
  });
  navigator.setPageFactory(ed::PageId::TimedPrograms, [](ed::EditorContext& c) -> std::unique_ptr<ed::ui::EditorPage> {
    return std::make_unique<ed::ui::TimedPageWindow>(c);
  });
  navigator.setPageFactory(ed::PageId::Dates, [](ed::EditorContext& c) -> std::unique_ptr<ed::ui::EditorPage> {
    return std::make_unique<ed::ui::DatesPageWindow>(c);
  });
  QObject::connect(&navigator, &ed::ui::EditorNavigator::editorEnded, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  if (!navigator.start()) return 0;
  return QApplication::exec();
}
