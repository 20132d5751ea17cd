#include "scheduler/core/event_log.h"

#include "platform/text_codec.h"
#include "platform/time_types.h"
#include "shared/utf8_path.h"

namespace sayolt {

namespace {

// Code page 932 bytes of the text, "?" for each character that has none.
std::string encodeLossy(const std::string& utf8) {
  if (const auto whole = cp932::fromUtf8(utf8)) return *whole;
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t length = 1;
    while (i + length < utf8.size() && (static_cast<unsigned char>(utf8[i + length]) & 0xC0) == 0x80) ++length;
    const auto one = cp932::fromUtf8(utf8.substr(i, length));
    out += one ? *one : "?";
    i += length;
  }
  return out;
}

std::string oneLine(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\n')
      out += " / ";
    else
      out += text[i];
  }
  return out;
}

}  // namespace

SchedulerEventLog::SchedulerEventLog(FileAppend& files, const Clock& clock, std::filesystem::path programFolder,
                                     std::uintmax_t maxBytes)
    : files_(files), clock_(clock), programFolder_(std::move(programFolder)), maxBytes_(maxBytes) {}

// The program's folder when a file can be made there, else the user's state folder.
void SchedulerEventLog::locate() {
  if (located_) return;
  located_ = true;
  file_ = programFolder_ / kEventLogFileName;
  if (files_.append(file_, {})) return;
  const auto state = files_.userStateFolder(kEventLogStateFolder);
  if (!state.empty()) file_ = state / kEventLogFileName;
}

const std::filesystem::path& SchedulerEventLog::file() {
  locate();
  return file_;
}

bool SchedulerEventLog::appendLine(const std::string& bytes) {
  const auto size = files_.size(file_);
  if (size && *size + bytes.size() > maxBytes_) files_.moveOver(file_, file_.parent_path() / kPreviousEventLogFileName);
  return files_.append(file_, bytes);
}

void SchedulerEventLog::write(const std::string& kind, const std::string& text) {
  try {
    locate();
    std::string line = formatLocalDateTime(clock_.now()) + " " + kind;
    // Appended piece by piece: GCC 12 at -O3 takes " " + text for an overlapping copy.
    if (!text.empty()) line.append(" ").append(oneLine(text));
    if (appendLine(encodeLossy(line) + "\r\n") || failureNoted_) return;
    failureNoted_ = true;
    if (onFailure) onFailure(utf8FromPath(file_));
  } catch (...) {
    // Nothing in the log may hold up the day.
  }
}

std::vector<std::string> SchedulerEventLog::warningsOfLastShutdown() {
  std::vector<std::string> pending;
  try {
    locate();
    std::string bytes = files_.read(file_.parent_path() / kPreviousEventLogFileName).value_or("");
    bytes += files_.read(file_).value_or("");
    const std::string text = cp932::toUtf8(bytes);
    std::vector<std::string> session;
    std::size_t begin = 0;
    while (begin < text.size()) {
      std::size_t end = text.find('\n', begin);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(begin, end - begin);
      begin = end + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      // "yyyy-mm-dd hh:mm:ss kind text"
      if (line.size() < 21) continue;
      const std::string rest = line.substr(20);
      const auto space = rest.find(' ');
      const std::string kind = rest.substr(0, space);
      const std::string detail = space == std::string::npos ? "" : rest.substr(space + 1);
      if (kind == kStartEvent) {
        session.clear();
        pending.clear();
      } else if (kind == kWarningEvent) {
        session.push_back(detail);
      } else if (kind == kShutdownRequestEvent) {
        pending = session;
      }
    }
  } catch (...) {
    pending.clear();
  }
  return pending;
}

}  // namespace sayolt
