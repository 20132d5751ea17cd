#include "platform/windows/processes_windows.h"

#include <objbase.h>
#include <shellapi.h>
#include <shldisp.h>

#include "platform/windows/win_text.h"

namespace sayolt {

namespace {

// CLSID_Shell ("Shell.Application"), spelled out so that no import library is needed for it.
constexpr CLSID kShellApplication = {0x13709620, 0xc279, 0x11ce, {0xa4, 0x9e, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

constexpr DWORD kTerminateWaitMs = 2000;
// ERROR_ELEVATION_REQUIRED, missing from some SDK headers.
constexpr DWORD kElevationRequired = 740;

// COM for the calling thread, as the shell calls want it; undone only if done here.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

// Like the taskbar's button: minimises every window (or brings them back if already shown).
void toggleDesktop() {
  IShellDispatch4* shell = nullptr;
  if (SUCCEEDED(CoCreateInstance(kShellApplication, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellDispatch4),
                                 reinterpret_cast<void**>(&shell))) &&
      shell) {
    shell->ToggleDesktop();
    shell->Release();
  }
}

bool shellExecute(const std::wstring& file, const wchar_t* verb, int show, HANDLE* process) {
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof sei;
  sei.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | (process ? SEE_MASK_NOCLOSEPROCESS : 0);
  sei.lpVerb = verb;
  sei.lpFile = file.c_str();
  sei.nShow = show;
  if (!ShellExecuteExW(&sei)) return false;
  if (process) *process = sei.hProcess;
  return true;
}

}  // namespace

WindowsRunningProcess::WindowsRunningProcess(DWORD pid, HANDLE process) : pid_(pid), process_(process) {}

WindowsRunningProcess::~WindowsRunningProcess() {
  if (process_) CloseHandle(process_);
}

bool WindowsRunningProcess::terminate() {
  if (!process_) return false;
  // An ended process refuses TerminateProcess; it counts as stopped all the same.
  bool ended = WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
  if (!ended && TerminateProcess(process_, 0)) {
    ended = WaitForSingleObject(process_, kTerminateWaitMs) == WAIT_OBJECT_0;
  }
  CloseHandle(process_);
  process_ = nullptr;
  return ended;
}

bool WindowsRunningProcess::hasEnded() { return !process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

std::unique_ptr<RunningProcess> WindowsProcesses::startExecutable(const std::string& path) {
  const std::wstring file = widen(path);
  if (file.empty()) return nullptr;
  std::wstring commandLine = L"\"" + file + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  // Lets the new program take the foreground when we may give it.
  AllowSetForegroundWindow(ASFW_ANY);
  if (CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    return std::make_unique<WindowsRunningProcess>(pi.dwProcessId, pi.hProcess);
  }
  if (GetLastError() != kElevationRequired) return nullptr;
  // A program that asks for elevation starts through the shell, which shows the prompt.
  HANDLE process = nullptr;
  if (!shellExecute(file, L"open", SW_SHOWNORMAL, &process) || !process) return nullptr;
  return std::make_unique<WindowsRunningProcess>(GetProcessId(process), process);
}

bool WindowsProcesses::isExecutableFile(const std::string&) { return false; }

bool WindowsProcesses::openDocumentAndWait(const std::string& path) {
  if (!fileExists(path)) return false;
  ComScope com;
  toggleDesktop();
  HANDLE process = nullptr;
  // The default verb, as double-clicking the file would use.
  if (!shellExecute(widen(path), nullptr, SW_SHOWNORMAL, &process)) return false;
  // No handle when a running program took the file over (DDE): nothing to wait for.
  if (process) {
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
  }
  return true;
}

OpenedDocument WindowsProcesses::openDocument(const std::string& path) {
  if (!fileExists(path)) return {};
  ComScope com;
  toggleDesktop();
  HANDLE process = nullptr;
  if (!shellExecute(widen(path), nullptr, SW_SHOWNORMAL, &process)) return {};
  OpenedDocument opened{true, nullptr};
  if (process) opened.program = std::make_unique<WindowsRunningProcess>(GetProcessId(process), process);
  return opened;
}

bool WindowsProcesses::isFolder(const std::string& path) {
  const std::wstring folder = widen(path);
  if (folder.empty()) return false;
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WindowsProcesses::openWithDesktop(const std::string& target) {
  const std::wstring file = widen(target);
  if (file.empty()) return false;
  ComScope com;
  return shellExecute(file, L"open", SW_SHOWNORMAL, nullptr);
}

bool WindowsProcesses::openWorkbook(const std::string& path, bool makeVisible) {
  if (!fileExists(path)) return false;
  ComScope com;
  return shellExecute(widen(path), L"open", makeVisible ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE, nullptr);
}

bool WindowsProcesses::fileExists(const std::string& path) {
  const std::wstring file = widen(path);
  if (file.empty()) return false;
  const DWORD attributes = GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace sayolt
