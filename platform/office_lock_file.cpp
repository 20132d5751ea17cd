#include "platform/office_lock_file.h"

#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

namespace sayolt {

std::filesystem::path officeLockPath(const std::filesystem::path& document) {
  std::filesystem::path name(u8".~lock.");
  name += document.filename();
  name += u8"#";
  return document.parent_path() / name;
}

std::optional<OfficeLock> parseOfficeLock(std::string_view content) {
  std::vector<std::string> fields(1);
  bool ended = false;
  for (std::size_t i = 0; i < content.size() && !ended; ++i) {
    const char c = content[i];
    if (c == '\\' && i + 1 < content.size()) {
      fields.back() += content[++i];
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == ';') {
      ended = true;
    } else {
      fields.back() += c;
    }
  }
  if (!ended || fields.size() < 5) return std::nullopt;
  return OfficeLock{fields[0], fields[1], fields[2], fields[3], fields[4]};
}

std::optional<FoundOfficeLock> readOfficeLock(const std::filesystem::path& document) {
  std::filesystem::path lockPath = officeLockPath(document);
  std::error_code error;
  if (!std::filesystem::exists(lockPath, error)) return std::nullopt;
  std::ifstream in(lockPath, std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return FoundOfficeLock{std::move(lockPath), parseOfficeLock(content)};
}

}  // namespace sayolt
