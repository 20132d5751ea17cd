#pragma once
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace sayolt {

// The system clock of Linux. Setting it needs CAP_SYS_TIME (root, or the capability granted
// to the binary); without it the setters answer false and change nothing.
class LinuxClock : public Clock {
 public:
  LocalTime now() const override;
  MonotonicMs monotonicMs() const override;
  bool setUtc(UtcTime utc) override;
  bool setLocalTimeOfDay(TimeOfDay timeOfDay) override;
  bool syncHardwareClock() override;
};

// Which time the hardware clock keeps: UTC (the Linux default) or local time (as Windows does).
enum class RtcTimescale { Utc, Local };

// Reads the third line of /etc/adjtime's content: "LOCAL" or "UTC"; anything else, or no third
// line, counts as UTC as hwclock treats it.
RtcTimescale parseAdjtimeTimescale(std::string_view adjtimeContent);

// The timescale of the hardware clock named by the file at adjtimePath (UTC when unreadable).
RtcTimescale readRtcTimescale(const std::string& adjtimePath);

// The moment at which the local clock shows timeOfDay on the local date of `now`; nullopt when
// that wall time does not exist that day (skipped by a daylight-saving change) or is out of range.
std::optional<std::time_t> localTimeOfDayTarget(std::time_t now, TimeOfDay timeOfDay);

// The broken-down fields written to the hardware clock for the moment t.
std::tm rtcFieldsFor(std::time_t t, RtcTimescale scale);

// Local wall time of the moment given as seconds and milliseconds since the Unix epoch.
LocalTime localTimeOf(std::time_t epochSeconds, int millis);

}  // namespace sayolt
