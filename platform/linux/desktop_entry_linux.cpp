#include "platform/linux/desktop_entry_linux.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "platform/ascii_text.h"

namespace sayolt {

namespace {

// The escapes of the "string" value type: \s \n \t \r \\ .
std::string unescapeValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (value[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      // Anything else is kept for the Exec quoting rules (\" \$ \`).
      default:
        out += '\\';
        out += value[i];
        break;
    }
  }
  return out;
}

bool isFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Splits per the Exec quoting rules; nullopt on an unterminated quote.
std::optional<std::vector<std::string>> splitExec(std::string_view exec) {
  std::vector<std::string> args;
  std::string current;
  bool inToken = false;
  bool quoted = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted) {
      if (c == '\\' && i + 1 < exec.size()) {
        current += exec[++i];
      } else if (c == '"') {
        quoted = false;
      } else {
        current += c;
      }
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\n') {
      if (inToken) args.push_back(std::move(current));
      current.clear();
      inToken = false;
    } else if (c == '"') {
      quoted = true;
      inToken = true;
    } else {
      current += c;
      inToken = true;
    }
  }
  if (quoted) return std::nullopt;
  if (inToken) args.push_back(std::move(current));
  return args;
}

}  // namespace

std::optional<DesktopEntry> parseDesktopEntry(std::string_view content, std::string location) {
  DesktopEntry entry;
  entry.location = std::move(location);
  bool inGroup = false;
  bool seenGroup = false;
  while (!content.empty()) {
    const auto newline = content.find('\n');
    const std::string_view line = trimAscii(content.substr(0, newline));
    content.remove_prefix(newline == std::string_view::npos ? content.size() : newline + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inGroup = line == "[Desktop Entry]";
      seenGroup = seenGroup || inGroup;
      continue;
    }
    if (!inGroup) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = trimAscii(line.substr(0, eq));
    const std::string value = unescapeValue(trimAscii(line.substr(eq + 1)));
    if (key == "Exec")
      entry.exec = value;
    else if (key == "TryExec")
      entry.tryExec = value;
    else if (key == "Name")
      entry.name = value;
    else if (key == "Icon")
      entry.icon = value;
    else if (key == "Path")
      entry.workingDirectory = value;
    else if (key == "Terminal")
      entry.terminal = value == "true";
    else if (key == "Hidden")
      entry.hidden = value == "true";
  }
  if (!seenGroup) return std::nullopt;
  return entry;
}

std::optional<DesktopEntry> readDesktopEntry(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  return parseDesktopEntry(content.str(), path);
}

std::optional<std::vector<std::string>> expandDesktopExec(const DesktopEntry& entry, const std::string& document) {
  const auto raw = splitExec(entry.exec);
  // The program itself must be named; a field code there would run the document.
  if (!raw || raw->empty() || raw->front().empty() || raw->front().front() == '%') {
    return std::nullopt;
  }
  std::vector<std::string> args;
  bool documentPlaced = false;
  for (const std::string& token : *raw) {
    if (token == "%i") {
      if (!entry.icon.empty()) {
        args.push_back("--icon");
        args.push_back(entry.icon);
      }
      continue;
    }
    std::string out;
    for (std::size_t i = 0; i < token.size(); ++i) {
      if (token[i] != '%' || i + 1 == token.size()) {
        out += token[i];
        continue;
      }
      switch (token[++i]) {
        case 'f':
        case 'F':
        case 'u':
        case 'U':
          // Only one document goes to the program, however many codes the line has.
          if (!documentPlaced) out += document;
          documentPlaced = true;
          break;
        case 'c':
          out += entry.name;
          break;
        case 'k':
          out += entry.location;
          break;
        case '%':
          out += '%';
          break;
        // %d %D %n %N %v %m are deprecated and dropped, as are unknown codes.
        default:
          break;
      }
    }
    // A token made only of dropped codes disappears; an intended empty argument ("") stays.
    if (!out.empty() || token.empty()) args.push_back(std::move(out));
  }
  if (!documentPlaced) args.push_back(document);
  return args;
}

std::string findDesktopFile(const std::string& desktopId, const std::vector<std::string>& applicationFolders) {
  if (desktopId.empty() || desktopId.find('/') != std::string::npos) return {};
  for (const std::string& folder : applicationFolders) {
    // "vendor-app.desktop" may also live as vendor/app.desktop.
    std::string relative = desktopId;
    for (;;) {
      const std::string candidate = folder + "/" + relative;
      if (isFile(candidate)) return candidate;
      const auto dash = relative.find('-');
      if (dash == std::string::npos) break;
      relative[dash] = '/';
    }
  }
  return {};
}

}  // namespace sayolt
