#include <filesystem>
#include <ostream>

#include "shared/ini_file.h"
#include "shared/utf8_path.h"
#include "tools/plan/commands.h"

namespace sayolt::plan {

namespace {

constexpr const char* kIniUsage =
    "使い方:\n"
    "  sayolt-plan ini get FILE SECTION KEY\n"
    "  sayolt-plan ini set FILE SECTION KEY VALUE\n"
    "  sayolt-plan ini delete-key FILE SECTION KEY\n"
    "  sayolt-plan ini delete-section FILE SECTION\n"
    "  sayolt-plan ini get-section FILE SECTION\n"
    "  sayolt-plan ini set-section FILE SECTION [KEY=VALUE ...]\n";

int usage(std::ostream& err) {
  err << kIniUsage;
  return 2;
}

}  // namespace

int iniCommand(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 2) return usage(err);
  const std::string& verb = args[0];
  const size_t operands = args.size() - 2;  // after the verb and FILE
  IniFile file(pathFromUtf8(args[1]));
  try {
    if (verb == "get" && operands == 2) {
      out << file.get(args[2], args[3]) << '\n';
    } else if (verb == "set" && operands == 3) {
      file.set(args[2], args[3], args[4]);
    } else if (verb == "delete-key" && operands == 2) {
      file.deleteKey(args[2], args[3]);
    } else if (verb == "delete-section" && operands == 1) {
      file.deleteSection(args[2]);
    } else if (verb == "get-section" && operands == 1) {
      for (const std::string& entry : file.getSection(args[2])) out << entry << '\n';
    } else if (verb == "set-section" && operands >= 1) {
      std::vector<std::string> entries(args.begin() + 3, args.end());
      for (const std::string& entry : entries) {
        // The section write would silently drop it; on a command line it is a typing mistake.
        if (entry.find('=') == std::string::npos) {
          err << "sayolt-plan ini: KEY=VALUE expected: " << entry << '\n';
          return usage(err);
        }
      }
      file.setSection(args[2], std::move(entries));
    } else {
      return usage(err);
    }
  } catch (const IniError& e) {
    err << "sayolt-plan ini: " << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace sayolt::plan
