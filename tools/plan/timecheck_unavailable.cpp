// "sayolt-plan timecheck" in a build without Qt, whose network and event loop it runs on.
#include <ostream>

#include "tools/plan/commands.h"

namespace sayolt::plan {

int timecheckCommand(const Args&, std::ostream&, std::ostream& err) {
  err << "sayolt-plan timecheck: このビルドには含まれていません（Qt を使うビルドで実行してください）\n";
  return 1;
}

}  // namespace sayolt::plan
