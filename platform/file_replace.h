#pragma once
#include <filesystem>
#include <string_view>

namespace sayolt {

enum class FileReplacement { Atomic, InPlace };

// Replaces the file's content atomically: the bytes go to a temporary file in the same folder,
// which is flushed to disk and renamed over the target. A crash at any instant leaves either the
// old file or the new one. Where no temporary file can be made there (a folder the user may not
// write to, holding a file they may), the file is rewritten in place and flushed instead: not
// atomic, but written. A symbolic link stays: the file it points to is replaced. Throws
// std::system_error when the file cannot be written either way.
FileReplacement replaceFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace sayolt
