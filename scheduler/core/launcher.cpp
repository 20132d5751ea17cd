#include <algorithm>

#include "scheduler/core/scheduler.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

std::string asciiLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char ch) { return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch); });
  return text;
}

// The last three characters of a path, lower-cased. Characters, not bytes: a path may end in
// Japanese.
std::string lowerEnding(const std::string& path) {
  std::size_t pos = path.size();
  for (int chars = 0; chars < 3 && pos > 0; ++chars) {
    do --pos;
    while (pos > 0 && (static_cast<unsigned char>(path[pos]) & 0xC0) == 0x80);
  }
  return asciiLower(path.substr(pos));
}

std::string listLabel(LaunchList list) {
  switch (list) {
    case LaunchList::Auto:
      return "自動実行時プログラム";
    case LaunchList::Manual:
      return "手動実行時プログラム";
    case LaunchList::Timed:
      return "時刻指定プログラム";
  }
  return {};
}

}  // namespace

LaunchHow Scheduler::howToLaunch(const std::string& path) {
  const std::string ending = lowerEnding(path);
  if (ending == "xls") return LaunchHow::Workbook;
  // On Linux nothing ends in ".exe": an executable file there is started the same way rather
  // than handed to the document road, which would hold the scheduler until it ends.
  if (ending == "exe" || platform_.processes.isExecutableFile(path)) return LaunchHow::Executable;
  return LaunchHow::Shell;
}

std::unique_ptr<RunningProcess> Scheduler::launch(LaunchList list, const std::string& name, const std::string& path) {
  const LaunchHow how = howToLaunch(path);
  std::unique_ptr<RunningProcess> process;
  bool started = false;
  switch (how) {
    case LaunchHow::Executable:
      process = platform_.processes.startExecutable(path);
      started = process != nullptr;
      break;
    case LaunchHow::Workbook:
      started = platform_.processes.openWorkbook(path, list == LaunchList::Timed);
      break;
    case LaunchHow::Shell:
      // Reported first: the call returns only when the document's program has ended.
      observer().onLaunch(list, name, path, how);
      started = platform_.processes.openDocumentAndWait(path);
      break;
  }
  if (!started)
    notice(listLabel(list) + "「" + name + "」を起動できませんでした。\n" + path);
  else if (how != LaunchHow::Shell)
    observer().onLaunch(list, name, path, how);
  return process;
}

// Starts one startup program, then waits its delay. A program that cannot be started, or a delay
// that is not a number, is reported without stopping the list.
void Scheduler::applyStartupRule(const StartupProgram& program, LaunchList list) {
  if (program.path.empty()) return;
  launch(list, program.name, program.path);  // startup programs are never stopped: no handle kept
  if (program.delay.empty()) return;
  const auto delay = toInt16(program.delay);
  if (!delay) {
    notice(listLabel(list) + "「" + program.name + "」の遅延「" + program.delay +
           "」が秒数ではないため、待たずに次へ進みます。");
    return;
  }
  if (*delay > 0) waitSeconds(*delay);
}

void Scheduler::runAutoStartPrograms() {
  for (int i = 0; i < keys::kAutoPrograms; ++i)
    if (model_.autoRunPlan[i][model_.dayCategories[1]][currentSlot_] == "1")
      applyStartupRule(model_.autoPrograms[i], LaunchList::Auto);
}

void Scheduler::runManualStartPrograms() {
  for (const StartupProgram& program : model_.manualPrograms)
    if (!program.path.empty()) applyStartupRule(program, LaunchList::Manual);
}

void Scheduler::launchTimedProgram(int number) {
  const TimedProgram& program = model_.timedPrograms.at(static_cast<std::size_t>(number));
  const std::string& path = program.path;
  if (asciiLower(path) == "sed") {
    // The earliest started program of that name that still runs; once it is stopped, the next
    // "sed" goes to a later one, and with none left nothing happens.
    const auto it = std::find_if(running_.begin(), running_.end(),
                                 [&](const Running& r) { return r.process && r.name == program.name; });
    if (it != running_.end()) {
      it->process->terminate();
      it->process.reset();
      observer().onStop(program.name);
    }
    return;
  }
  // The path is used as stored: lower-casing it would break it on a case-sensitive file system.
  if (path.empty()) return;
  if (auto process = launch(LaunchList::Timed, program.name, path))
    running_.push_back({program.name, std::move(process)});
}

}  // namespace sayolt
