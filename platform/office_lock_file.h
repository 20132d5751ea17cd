#pragma once
// The lock file LibreOffice puts beside a document it has open: ".~lock.NAME#", one line of
// comma-separated fields ending in ';', with ',', ';' and '\' escaped by '\'.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sayolt {

struct OfficeLock {
  std::string officeUser;
  std::string osUser;
  std::string host;
  std::string time;  // "DD.MM.YYYY HH:MM"
  std::string profileUrl;
};

std::filesystem::path officeLockPath(const std::filesystem::path& document);
// nullopt when the content is not such a line.
std::optional<OfficeLock> parseOfficeLock(std::string_view content);

// The lock file beside a document, read: no value when there is none; lock is empty when the
// content is not such a line.
struct FoundOfficeLock {
  std::filesystem::path path;
  std::optional<OfficeLock> lock;
};
std::optional<FoundOfficeLock> readOfficeLock(const std::filesystem::path& document);

}  // namespace sayolt
