// Asks the running Sayolt_123 of this user to close, as the settings editor does before it
// restarts it. Exit code 0 when a scheduler was found and asked, 1 otherwise.
#include <QApplication>

#include "platform/native_platform.h"
#include "scheduler/core/scheduler.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const auto native = sayolt::NativePlatform::create();
  return native->platform().instances.requestClose(sayolt::kMainWindowTitle) ? 0 : 1;
}
