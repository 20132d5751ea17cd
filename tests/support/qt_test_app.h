#pragma once
// One QApplication for every test of this executable that needs Qt widgets or events.
#include <QApplication>
#include <QByteArray>

namespace sayolt::test {

inline QApplication& qtTestApp() {
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char arg0[] = "sayolt_platform_tests";
  static char* argv[] = {arg0, nullptr};
  // Lives until the process ends; Qt does not allow a second one afterwards.
  static auto* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace sayolt::test
