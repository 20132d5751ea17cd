#include <ostream>

#include "tools/plan/commands.h"

namespace sayolt::plan {

int iniCommand(const Args&, std::ostream&, std::ostream& err) {
  err << "sayolt-plan ini: not built yet\n";
  return 1;
}

}  // namespace sayolt::plan
