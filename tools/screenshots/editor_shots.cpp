// Screenshots of the settings editor's windows, filled from the largest settings file.
//   sayolt-editor-shots <output folder>
// Run under a real X server with a Japanese font (scripts/screenshots), so that the text shows.
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <cstdio>
#include <filesystem>

#include "editor/model/editor_context.h"
#include "editor/ui/main_page_window.h"
#include "editor/ui/page_widgets.h"
#include "platform/null/null_platform.h"
#include "platform/text_codec.h"
#include "testdata/full_settings.h"
#include "tools/screenshots/screenshot_support.h"

namespace {

using namespace sayolt;

void click(QWidget* widget) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  const QPointF global = widget->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: sayolt-editor-shots <output folder>\n");
    return 2;
  }
  const QDir out = shots::startEditorShots(argv[1]);

  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("sayolt-editor-shots-" + std::to_string(QCoreApplication::applicationPid()));
  std::filesystem::create_directories(folder);
  NullDialogs dialogs;
  NullProcesses processes;
  FakeSingleInstance scheduler;
  scheduler.held.insert(editor::kSchedulerInstanceName);  // the scheduler seems to be running
  shots::NoEvents events;
  shots::StillClock clock;
  editor::EditorContext context(folder, {dialogs, processes, scheduler, events, clock});
  {
    const auto bytes = cp932::fromUtf8(test::fullSettingsText());
    FILE* f = std::fopen((folder / editor::EditorContext::settingsFileName()).string().c_str(), "wb");
    if (!f || !bytes) return 1;
    std::fwrite(bytes->data(), 1, bytes->size(), f);
    std::fclose(f);
  }

  bool ok = true;
  {
    editor::ui::MainPageWindow page(context);
    page.load();
    ok = shots::save(page, out, "editor_main_page.png") && ok;
    // A selected program with its start cells, and the captions after a failed check.
    click(control<QLineEdit>(page, "Text3", 2));
    click(control<QLineEdit>(page, "Text1", editor::gridIndex(0, 1, 1)));
    control<QLineEdit>(page, "Text9")->clear();
    click(control<QPushButton>(page, "Command5"));  // the check fails on the empty tolerance
    ok = shots::save(page, out, "editor_main_page_retry.png") && ok;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return ok ? 0 : 1;
}
