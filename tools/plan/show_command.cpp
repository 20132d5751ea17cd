#include <ostream>

#include "tools/plan/commands.h"

namespace sayolt::plan {

int showCommand(const Args&, std::ostream&, std::ostream& err) {
  err << "sayolt-plan show: not built yet\n";
  return 1;
}

}  // namespace sayolt::plan
