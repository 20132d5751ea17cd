#include "scheduler/timecheck/error_log.h"

#include <cstdio>
#include <fstream>

#include "platform/text_codec.h"

namespace sayolt {

std::string generalDateText(LocalTime t) {
  const auto date = dateOf(t);
  const auto tod = timeOfDayOf(t).count();
  char buffer[48];
  if (tod == 0) {
    std::snprintf(buffer, sizeof buffer, "%04d/%02u/%02u", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()));
  } else {
    std::snprintf(buffer, sizeof buffer, "%04d/%02u/%02u %lld:%02lld:%02lld", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()), static_cast<long long>(tod / 3600), static_cast<long long>(tod / 60 % 60),
                  static_cast<long long>(tod % 60));
  }
  return buffer;
}

std::string errorLogLine(LocalTime now, std::string_view message) {
  return generalDateText(now) + std::string(message);
}

bool appendErrorLogLine(const std::filesystem::path& path, std::string_view line) {
  const auto encoded = cp932::fromUtf8(std::string(line) + "\r\n");
  if (!encoded) return false;
  std::error_code error;
  const auto before = std::filesystem::file_size(path, error);
  std::ofstream file(path, std::ios::binary | std::ios::app);
  if (!file) return false;
  file.write(encoded->data(), static_cast<std::streamsize>(encoded->size()));
  file.close();
  if (!file.fail()) return true;
  // A full disk may have taken part of the line; the lines before it stay whole.
  if (error)
    std::filesystem::remove(path, error);
  else
    std::filesystem::resize_file(path, before, error);
  return false;
}

}  // namespace sayolt
