#include <ostream>

#include "tools/plan/commands.h"

namespace sayolt::plan {

int checkCommand(const Args&, std::ostream&, std::ostream& err) {
  err << "sayolt-plan check: not built yet\n";
  return 1;
}

}  // namespace sayolt::plan
