#pragma once
// A fresh folder of its own under the system's temporary folder, removed with everything in it.
// The simulator's working copy, and the benchmarks' and tests' files.
#include <filesystem>
#include <string_view>

namespace sayolt {

class TempFolder {
 public:
  // Throws std::filesystem::filesystem_error when no folder can be made.
  explicit TempFolder(std::string_view prefix = "sayolt-");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // A UTF-8 name inside the folder.
  std::filesystem::path operator/(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace sayolt
