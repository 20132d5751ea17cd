#pragma once
// The day start ("一日の区切り" "時刻", minutes after midnight) as the editor and the workbook show it.
#include <optional>
#include <string>
#include <string_view>

namespace sayolt {

// "h:mm" of the stored minutes: "300" gives "5:00", "5" gives "0:05", an empty text "0:00". A value
// outside the day keeps its sign in both parts ("-5" gives "0:-05"), which reads as no time.
// nullopt when the text is not a whole number within 16 bits.
std::optional<std::string> dayStartText(std::string_view stored);

}  // namespace sayolt
