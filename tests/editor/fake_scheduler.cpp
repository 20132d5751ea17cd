// A stand-in for the running scheduler: holds the scheduler's name and, when asked to close,
// writes "closed" to the marker file and ends.
//   fake_scheduler <socket folder> <marker file>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "platform/qt/single_instance_qt.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 3) return 2;
  const std::string folder = argv[1];
  sayolt::QtSingleInstance instance(folder + "/", folder);
  if (!instance.claim("Sayolt起動終了")) return 3;
  instance.setOnCloseRequest([&app, marker = QString::fromLocal8Bit(argv[2])] {
    QFile file(marker);
    if (file.open(QIODevice::Append)) file.write("closed\n");
    app.quit();
  });
  std::printf("ready\n");
  std::fflush(stdout);
  return QCoreApplication::exec();
}
