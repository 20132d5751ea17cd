#pragma once
#include <string>
#include <vector>

namespace sayolt {

// The program's arguments after its name, in UTF-8 whatever code page the OS hands them in (on
// Windows the ANSI code page, which cannot hold every file name). Also lets a console show the
// program's UTF-8 output.
std::vector<std::string> utf8Arguments(int argc, char** argv);

}  // namespace sayolt
