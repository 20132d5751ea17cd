#include <algorithm>
#include <charconv>
#include <ostream>
#include <stdexcept>

#include "shared/utf8_path.h"
#include "tools/plan/commands.h"
#include "tools/plan/json.h"
#include "tools/plan/settings_file_arg.h"
#include "tools/simulation/simulation.h"

namespace sayolt::plan {

namespace {

std::string formatEventJson(const SimulationEvent& e) {
  std::string out = "{\"time\": " + jsonString(formatLocalDateTime(e.time)) +
                    ", \"pcClock\": " + jsonString(formatLocalDateTime(e.pcClock)) +
                    ", \"event\": " + jsonString(e.event);
  for (const auto& [k, v] : e.fields) {
    const bool numeric = std::find(e.numericFields.begin(), e.numericFields.end(), k) != e.numericFields.end();
    out += ", " + jsonString(k) + ": " + (numeric ? v : jsonString(v));
  }
  return out + "}";
}

}  // namespace

// Runs the real scheduler for N days on virtual time and prints what happens.
int simulateCommand(const Args& args, std::ostream& out, std::ostream& err) {
  std::string file, from, daysText;
  bool json = false, bad = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json")
      json = true;
    else if (args[i] == "--from" && i + 1 < args.size())
      from = args[++i];
    else if (args[i] == "--days" && i + 1 < args.size())
      daysText = args[++i];
    else if (file.empty() && args[i].rfind("--", 0) != 0)
      file = args[i];
    else
      bad = true;
  }
  int days = 0;
  const auto [end, ec] = std::from_chars(daysText.data(), daysText.data() + daysText.size(), days);
  const auto start = parseLocalDateTime(from);
  if (bad || file.empty() || !start || ec != std::errc() || end != daysText.data() + daysText.size() || days < 1 ||
      days > 3660) {
    err << "使い方: sayolt-plan simulate FILE --from \"YYYY-MM-DD HH:MM:SS\" --days N [--json]\n"
           "  N は 1 から 3660 までの日数\n";
    return 2;
  }
  if (!settingsFileExists(file, err)) return 1;

  SimulationOptions options;
  options.settingsFile = pathFromUtf8(file);
  options.from = *start;
  options.days = days;
  SimulationResult result;
  try {
    result = simulate(options);
  } catch (const std::exception& e) {
    err << e.what() << "\n";
    return 1;
  }
  for (const SimulationEvent& event : result.events)
    out << (json ? formatEventJson(event) : formatEventText(event)) << "\n";
  return 0;
}

}  // namespace sayolt::plan
