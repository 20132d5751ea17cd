#include "platform/null/null_platform.h"

#include "platform/qt/event_loop_qt.h"
#include "platform/qt/qt_network.h"
#include "platform/system_clock.h"

namespace sayolt {

using std::chrono::milliseconds;

NullClock::NullClock() : system_(createSystemClock()), start_(std::chrono::steady_clock::now()) {}

NullClock::~NullClock() = default;

LocalTime NullClock::now() const { return system_->now() + offset_; }

MonotonicMs NullClock::monotonicMs() const {
  return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

bool NullClock::setUtc(UtcTime utc) {
  utcRequests.push_back(utc);
  const auto systemUtc = std::chrono::time_point_cast<milliseconds>(std::chrono::system_clock::now());
  offset_ = utc.time_since_epoch() - systemUtc.time_since_epoch();
  return true;
}

bool NullClock::setLocalTimeOfDay(TimeOfDay timeOfDay) {
  const LocalTime current = now();
  offset_ += atTimeOfDay(dateOf(current), timeOfDay) - std::chrono::floor<std::chrono::seconds>(current);
  return true;
}

void NullDialogs::messageOk(const std::string& title, const std::string& text) {
  shown.push_back({ShownDialog::Kind::MessageOk, title, text});
}

MessageAnswer NullDialogs::askYesNo(const std::string& title, const std::string& text) {
  shown.push_back({ShownDialog::Kind::YesNo, title, text});
  return yesNoAnswer;
}

void NullDialogs::notice(const std::string& title, const std::string& text) {
  shown.push_back({ShownDialog::Kind::Notice, title, text});
}

std::string NullDialogs::openFileName(const std::string& title, const std::string& startFolder, const std::string&) {
  shown.push_back({ShownDialog::Kind::OpenFile, title, startFolder});
  return openFileAnswer;
}

// The loop's deadlines come from the null clock's counter, which setting the clock leaves alone.
NullPlatform::NullPlatform()
    : events_(std::make_unique<QtEventLoop>(clock_)), network_(createQtNetwork()), platform_{clock_,    *events_,
                                                                                             dialogs_,  processes_,
                                                                                             power_,    tray_,
                                                                                             *network_, instances_} {}

std::unique_ptr<NullPlatform> NullPlatform::create() { return std::make_unique<NullPlatform>(); }

}  // namespace sayolt
