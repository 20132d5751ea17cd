// A stand-in for the running scheduler: holds the scheduler's name and, when asked to close,
// writes "closed" to the marker file and ends.
// The per-user folder of the name comes from XDG_RUNTIME_DIR, as for the real programs.
//   fake_scheduler <marker file>
#include <QApplication>
#include <QFile>
#include <cstdio>

#include "platform/native_platform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  auto native = sayolt::NativePlatform::create();
  sayolt::SingleInstance& instance = native->singleInstance();
  if (!instance.claim("Sayolt起動終了")) return 3;
  instance.setOnCloseRequest([&app, marker = QString::fromLocal8Bit(argv[1])] {
    QFile file(marker);
    if (file.open(QIODevice::Append)) file.write("closed\n");
    app.quit();
  });
  std::printf("ready\n");
  std::fflush(stdout);
  return QCoreApplication::exec();
}
