#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace sayolt {

// A started program that can be stopped later. Owns the OS handle (pidfd, process handle).
class RunningProcess {
 public:
  virtual ~RunningProcess() = default;
  // Stops the program (TerminateProcess, exit code 0) and releases the handle.
  // A second call does nothing and returns false.
  virtual bool terminate() = 0;
  virtual std::int64_t processId() const = 0;
  // True once the program has ended, by itself or stopped. Never waits.
  virtual bool hasEnded() { return false; }
};

// A document handed to its program without waiting.
struct OpenedDocument {
  bool opened = false;
  // The program showing it, to watch for its end; nullptr when none can be told (a running
  // program took the file over).
  std::unique_ptr<RunningProcess> program;
};

// Starting programs and documents. Paths are UTF-8.
class Processes {
 public:
  virtual ~Processes() = default;
  // Starts an executable with a normal, activated window; does not wait. nullptr when it
  // could not be started.
  virtual std::unique_ptr<RunningProcess> startExecutable(const std::string& path) = 0;
  // True when the path names a file this OS can run directly (on Linux: executable permission,
  // not a directory). Windows decides by the ".exe" ending alone and answers false here.
  virtual bool isExecutableFile(const std::string& path) = 0;
  // Shows the desktop, opens the document with its associated program and returns only when
  // that program has ended. False when it could not be opened.
  virtual bool openDocumentAndWait(const std::string& path) = 0;
  // Shows the desktop and opens the document with its associated program; does not wait.
  virtual OpenedDocument openDocument(const std::string& path) { return {openDocumentAndWait(path), nullptr}; }
  // True when the path names a folder.
  virtual bool isFolder(const std::string& /*path*/) { return false; }
  // Hands a folder or a URL to the desktop's opener; does not wait. False when it was refused.
  virtual bool openWithDesktop(const std::string& /*target*/) { return false; }
  // Opens a workbook in the installed spreadsheet program. With makeVisible the program's window
  // is brought up (the time-specified road); otherwise its visibility is left as it is.
  virtual bool openWorkbook(const std::string& path, bool makeVisible) = 0;
  // True when a file exists at the path.
  virtual bool fileExists(const std::string& path) = 0;
};

}  // namespace sayolt
