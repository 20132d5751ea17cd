#pragma once
// The bytes of one SNTP exchange: the client request we send, the checks a reply must pass before
// it may set the clock, and the reading of its transmit timestamp.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/time_types.h"

namespace sayolt::sntp {

inline constexpr std::size_t kPacketSize = 48;
inline constexpr std::uint16_t kServerPort = 123;

// Leap indicator 0, version 1, mode 3 (client), then 47 zero bytes.
std::array<std::uint8_t, kPacketSize> requestBytes();

enum class ReplyProblem {
  None,
  TooShort,        // fewer than 48 bytes
  NotServerMode,   // mode other than 4 (server) or 5 (broadcast)
  KissOfDeath,     // stratum 0
  Unsynchronised,  // leap indicator 3
  NoTransmitTime,  // transmit timestamp zero
  Before1970,      // the clock cannot be set to it
};

// The client checks of RFC 4330 section 5 on the datagram's contents (the sender is checked by the
// caller, which knows whom it asked). None when the reply can set the clock.
ReplyProblem checkReply(std::span<const std::uint8_t> datagram);

// Seconds of the transmit timestamp (bytes 40..43, most significant first).
std::uint32_t transmitSeconds(std::span<const std::uint8_t> datagram);

// The NTP seconds as a UTC moment. NTP seconds wrap every 2^32 s (about 136 years): a value with
// its top bit set lies in era 0 (1968..2036), one with it clear in era 1 (2036..2104).
UtcTime utcFromNtpSeconds(std::uint32_t ntpSeconds);

// The answer a reply carries, whole seconds (the fraction is dropped); nullopt when checkReply
// refuses it.
std::optional<UtcTime> answerOf(std::span<const std::uint8_t> datagram);

// "yyyy/mm/dd hh:nn:ss", every field zero-padded, as the answer is shown.
std::string formatUtc(UtcTime utc);

}  // namespace sayolt::sntp
