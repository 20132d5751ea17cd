#pragma once
// Closing the running scheduler and starting it again from the editor's folder.
#include <functional>
#include <optional>
#include <string>

#include "editor/model/editor_context.h"

namespace sayolt::editor {

// Whether the scheduler runs now (for Sayolt再起動's enabled state).
bool schedulerRunning(EditorContext& context);

// The scheduler's program file in the editor's folder; nullopt when there is none.
std::optional<std::string> schedulerProgramPath(EditorContext& context);

enum class RestartOutcome { Started, ProgramMissing, StartFailed };

// Looks for the scheduler's program file; when there is one, asks the running scheduler to close
// (nothing happens when none runs), lets the editor's pending events run, waits 500 ms without
// taking user input, and starts the scheduler without waiting for it. A missing program file is
// told to the user and leaves the running scheduler alone; an unstartable one is told as well.
RestartOutcome restartScheduler(EditorContext& context);

}  // namespace sayolt::editor
