#pragma once
// One attempt to read the time from one time server and set the clock from the answer.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "scheduler/timecheck/sntp_packet.h"

namespace sayolt {

struct TimeAnswer {
  UtcTime utc;            // the server's time, whole seconds
  bool clockSet = false;  // whether the clock accepted it
};

struct TimeQueryOptions {
  std::uint16_t serverPort = sntp::kServerPort;  // other ports only in tests
  std::uint16_t localPort = 1024;                // 0: a port the system chooses
  std::chrono::milliseconds timeout{10'000};     // an answer at exactly this moment still counts
};

class TimeQuery {
 public:
  explicit TimeQuery(Platform& platform, TimeQueryOptions options = {});

  // Sends one request to host (name or address, exactly as stored) and waits, handling events,
  // for an answer that passes the checks; sets the clock from it (UTC, milliseconds 0). nullopt
  // when the host is empty, the request cannot be sent, no usable answer comes in time, or the
  // program was asked to exit meanwhile.
  std::optional<TimeAnswer> ask(const std::string& host);

 private:
  bool fromServer(const Datagram& datagram, const UdpSocket& socket) const;

  Platform& platform_;
  TimeQueryOptions options_;
};

}  // namespace sayolt
