// Any datagram as a time server's reply: a refused one never yields an answer.
#include <cstdint>
#include <span>

#include "scheduler/timecheck/sntp_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> datagram(data, size);
  const auto problem = sayolt::sntp::checkReply(datagram);
  const auto answer = sayolt::sntp::answerOf(datagram);
  if ((problem == sayolt::sntp::ReplyProblem::None) != answer.has_value()) __builtin_trap();
  if (answer) (void)sayolt::sntp::formatUtc(*answer);
  return 0;
}
