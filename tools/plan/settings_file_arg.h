#pragma once
// The settings file named on a command line.
#include <iosfwd>
#include <string>

namespace sayolt::plan {

// The scheduler reads a missing file as one without keys and ends with its start-tolerance
// message; at a prompt the likelier cause is a mistyped name, so say that instead.
bool settingsFileExists(const std::string& file, std::ostream& err);

}  // namespace sayolt::plan
