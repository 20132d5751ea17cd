#pragma once
// What the editor's pages share while the editor runs: the settings file, the tables and the
// platform services.
#include <filesystem>

#include "editor/model/editor_tables.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/processes.h"
#include "platform/single_instance.h"
#include "shared/ini_file.h"
#include "shared/program_names.h"
#include "shared/settings_keys.h"
#include "shared/utf8_path.h"

namespace sayolt::editor {

// The title of every message box of the editor.
inline constexpr const char* kEditorTitle = "Sayolt設定";
// The name the editor claims so that a second copy ends.
inline constexpr const char* kEditorInstanceName = "Sayolt設定";
// The name the scheduler claims; its holder is the running scheduler.
inline constexpr const char* kSchedulerInstanceName = kSchedulerWindowName;

struct EditorServices {
  Dialogs& dialogs;
  Processes& processes;
  SingleInstance& instances;
  EventLoop& events;
  Clock& clock;
};

struct EditorContext {
  EditorContext(std::filesystem::path programFolder, EditorServices platform)
      : folder(std::move(programFolder)), settings(folder / settingsFileName()), services(platform) {}

  static std::filesystem::path settingsFileName() { return pathFromUtf8(keys::kSettingsFileName); }

  std::filesystem::path folder;  // the editor's own folder
  IniFile settings;              // folder / "Sayolt設定.ini"
  EditorTables tables;
  EditorServices services;
};

}  // namespace sayolt::editor
