// The schedule workbook on Windows: a file another program holds open cannot be renamed, even
// to its own name; LibreOffice's lock file is honoured too while its owner may still run.
#include <windows.h>
// After windows.h.
#include <shellapi.h>
#include <tlhelp32.h>

#include <string>
#include <system_error>

#include "platform/office_lock_file.h"
#include "platform/workbook_viewer.h"

namespace sayolt {

namespace {

std::string narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::string computerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &size)) return {};
  return narrow(std::wstring(name, size));
}

bool officeRunning() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return true;  // cannot tell: keep the lock
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
    found = _wcsicmp(entry.szExeFile, L"soffice.bin") == 0;
  CloseHandle(snapshot);
  return found;
}

bool lockedByOffice(const std::filesystem::path& file) {
  const auto found = readOfficeLock(file);
  if (!found) return false;
  const std::optional<OfficeLock>& lock = found->lock;
  if (lock && !lock->host.empty() && _stricmp(lock->host.c_str(), computerName().c_str()) != 0) return true;
  if (officeRunning()) return true;
  std::error_code error;
  std::filesystem::remove(found->path, error);
  return false;
}

class WindowsWorkbookViewer : public WorkbookViewer {
 public:
  bool isInUse(const std::filesystem::path& file) override {
    const std::wstring path = file.wstring();
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    if (!MoveFileExW(path.c_str(), path.c_str(), 0)) return true;
    return lockedByOffice(file);
  }

  bool show(const std::filesystem::path& file) override {
    const std::wstring path = file.wstring();
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
  }
};

}  // namespace

std::unique_ptr<WorkbookViewer> createWorkbookViewer() { return std::make_unique<WindowsWorkbookViewer>(); }

}  // namespace sayolt
