#pragma once
// The names by which the two programs find each other. CMake reads the file names from here too,
// so the executables are called what the other program looks for.
namespace sayolt {

// The scheduler's executable, also the title of its message boxes.
inline constexpr const char* kSchedulerProgramName = "Sayolt_123";
// The editor's executable, which the scheduler starts from its own folder.
inline constexpr const char* kEditorProgramName = "Sayolt設定_123";
// The scheduler's main window and single-instance name; the editor asks whether it is held.
inline constexpr const char* kSchedulerWindowName = "Sayolt起動終了";

}  // namespace sayolt
