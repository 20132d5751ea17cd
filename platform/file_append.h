#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sayolt {

// Small text files that a program appends to and must never be held up by (the event log).
// Nothing here throws.
class FileAppend {
 public:
  virtual ~FileAppend() = default;
  // Appends the bytes, creating the file (not its folder); false when it cannot be written.
  virtual bool append(const std::filesystem::path& file, std::string_view bytes) = 0;
  // The file's size in bytes; nullopt when it does not exist or cannot be read.
  virtual std::optional<std::uintmax_t> size(const std::filesystem::path& file) = 0;
  // The whole file; nullopt when it does not exist or cannot be read.
  virtual std::optional<std::string> read(const std::filesystem::path& file) = 0;
  // Renames from to to, replacing it; false when that failed.
  virtual bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // The user's folder for what a program keeps between runs (XDG_STATE_HOME or ~/.local/state on
  // Linux, %LOCALAPPDATA% on Windows), with programName below it, created; empty when there is none.
  virtual std::filesystem::path userStateFolder(const std::string& programName) = 0;
};

}  // namespace sayolt
