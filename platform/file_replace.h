#pragma once
#include <filesystem>
#include <string_view>

namespace sayolt {

// Replaces the file's content atomically: the bytes go to a temporary file in the same folder,
// which is flushed to disk and renamed over the target. A crash at any instant leaves either the
// old file or the new one. Throws std::system_error when the file cannot be written.
void replaceFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace sayolt
