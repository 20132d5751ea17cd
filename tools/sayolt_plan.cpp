#include <iostream>

#include "platform/command_line.h"
#include "tools/plan/commands.h"

int main(int argc, char** argv) {
  return sayolt::plan::runPlan(sayolt::utf8Arguments(argc, argv), std::cout, std::cerr);
}
