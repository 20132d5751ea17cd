// What the settings editor does to the running scheduler, as a program of its own for the Wine
// tests: "close" asks it to close; "restart" is Sayolt再起動 (close, 500 ms, start it again from
// this program's folder). Exit code 0 when that was done, 1 otherwise.
#include <QApplication>
#include <cstring>

#include "editor/model/editor_context.h"
#include "editor/model/scheduler_restart.h"
#include "platform/native_platform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const auto native = sayolt::NativePlatform::create();
  if (argc == 2 && std::strcmp(argv[1], "close") == 0)
    return native->singleInstance().requestClose(sayolt::editor::kSchedulerInstanceName) ? 0 : 1;
  if (argc == 2 && std::strcmp(argv[1], "restart") == 0) {
    sayolt::Platform& platform = native->platform();
    namespace ed = sayolt::editor;
    ed::EditorContext context(std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()),
                              ed::EditorServices{platform.dialogs, platform.processes, native->singleInstance(),
                                                 platform.events, platform.clock});
    return ed::restartScheduler(context) == ed::RestartOutcome::Started ? 0 : 1;
  }
  return 2;
}
