#include <iostream>

#include "tools/plan/commands.h"

int main(int argc, char** argv) {
  return sayolt::plan::runPlan(sayolt::plan::Args(argv + 1, argv + argc), std::cout, std::cerr);
}
