#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "platform/processes.h"

namespace sayolt {

// Programs and documents through the Windows shell. A started program is held by its process
// handle from creation on, so a later stop cannot hit a process that reused its number.
class WindowsProcesses : public Processes {
 public:
  std::unique_ptr<RunningProcess> startExecutable(const std::string& path) override;
  // Windows decides by the ".exe" ending, which the caller tests itself.
  bool isExecutableFile(const std::string& path) override;
  // Blocks the calling thread until the document's program has ended.
  bool openDocumentAndWait(const std::string& path) override;
  OpenedDocument openDocument(const std::string& path) override;
  bool isFolder(const std::string& path) override;
  bool openWithDesktop(const std::string& target) override;
  bool openWorkbook(const std::string& path, bool makeVisible) override;
  bool fileExists(const std::string& path) override;
};

class WindowsRunningProcess : public RunningProcess {
 public:
  WindowsRunningProcess(DWORD pid, HANDLE process);
  ~WindowsRunningProcess() override;
  WindowsRunningProcess(const WindowsRunningProcess&) = delete;
  WindowsRunningProcess& operator=(const WindowsRunningProcess&) = delete;

  bool terminate() override;
  std::int64_t processId() const override { return pid_; }
  bool hasEnded() override;

 private:
  DWORD pid_;
  HANDLE process_;
};

}  // namespace sayolt
