#include "tools/plan/settings_file_arg.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "shared/utf8_path.h"

namespace sayolt::plan {

bool settingsFileExists(const std::string& file, std::ostream& err) {
  std::error_code error;
  const auto status = std::filesystem::status(pathFromUtf8(file), error);
  if (status.type() == std::filesystem::file_type::not_found) {
    err << "設定ファイルがありません: " << file << "\n";
    return false;
  }
  if (std::filesystem::is_directory(status)) {
    err << "設定ファイルではなくフォルダーです: " << file << "\n";
    return false;
  }
  // Anything else (no right to look, say) is for the reader to report with its own reason.
  return true;
}

}  // namespace sayolt::plan
