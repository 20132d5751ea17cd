#include "platform/command_line.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include "platform/windows/win_text.h"

namespace sayolt {

// main's argv holds the ANSI forms, where a character outside the code page is already "?": the
// wide command line is the only complete one.
std::vector<std::string> utf8Arguments(int, char**) {
  SetConsoleOutputCP(CP_UTF8);
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) args.push_back(narrow(wide[i]));
  LocalFree(wide);
  return args;
}

}  // namespace sayolt
