#include "editor/model/scheduler_restart.h"

#include <chrono>

namespace sayolt::editor {

namespace {

constexpr std::chrono::milliseconds kCloseWait{500};

std::string utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

bool schedulerRunning(EditorContext& context) { return context.services.instances.isHeld(kSchedulerInstanceName); }

std::optional<std::string> schedulerProgramPath(EditorContext& context) {
  // Windows names it with ".exe", Linux without; whichever is there is the program.
  for (const char* name : {"Sayolt_123.exe", "Sayolt_123"}) {
    const std::string path = utf8(context.folder / name);
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
    services.dialogs.messageOk(kEditorTitle,
                               "Sayolt_123 が見つからないため、起動できませんでした。\n" + utf8(context.folder));
    return RestartOutcome::ProgramMissing;
  }
  services.instances.requestClose(kSchedulerInstanceName);
  const MonotonicMs until = services.clock.monotonicMs() + kCloseWait.count();
  services.events.runUntil([] { return false; }, until);

  if (!services.processes.startExecutable(*program)) {
    services.dialogs.messageOk(kEditorTitle, "Sayolt_123 を起動できませんでした。\n" + *program);
    return RestartOutcome::StartFailed;
  }
  return RestartOutcome::Started;
}

}  // namespace sayolt::editor
