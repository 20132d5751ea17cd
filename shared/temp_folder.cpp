#include "shared/temp_folder.h"

#include <atomic>
#include <random>
#include <string>
#include <system_error>

#include "shared/utf8_path.h"

namespace sayolt {

TempFolder::TempFolder(std::string_view prefix) {
  // Parallel test runs share the temporary folder: a random part plus a counter keeps names apart,
  // and create_directory, not exists, decides who owns one.
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  std::error_code error;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / (std::string(prefix) + std::to_string(random()) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = std::move(candidate);
      return;
    }
  }
  throw std::filesystem::filesystem_error("cannot make a temporary folder", base, error);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempFolder::operator/(std::string_view name) const { return path_ / pathFromUtf8(name); }

}  // namespace sayolt
