#pragma once
// "NTP_Error.txt": one line per time-check failure, in code page 932.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/time_types.h"

namespace sayolt {

inline constexpr const char* kErrorLogFileName = "NTP_Error.txt";

// The general date form of a Japanese system: "2012/01/02 7:30:15"; only "2012/01/02" at exactly
// midnight.
std::string generalDateText(LocalTime t);

// The date text directly followed by the message (UTF-8, no line end).
std::string errorLogLine(LocalTime now, std::string_view message);

// Appends the line and CR LF in code page 932, opening the file (created when missing) and closing
// it again. False when it could not be written; nothing partial is left of an unencodable line.
bool appendErrorLogLine(const std::filesystem::path& path, std::string_view line);

}  // namespace sayolt
