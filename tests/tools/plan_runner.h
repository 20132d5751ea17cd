#pragma once
// sayolt-plan run in-process, as a prompt would run it.
#include <sstream>
#include <string>

#include "tools/plan/commands.h"

namespace sayolt::test {

struct PlanOutcome {
  int code;
  std::string out;
  std::string err;
};

inline PlanOutcome runPlanCommand(const plan::Args& args) {
  std::ostringstream out, err;
  const int code = plan::runPlan(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace sayolt::test
