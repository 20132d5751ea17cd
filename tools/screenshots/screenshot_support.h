#pragma once
// Stand-ins and the PNG writer shared by the editor's screenshot tools.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editor/ui/editor_font.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/fake/fake_single_instance.h"
#include "widgets/translation.h"

namespace sayolt::shots {

// Services that are never really used while a window is only shown and grabbed.
class NoEvents : public EventLoop {
 public:
  void runUntil(const std::function<bool()>&, std::optional<MonotonicMs>) override {}
  void requestExit(int) override {}
  bool exitRequested() const override { return false; }
  int exitCode() const override { return 0; }
  std::unique_ptr<Timer> createTimer(std::function<void()>) override { return nullptr; }
};

// A clock that stands still and cannot be set.
class StillClock : public Clock {
 public:
  explicit StillClock(LocalTime now = {}) : now_(now) {}
  LocalTime now() const override { return now_; }
  MonotonicMs monotonicMs() const override { return 0; }
  bool setUtc(UtcTime) override { return false; }
  bool setLocalTimeOfDay(TimeOfDay) override { return false; }
  bool syncHardwareClock() override { return false; }

 private:
  LocalTime now_;
};

// Qt's own captions in Japanese and the editor's font, as on the PCs; returns the output folder,
// made.
inline QDir startEditorShots(const char* folder) {
  widgets::installJapaneseQtTranslation();
  QApplication::setFont(editor::ui::editorFont());
  const QDir out(QString::fromLocal8Bit(folder));
  QDir().mkpath(out.path());
  return out;
}

// Shows the window and writes it to out/name; says which file it wrote or could not write.
inline bool save(QWidget& window, const QDir& out, const QString& name) {
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

}  // namespace sayolt::shots
