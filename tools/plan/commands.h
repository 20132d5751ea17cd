#pragma once
// The subcommands of sayolt-plan. Each takes the arguments after its name; texts are UTF-8.
// Exit codes: 0 success, 1 the job failed (a clear message on err), 2 bad arguments (usage on err).
#include <iosfwd>
#include <string>
#include <vector>

namespace sayolt::plan {

using Args = std::vector<std::string>;

int iniCommand(const Args& args, std::ostream& out, std::ostream& err);
int checkCommand(const Args& args, std::ostream& out, std::ostream& err);
int showCommand(const Args& args, std::ostream& out, std::ostream& err);
int timecheckCommand(const Args& args, std::ostream& out, std::ostream& err);
int simulateCommand(const Args& args, std::ostream& out, std::ostream& err);
int workbookCommand(const Args& args, std::ostream& out, std::ostream& err);
// "check FILE --conflicts": what the workbook would mark red.
int conflictsCommand(const Args& args, std::ostream& out, std::ostream& err);

// Runs "sayolt-plan <args...>"; the entry point of the executable and of the tests.
int runPlan(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace sayolt::plan
