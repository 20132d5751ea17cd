#include <ostream>

#include "tools/plan/commands.h"

namespace sayolt::plan {

namespace {
constexpr const char* kUsage =
    "使い方:\n"
    "  sayolt-plan check FILE\n"
    "  sayolt-plan check FILE --conflicts [--json]\n"
    "  sayolt-plan show FILE --at \"YYYY-MM-DD HH:MM:SS\" [--json]\n"
    "  sayolt-plan simulate FILE --from \"YYYY-MM-DD HH:MM:SS\" --days N [--json]\n"
    "  sayolt-plan timecheck FILE [--json]\n"
    "  sayolt-plan workbook FILE OUT.xls\n"
    "  sayolt-plan ini get|set|delete-key|delete-section|get-section|set-section FILE ...\n";
}

int runPlan(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return 2;
  }
  const std::string& command = args[0];
  const Args rest(args.begin() + 1, args.end());
  if (command == "ini") return iniCommand(rest, out, err);
  if (command == "check") return checkCommand(rest, out, err);
  if (command == "show") return showCommand(rest, out, err);
  if (command == "timecheck") return timecheckCommand(rest, out, err);
  if (command == "simulate") return simulateCommand(rest, out, err);
  if (command == "workbook") return workbookCommand(rest, out, err);
  err << kUsage;
  return 2;
}

}  // namespace sayolt::plan
