#include <algorithm>
#include <ostream>

#include "platform/system_clock.h"
#include "scheduler/core/schedule_model.h"
#include "shared/ini_file.h"
#include "shared/utf8_path.h"
#include "tools/plan/commands.h"
#include "tools/plan/settings_file_arg.h"

namespace sayolt::plan {

// Loads the file as the scheduler does at start-up: StartTolerance first, then the eight areas.
int checkCommand(const Args& args, std::ostream& out, std::ostream& err) {
  if (std::find(args.begin(), args.end(), "--conflicts") != args.end()) return conflictsCommand(args, out, err);
  if (args.size() != 1) {
    err << "使い方: sayolt-plan check FILE\n";
    return 2;
  }
  if (!settingsFileExists(args[0], err)) return 1;
  IniSnapshot ini;
  try {
    ini = IniSnapshot::load(pathFromUtf8(args[0]));
  } catch (const IniError& error) {
    err << error.what() << "\n";
    return 1;
  }
  if (!readStartTolerance(ini)) {
    err << kStartToleranceMessage << "\n";
    return 1;
  }
  // The moment only decides the classification, which has no error of its own.
  ScheduleModel model;
  if (const auto error = readScheduleModel(ini, createSystemClock()->now(), model)) {
    err << "area " << error->area << ": " << error->message << "\n";
    return 1;
  }
  out << "OK\n";
  return 0;
}

}  // namespace sayolt::plan
