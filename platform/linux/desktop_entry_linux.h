#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sayolt {

// The keys of a .desktop file's [Desktop Entry] group that launching a document needs.
struct DesktopEntry {
  std::string location;  // path of the .desktop file itself
  std::string name;
  std::string icon;
  std::string exec;  // escapes of the string type already resolved
  std::string tryExec;
  std::string workingDirectory;  // the Path key
  bool terminal = false;
  bool hidden = false;
};

// Reads the [Desktop Entry] group of a desktop file's text; nullopt when the group is missing.
std::optional<DesktopEntry> parseDesktopEntry(std::string_view content, std::string location);
std::optional<DesktopEntry> readDesktopEntry(const std::string& path);

// Splits an Exec line into the program and its arguments and puts the document in place of
// the file and URL field codes (%f %F %u %U); a line without one gets the document appended.
// nullopt when the line is malformed (an open quote, nothing to run).
std::optional<std::vector<std::string>> expandDesktopExec(const DesktopEntry& entry, const std::string& document);

// Where an application id ("org.example.Viewer.desktop", "kde-okular.desktop") is installed,
// looked up in the given applications folders in order; "" when none holds it.
std::string findDesktopFile(const std::string& desktopId, const std::vector<std::string>& applicationFolders);

}  // namespace sayolt
