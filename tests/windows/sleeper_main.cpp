// The program the process tests start and stop: it writes its process number to "<own path>.pid"
// and waits to be stopped, ending by itself after a minute so that none is ever left behind.
#include <windows.h>

#include <string>

int main() {
  wchar_t self[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  const std::wstring marker = std::wstring(self) + L".pid";
  const std::string pid = std::to_string(GetCurrentProcessId());
  // Written under a temporary name and renamed, so that a reader never sees half a number.
  const std::wstring temp = marker + L".tmp";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  WriteFile(file, pid.data(), static_cast<DWORD>(pid.size()), &written, nullptr);
  CloseHandle(file);
  if (!MoveFileExW(temp.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING)) return 2;
  Sleep(60000);
  return 3;
}
