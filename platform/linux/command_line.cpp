#include "platform/command_line.h"

namespace sayolt {

// Arguments arrive as the bytes the shell passed, UTF-8 under any current locale.
std::vector<std::string> utf8Arguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

}  // namespace sayolt
