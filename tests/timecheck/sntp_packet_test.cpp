#include "scheduler/timecheck/sntp_packet.h"

#include <gtest/gtest.h>

#include <vector>

namespace sayolt {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A reply as a server sends it; every field can be spoilt by the caller.
Bytes reply(std::uint8_t b40, std::uint8_t b41, std::uint8_t b42, std::uint8_t b43) {
  Bytes bytes(48, 0);
  bytes[0] = 0x1C;  // leap 0, version 3, mode 4
  bytes[1] = 1;
  bytes[40] = b40;
  bytes[41] = b41;
  bytes[42] = b42;
  bytes[43] = b43;
  return bytes;
}

TEST(SntpRequest, Bytes_ClientVersion1ThenZeros) {
  const auto request = sntp::requestBytes();
  ASSERT_EQ(request.size(), 48u);
  EXPECT_EQ(request[0], 0x0B);
  for (std::size_t i = 1; i < request.size(); ++i) EXPECT_EQ(request[i], 0) << "byte " << i;
}

TEST(SntpAnswer, TransmitSeconds_ConvertedToUtcText) {
  EXPECT_EQ(sntp::formatUtc(*sntp::answerOf(reply(0xEC, 0x0D, 0xA3, 0x7F))), "2025/06/30 23:59:59");
  EXPECT_EQ(sntp::formatUtc(*sntp::answerOf(reply(0xE9, 0x3C, 0x7F, 0x00))), "2024/01/01 00:00:00");
  // The first second of 1970 and the last one a signed 32-bit count could hold.
  EXPECT_EQ(sntp::formatUtc(*sntp::answerOf(reply(0x83, 0xAA, 0x7E, 0x80))), "1970/01/01 00:00:00");
  EXPECT_EQ(sntp::formatUtc(*sntp::answerOf(reply(0xFF, 0xFF, 0xFF, 0xFF))), "2036/02/07 06:28:15");
}

TEST(SntpAnswer, Fraction_DroppedWhateverItHolds) {
  Bytes bytes = reply(0xEC, 0x0D, 0xA3, 0x7F);
  bytes[44] = 0xFF;
  bytes[45] = 0xFF;
  const auto answer = sntp::answerOf(bytes);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->time_since_epoch(), std::chrono::seconds(1'751'327'999));
}

TEST(SntpAnswer, TopBitClear_ReadAsNextEra) {
  // 2036-02-07 06:28:16 UTC is where NTP seconds wrap to 0.
  EXPECT_EQ(sntp::formatUtc(*sntp::answerOf(reply(0, 0, 0, 0x10))), "2036/02/07 06:28:32");
  EXPECT_EQ(sntp::formatUtc(*sntp::answerOf(reply(0x7F, 0xFF, 0xFF, 0xFF))), "2104/02/26 09:42:23");
  EXPECT_EQ(sntp::utcFromNtpSeconds(0x1000).time_since_epoch(),
            std::chrono::seconds(4'294'967'296LL + 0x1000 - 2'208'988'800LL));
}

TEST(SntpAnswer, Before1970_Refused) {
  EXPECT_EQ(sntp::checkReply(reply(0x83, 0xAA, 0x7E, 0x7F)), sntp::ReplyProblem::Before1970);
  EXPECT_EQ(sntp::checkReply(reply(0x80, 0, 0, 0)), sntp::ReplyProblem::Before1970);
  EXPECT_FALSE(sntp::answerOf(reply(0x80, 0, 0, 0)));
}

TEST(SntpReply, ClientChecks_EachRefusesItsCase) {
  const Bytes good = reply(0xEC, 0x0D, 0xA3, 0x7F);
  EXPECT_EQ(sntp::checkReply(good), sntp::ReplyProblem::None);

  EXPECT_EQ(sntp::checkReply(Bytes(good.begin(), good.begin() + 47)), sntp::ReplyProblem::TooShort);
  EXPECT_EQ(sntp::checkReply(Bytes(good.begin(), good.begin() + 44)), sntp::ReplyProblem::TooShort);
  EXPECT_EQ(sntp::checkReply(Bytes{}), sntp::ReplyProblem::TooShort);
  EXPECT_FALSE(sntp::answerOf(Bytes(good.begin(), good.begin() + 40)));

  for (std::uint8_t mode : {0, 1, 2, 3, 6, 7}) {
    Bytes b = good;
    b[0] = static_cast<std::uint8_t>((b[0] & 0xF8) | mode);
    EXPECT_EQ(sntp::checkReply(b), sntp::ReplyProblem::NotServerMode) << "mode " << int(mode);
  }
  Bytes broadcast = good;
  broadcast[0] = 0x1D;
  EXPECT_EQ(sntp::checkReply(broadcast), sntp::ReplyProblem::None);

  Bytes kissOfDeath = good;
  kissOfDeath[1] = 0;
  EXPECT_EQ(sntp::checkReply(kissOfDeath), sntp::ReplyProblem::KissOfDeath);

  Bytes unsynchronised = good;
  unsynchronised[0] = 0xDC;  // leap indicator 3
  EXPECT_EQ(sntp::checkReply(unsynchronised), sntp::ReplyProblem::Unsynchronised);
  Bytes leapSecondAhead = good;
  leapSecondAhead[0] = 0x5C;  // leap indicator 1 is still a good time
  EXPECT_EQ(sntp::checkReply(leapSecondAhead), sntp::ReplyProblem::None);

  EXPECT_EQ(sntp::checkReply(reply(0, 0, 0, 0)), sntp::ReplyProblem::NoTransmitTime);
  Bytes fractionOnly = reply(0, 0, 0, 0);
  fractionOnly[47] = 1;
  EXPECT_EQ(sntp::checkReply(fractionOnly), sntp::ReplyProblem::None);
}

TEST(SntpReply, LongerDatagram_ReadFromFixedOffsets) {
  Bytes withExtension = reply(0xE9, 0x3C, 0x7F, 0x00);
  withExtension.resize(68, 0xAA);
  EXPECT_EQ(sntp::formatUtc(*sntp::answerOf(withExtension)), "2024/01/01 00:00:00");
}

}  // namespace
}  // namespace sayolt
