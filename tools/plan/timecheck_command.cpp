#include <ostream>

#include "tools/plan/commands.h"

namespace sayolt::plan {

int timecheckCommand(const Args&, std::ostream&, std::ostream& err) {
  err << "sayolt-plan timecheck: not built yet\n";
  return 1;
}

}  // namespace sayolt::plan
