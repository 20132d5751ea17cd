#include <ostream>

#include "tools/plan/commands.h"

namespace sayolt::plan {

int simulateCommand(const Args&, std::ostream&, std::ostream& err) {
  err << "sayolt-plan simulate: not built yet\n";
  return 1;
}

}  // namespace sayolt::plan
