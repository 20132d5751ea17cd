#include <algorithm>

#include "platform/ascii_text.h"
#include "scheduler/core/scheduler.h"
#include "shared/text_rules.h"

namespace sayolt {

namespace {

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

// "http://…", "mailto:…": a scheme of two or more characters, so "C:\…" is a path.
bool looksLikeUrl(const std::string& path) {
  const auto colon = path.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const unsigned char ch = static_cast<unsigned char>(path[i]);
    const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
    if (!letter && (i == 0 || !((ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.'))) return false;
  }
  return true;
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
  // On Linux nothing ends in ".exe": a program there is started the same way rather than handed
  // to the document road.
  if (ending == "exe" || platform_.processes.isExecutableFile(path)) return LaunchHow::Executable;
  return LaunchHow::Shell;
}

Scheduler::Launched Scheduler::launch(LaunchList list, const std::string& name, const std::string& path) {
  const LaunchHow how = howToLaunch(path);
  Launched launched;
  switch (how) {
    case LaunchHow::Executable:
      launched.process = platform_.processes.startExecutable(path);
      launched.started = launched.process != nullptr;
      break;
    case LaunchHow::Workbook:
      launched.started = platform_.processes.openWorkbook(path, list == LaunchList::Timed);
      break;
    case LaunchHow::Shell:
      // A folder or a web address has no program to wait for: the desktop's opener shows it.
      if (looksLikeUrl(path) || platform_.processes.isFolder(path)) {
        launched.started = platform_.processes.openWithDesktop(path);
      } else {
        OpenedDocument opened = platform_.processes.openDocument(path);
        launched.started = opened.opened;
        launched.document = std::move(opened.program);
      }
      break;
  }
  logEvent("launch", listLabel(list) + "「" + name + "」" + path + (launched.started ? " 起動" : " 起動失敗"));
  if (!launched.started)
    notice(listLabel(list) + "「" + name + "」を起動できませんでした。\n" + path);
  else
    observer().onLaunch(list, name, path, how);
  return launched;
}

void Scheduler::beginDelay(StartupList& startup, const StartupProgram& program) {
  using namespace std::chrono;
  if (program.delay.empty()) return;
  const auto delay = toInt16(program.delay);
  if (!delay) {
    notice(listLabel(startup.list) + "「" + program.name + "」の遅延「" + program.delay +
           "」が秒数ではないため、待たずに次へ進みます。");
    return;
  }
  if (*delay > 0) startup.delayUntil = floor<seconds>(platform_.clock.now()) + seconds(*delay);
}

// Programs start one after the other, each one's delay the pause before the next. A document
// holds the next program until its program ends, but not the scheduler: the list then waits
// while the tick runs, and the tick takes it up again. Before the tick runs (start-up), a delay
// is waited for here, as the list returns only after the last one.
void Scheduler::runStartupList(LaunchList list, std::vector<StartupProgram> programs) {
  startup_ = StartupList{};
  startup_->list = list;
  startup_->programs = std::move(programs);
  advanceStartupList();
}

void Scheduler::advanceStartupList() {
  if (!startup_ || advancingStartup_) return;
  advancingStartup_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{advancingStartup_};
  while (startup_) {
    StartupList& s = *startup_;
    if (s.document) {
      if (!s.document->hasEnded()) return;
      s.document.reset();
      logEvent("document-closed", listLabel(s.list) + "「" + s.waitingFor.name + "」");
      beginDelay(s, s.waitingFor);
    }
    if (s.delayUntil) {
      if (!tickRunsStartup_)
        waitUntilClock(*s.delayUntil);
      else if (platform_.clock.now() < *s.delayUntil)
        return;
      s.delayUntil.reset();
    }
    if (s.next >= s.programs.size()) {
      startup_.reset();
      return;
    }
    const StartupProgram program = s.programs[s.next++];
    // A planned entry without a path still waits its delay.
    if (!program.path.empty()) {
      Launched launched = launch(s.list, program.name, program.path);  // startup programs are never stopped
      if (launched.document && !launched.document->hasEnded()) {
        s.document = std::move(launched.document);
        s.waitingFor = program;
        continue;
      }
    }
    beginDelay(s, program);
  }
}

void Scheduler::runAutoStartPrograms() {
  std::vector<StartupProgram> planned;
  for (int i = 0; i < keys::kAutoPrograms; ++i)
    if (model_.autoRunPlan[i][model_.dayCategories[1]][currentSlot_] == "1") planned.push_back(model_.autoPrograms[i]);
  runStartupList(LaunchList::Auto, std::move(planned));
}

void Scheduler::runManualStartPrograms() {
  std::vector<StartupProgram> filled;
  for (const StartupProgram& program : model_.manualPrograms)
    if (!program.path.empty()) filled.push_back(program);
  runStartupList(LaunchList::Manual, std::move(filled));
}

void Scheduler::launchTimedProgram(int number) {
  const TimedProgram& program = model_.timedPrograms.at(static_cast<std::size_t>(number));
  const std::string& path = program.path;
  if (asciiLower(path) == "sed") {
    // The earliest started program of that name that still runs; one that ended by itself or was
    // stopped is passed over, and with none left nothing happens.
    const auto it = std::find_if(running_.begin(), running_.end(), [&](const Running& r) {
      return r.process && r.name == program.name && !r.process->hasEnded();
    });
    if (it != running_.end()) {
      it->process->terminate();
      running_.erase(it);
      observer().onStop(program.name);
      logEvent("stop", program.name);
    }
    return;
  }
  // The path is used as stored: lower-casing it would break it on a case-sensitive file system.
  if (path.empty()) return;
  // A document is not waited for: nothing after it depends on its end.
  Launched launched = launch(LaunchList::Timed, program.name, path);
  // What ended by itself is forgotten, or the list would grow through months of running.
  std::erase_if(running_, [](const Running& r) { return !r.process || r.process->hasEnded(); });
  if (launched.process) running_.push_back({program.name, std::move(launched.process)});
}

}  // namespace sayolt
