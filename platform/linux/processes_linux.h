#pragma once
#include <memory>
#include <string>

#include "platform/processes.h"

namespace sayolt {

// Programs and documents on a Linux desktop. Started executables are held through a pidfd, so
// a later stop cannot hit another process that reused the number.
class LinuxProcesses : public Processes {
 public:
  std::unique_ptr<RunningProcess> startExecutable(const std::string& path) override;
  bool isExecutableFile(const std::string& path) override;
  // Blocks the calling thread until the document's program has ended.
  bool openDocumentAndWait(const std::string& path) override;
  // The document's default application, started and watched through a pidfd.
  OpenedDocument openDocument(const std::string& path) override;
  bool isFolder(const std::string& path) override;
  // xdg-open, not waited for.
  bool openWithDesktop(const std::string& target) override;
  // LibreOffice Calc when installed, else the desktop's default for the file; not waited for.
  bool openWorkbook(const std::string& path, bool makeVisible) override;
  bool fileExists(const std::string& path) override;
};

// Holds a process through its pidfd (-1 when it had already ended when taken).
class LinuxRunningProcess : public RunningProcess {
 public:
  LinuxRunningProcess(std::int64_t pid, int pidfd);
  ~LinuxRunningProcess() override;
  LinuxRunningProcess(const LinuxRunningProcess&) = delete;
  LinuxRunningProcess& operator=(const LinuxRunningProcess&) = delete;

  // SIGTERM, up to two seconds for the program to end, then SIGKILL. True when it has ended.
  bool terminate() override;
  bool hasEnded() override;
  std::int64_t processId() const override { return pid_; }

 private:
  std::int64_t pid_;
  int pidfd_;
  bool terminated_ = false;
};

}  // namespace sayolt
