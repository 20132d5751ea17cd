#include "scheduler/timecheck/sntp_packet.h"

#include <cstdio>

namespace sayolt::sntp {

namespace {
// One era of the 32-bit seconds field.
constexpr std::int64_t kEraSeconds = std::int64_t{1} << 32;

constexpr std::size_t kTransmitOffset = 40;
}  // namespace

std::array<std::uint8_t, kPacketSize> requestBytes() {
  std::array<std::uint8_t, kPacketSize> bytes{};
  bytes[0] = 0x0B;
  return bytes;
}

std::uint32_t transmitSeconds(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < kTransmitOffset + 4) return 0;
  const auto* p = datagram.data() + kTransmitOffset;
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

UtcTime utcFromNtpSeconds(std::uint32_t ntpSeconds) {
  std::int64_t seconds = ntpSeconds;
  if ((ntpSeconds & 0x8000'0000u) == 0) seconds += kEraSeconds;
  return UtcTime{std::chrono::seconds(seconds - kNtpToUnixSeconds)};
}

ReplyProblem checkReply(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < kPacketSize) return ReplyProblem::TooShort;
  const int leap = datagram[0] >> 6;
  const int mode = datagram[0] & 0x07;
  const int stratum = datagram[1];
  if (mode != 4 && mode != 5) return ReplyProblem::NotServerMode;
  if (stratum == 0) return ReplyProblem::KissOfDeath;
  if (leap == 3) return ReplyProblem::Unsynchronised;
  bool transmitZero = true;
  for (std::size_t i = kTransmitOffset; i < kPacketSize; ++i)
    if (datagram[i] != 0) transmitZero = false;
  if (transmitZero) return ReplyProblem::NoTransmitTime;
  if (utcFromNtpSeconds(transmitSeconds(datagram)) < UtcTime{}) return ReplyProblem::Before1970;
  return ReplyProblem::None;
}

std::optional<UtcTime> answerOf(std::span<const std::uint8_t> datagram) {
  if (checkReply(datagram) != ReplyProblem::None) return std::nullopt;
  return utcFromNtpSeconds(transmitSeconds(datagram));
}

std::string formatUtc(UtcTime utc) {
  const auto day = std::chrono::floor<std::chrono::days>(utc);
  const std::chrono::year_month_day date{day};
  const auto rest = std::chrono::floor<std::chrono::seconds>(utc - day).count();
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d/%02u/%02u %02lld:%02lld:%02lld", int(date.year()), unsigned(date.month()),
                unsigned(date.day()), static_cast<long long>(rest / 3600), static_cast<long long>(rest / 60 % 60),
                static_cast<long long>(rest % 60));
  return buffer;
}

}  // namespace sayolt::sntp
