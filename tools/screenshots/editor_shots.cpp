// Screenshots of the settings editor's windows, filled from the largest settings file.
//   sayolt-editor-shots <output folder>
// Run under a real X server with a Japanese font (scripts/screenshots), so that the text shows.
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMouseEvent>
#include <QPixmap>
#include <QTranslator>
#include <cstdio>
#include <filesystem>

#include "editor/model/editor_context.h"
#include "editor/ui/editor_font.h"
#include "editor/ui/main_page_window.h"
#include "platform/null/null_platform.h"
#include "platform/text_codec.h"
#include "tests/editor/full_settings.h"

namespace {

using namespace sayolt;

// Services that are never really used while a window is only shown and grabbed.
class RunningScheduler : public SingleInstance {
 public:
  bool claim(const std::string&) override { return true; }
  void setOnCloseRequest(std::function<void()>) override {}
  bool requestClose(const std::string&) override { return false; }
  bool isHeld(const std::string&) override { return true; }
};
class StillClock : public Clock {
 public:
  LocalTime now() const override { return {}; }
  MonotonicMs monotonicMs() const override { return 0; }
  bool setUtc(UtcTime) override { return false; }
  bool setLocalTimeOfDay(TimeOfDay) override { return false; }
  bool syncHardwareClock() override { return false; }
};
class NoEvents : public EventLoop {
 public:
  void runUntil(const std::function<bool()>&, std::optional<MonotonicMs>) override {}
  void requestExit(int) override {}
  bool exitRequested() const override { return false; }
  int exitCode() const override { return 0; }
  std::unique_ptr<Timer> createTimer(std::function<void()>) override { return nullptr; }
};

void click(QWidget* widget) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  const QPointF global = widget->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

bool save(QWidget& window, const QDir& out, const QString& name) {
  window.show();
  QApplication::processEvents();
  const QString path = out.filePath(name);
  if (!window.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: sayolt-editor-shots <output folder>\n");
    return 2;
  }
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::Japanese), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTranslator);
  QApplication::setFont(editor::ui::editorFont());
  const QDir out(QString::fromLocal8Bit(argv[1]));
  QDir().mkpath(out.path());

  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("sayolt-editor-shots-" + std::to_string(QCoreApplication::applicationPid()));
  std::filesystem::create_directories(folder);
  NullDialogs dialogs;
  NullProcesses processes;
  RunningScheduler scheduler;
  NoEvents events;
  StillClock clock;
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
    ok = save(page, out, "editor_main_page.png") && ok;
    // A selected program with its start cells, and the captions after a failed check.
    click(page.text3[2]);
    click(page.text1[editor::gridIndex(0, 1, 1)]);
    page.text9->clear();
    click(page.command5);  // the check fails on the empty tolerance
    ok = save(page, out, "editor_main_page_retry.png") && ok;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return ok ? 0 : 1;
}
