#pragma once
// The scheduler's event log: one line per thing it decided or did, for administrators who need to
// know why a PC stayed on. Beside "NTP_Error.txt", in the same code page and line ends; in the
// user's state folder where the program's folder cannot be written. Kept to a bounded size by
// moving the full file to one previous file.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/file_append.h"

namespace sayolt {

inline constexpr const char* kEventLogFileName = "Sayolt_Log.txt";
inline constexpr const char* kPreviousEventLogFileName = "Sayolt_Log_1.txt";
inline constexpr const char* kEventLogStateFolder = "Sayolt";
inline constexpr std::uintmax_t kEventLogMaxBytes = 512 * 1024;

// Kinds the log reads back at the next start.
inline constexpr const char* kStartEvent = "start";
inline constexpr const char* kWarningEvent = "warning";
inline constexpr const char* kShutdownRequestEvent = "shutdown-request";

class SchedulerEventLog {
 public:
  SchedulerEventLog(FileAppend& files, const Clock& clock, std::filesystem::path programFolder,
                    std::uintmax_t maxBytes = kEventLogMaxBytes);

  // Appends "yyyy-mm-dd hh:mm:ss kind text" and CR LF; line breaks in text become " / ", and a
  // character without a code page 932 form "?". Never throws: a line that cannot be written is
  // dropped, and onFailure hears of the first such line.
  void write(const std::string& kind, const std::string& text);

  // The warnings logged before the last shutdown request, when no start has been logged since:
  // what an automatic start that followed it should show.
  std::vector<std::string> warningsOfLastShutdown();

  // The file the lines go to (decided at the first write or read).
  const std::filesystem::path& file();

  std::function<void(const std::string& file)> onFailure;

 private:
  void locate();
  bool appendLine(const std::string& bytes);

  FileAppend& files_;
  const Clock& clock_;
  std::filesystem::path programFolder_;
  std::uintmax_t maxBytes_;
  std::filesystem::path file_;
  bool located_ = false;
  bool failureNoted_ = false;
};

}  // namespace sayolt
