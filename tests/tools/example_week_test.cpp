// README's first command: the bundled example week runs without a warning, every day comes on at
// its start and goes off at its end.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "shared/settings_keys.h"
#include "shared/utf8_path.h"
#include "tools/plan/commands.h"

namespace sayolt {
namespace {

int countOf(const std::string& text, const std::string& needle) {
  int n = 0;
  for (auto pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1)) ++n;
  return n;
}

TEST(ExampleWeek, SimulatedWeek_NoMessageAndEveryStartAutomatic) {
  const std::string file =
      utf8FromPath(pathFromUtf8(SAYOLT_SOURCE_DIR) / "examples" / pathFromUtf8(keys::kSettingsFileName));
  std::ostringstream out, err;
  const int code =
      plan::runPlan({"simulate", file, "--from", "2027-01-04 07:59:00", "--days", "7", "--json"}, out, err);
  ASSERT_EQ(code, 0) << err.str();
  const std::string events = out.str();

  EXPECT_EQ(countOf(events, "\"event\": \"message\""), 0) << events;
  // Monday to Sunday, Wednesday twice: the first start is by hand, every later one on time.
  EXPECT_EQ(countOf(events, "\"event\": \"shutdown\""), 8);
  EXPECT_EQ(countOf(events, "\"kind\": 1"), 7);
  EXPECT_EQ(countOf(events, "\"value\": \"23:59\""), 0);
}

}  // namespace
}  // namespace sayolt
