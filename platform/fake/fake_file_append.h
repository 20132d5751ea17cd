#pragma once
// Files in memory, for the event log's tests: folders can be made unwritable.
#include <map>
#include <set>

#include "platform/file_append.h"

namespace sayolt {

class FakeFileAppend : public FileAppend {
 public:
  bool append(const std::filesystem::path& file, std::string_view bytes) override {
    ++appends;
    if (unwritableFolders.count(file.parent_path())) return false;
    files[file] += bytes;
    return true;
  }
  std::optional<std::uintmax_t> size(const std::filesystem::path& file) override {
    const auto it = files.find(file);
    if (it == files.end()) return std::nullopt;
    return it->second.size();
  }
  std::optional<std::string> read(const std::filesystem::path& file) override {
    const auto it = files.find(file);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to) override {
    const auto it = files.find(from);
    if (it == files.end() || unwritableFolders.count(to.parent_path())) return false;
    files[to] = std::move(it->second);
    files.erase(from);
    return true;
  }
  std::filesystem::path userStateFolder(const std::string& programName) override {
    if (stateHome.empty()) return {};
    return stateHome / programName;
  }

  std::map<std::filesystem::path, std::string> files;
  std::set<std::filesystem::path> unwritableFolders;
  std::filesystem::path stateHome = "/home/user/.local/state";
  int appends = 0;
};

}  // namespace sayolt
