#include "editor/model/scheduler_restart.h"

#include <chrono>

#include "shared/program_names.h"
#include "shared/utf8_path.h"

namespace sayolt::editor {

namespace {

constexpr std::chrono::milliseconds kCloseWait{500};

}  // namespace

bool schedulerRunning(EditorContext& context) { return context.services.instances.isHeld(kSchedulerInstanceName); }

std::optional<std::string> schedulerProgramPath(EditorContext& context) {
  // Windows names it with ".exe", Linux without; whichever is there is the program.
  const std::string program = kSchedulerProgramName;
  for (const std::string& name : {program + ".exe", program}) {
    const std::string path = utf8FromPath(context.folder / pathFromUtf8(name));
    if (context.services.processes.fileExists(path)) return path;
  }
  return std::nullopt;
}

RestartOutcome restartScheduler(EditorContext& context) {
  auto& services = context.services;
  // Looked for before the running scheduler closes: without a program to start, closing it would
  // leave the PC without a shutdown tonight and without a recorded next start.
  const auto program = schedulerProgramPath(context);
  if (!program) {
    services.dialogs.messageOk(kEditorTitle, std::string(kSchedulerProgramName) +
                                                 " が見つからないため、起動できませんでした。\n" +
                                                 utf8FromPath(context.folder));
    return RestartOutcome::ProgramMissing;
  }
  services.instances.requestClose(kSchedulerInstanceName);
  const MonotonicMs until = services.clock.monotonicMs() + kCloseWait.count();
  services.events.runUntil([] { return false; }, until);

  if (!services.processes.startExecutable(*program)) {
    services.dialogs.messageOk(kEditorTitle,
                               std::string(kSchedulerProgramName) + " を起動できませんでした。\n" + *program);
    return RestartOutcome::StartFailed;
  }
  return RestartOutcome::Started;
}

}  // namespace sayolt::editor
