#pragma once
// What the Windows-only tests share: where the test programs lie, files under wide names, and
// running a program with its output captured.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/windows/win_text.h"

namespace sayolt::wintest {

// The folder of the running test executable; the helper programs are built beside it.
inline std::filesystem::path exeFolder() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return std::filesystem::path(path).parent_path();
}

inline std::string utf8(const std::filesystem::path& path) { return narrow(path.wstring()); }

// Polls until done() or the timeout; true when done() came true.
template <class Done>
bool waitFor(Done&& done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

struct RunResult {
  DWORD exitCode = 0;
  std::string out;  // stdout and stderr as one stream, CR LF read as LF
};

// Runs commandLine (the program's quoted path first) and waits for its end, at most 60 seconds.
inline RunResult run(std::wstring commandLine) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("CreatePipe failed");
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  const BOOL started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    throw std::runtime_error("cannot start " + narrow(commandLine));
  }
  RunResult result;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) result.out.append(buffer, got);
  CloseHandle(readEnd);
  // A Windows console program writes its lines with CR LF.
  for (std::size_t at = result.out.find("\r\n"); at != std::string::npos; at = result.out.find("\r\n", at))
    result.out.erase(at, 1);
  WaitForSingleObject(pi.hProcess, 60000);
  GetExitCodeProcess(pi.hProcess, &result.exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return result;
}

inline std::wstring quoted(const std::filesystem::path& path) { return L"\"" + path.wstring() + L"\""; }

}  // namespace sayolt::wintest
