#include "platform/linux/processes_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <cerrno>
#include <csignal>
#include <optional>
#include <vector>

#include "platform/linux/desktop_entry_linux.h"
#include "platform/linux/show_desktop_linux.h"

namespace sayolt {

namespace {

constexpr int kGraceMs = 2000;
constexpr int kKillWaitMs = 1000;

QString q(const std::string& s) { return QString::fromStdString(s); }

// Straight system calls: the glibc wrappers are missing or unusable from C++ on some releases.
int openPidfd(pid_t pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0u)); }

int sendSignal(int pidfd, int sig) {
  return static_cast<int>(::syscall(SYS_pidfd_send_signal, pidfd, sig, nullptr, 0u));
}

// True once the process behind the pidfd has ended; sleeps in poll, never spins.
bool waitForExit(int pidfd, int timeoutMs) {
  pollfd p{pidfd, POLLIN, 0};
  for (;;) {
    const int r = ::poll(&p, 1, timeoutMs);
    if (r > 0) return true;
    if (r == 0) return false;
    if (errno != EINTR) return false;
  }
}

// Sends sig; true when the process is already gone.
bool signalGone(int pidfd, int sig) { return sendSignal(pidfd, sig) != 0 && errno == ESRCH; }

std::optional<std::string> runCommandOutput(const QString& program, const QStringList& args) {
  QProcess p;
  p.setStandardInputFile(QProcess::nullDevice());
  p.setProcessChannelMode(QProcess::SeparateChannels);
  p.start(program, args);
  if (!p.waitForStarted(5000) || !p.waitForFinished(10000)) {
    p.kill();
    p.waitForFinished(1000);
    return std::nullopt;
  }
  if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return std::nullopt;
  return p.readAllStandardOutput().trimmed().toStdString();
}

// Runs the program in the foreground: returns when it has ended. False when it did not start.
bool runAndWait(const std::vector<std::string>& args, const std::string& workingDirectory, int* exitCode = nullptr) {
  QProcess p;
  p.setProgram(q(args.front()));
  QStringList rest;
  for (std::size_t i = 1; i < args.size(); ++i) rest << q(args[i]);
  p.setArguments(rest);
  if (!workingDirectory.empty()) p.setWorkingDirectory(q(workingDirectory));
  p.setStandardInputFile(QProcess::nullDevice());
  // Its output goes where ours goes instead of filling a pipe nobody empties.
  p.setProcessChannelMode(QProcess::ForwardedChannels);
  p.start();
  if (!p.waitForStarted(-1)) return false;
  p.waitForFinished(-1);
  if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  return true;
}

// Started without waiting; the program held through a pidfd. nullptr when it did not start.
std::unique_ptr<RunningProcess> startWatched(const std::vector<std::string>& args,
                                             const std::string& workingDirectory) {
  QProcess process;
  process.setProgram(q(args.front()));
  QStringList rest;
  for (std::size_t i = 1; i < args.size(); ++i) rest << q(args[i]);
  process.setArguments(rest);
  if (!workingDirectory.empty()) process.setWorkingDirectory(q(workingDirectory));
  process.setStandardInputFile(QProcess::nullDevice());
  qint64 pid = 0;
  if (!process.startDetached(&pid) || pid <= 0) return nullptr;
  return std::make_unique<LinuxRunningProcess>(pid, openPidfd(static_cast<pid_t>(pid)));
}

// A program's file starts like one: an ELF image or a script's "#!". On vfat, NTFS and SMB mounts
// every file carries the execute bit, documents included.
bool startsLikeAProgram(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char head[4] = {};
  const ssize_t n = ::read(fd, head, sizeof head);
  ::close(fd);
  if (n >= 4 && head[0] == '\x7F' && head[1] == 'E' && head[2] == 'L' && head[3] == 'F') return true;
  return n >= 2 && head[0] == '#' && head[1] == '!';
}

std::vector<std::string> applicationFolders() {
  std::vector<std::string> folders;
  for (const QString& f : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
    folders.push_back(f.toStdString());
  }
  return folders;
}

// The default application's command line for the document, from the desktop's associations.
std::optional<std::vector<std::string>> defaultCommandFor(const std::string& path, std::string* workingDirectory) {
  const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (xdgMime.isEmpty()) return std::nullopt;
  const QMimeType type = QMimeDatabase().mimeTypeForFile(q(path));
  QStringList names{type.name()};
  names << type.allAncestors();
  const std::vector<std::string> folders = applicationFolders();
  for (const QString& name : names) {
    const auto id = runCommandOutput(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), name});
    if (!id || id->empty()) continue;
    const std::string file = findDesktopFile(id->substr(0, id->find(';')), folders);
    if (file.empty()) continue;
    const auto entry = readDesktopEntry(file);
    // A terminal program would need a terminal; leave those to xdg-open.
    if (!entry || entry->hidden || entry->terminal || entry->exec.empty()) continue;
    if (!entry->tryExec.empty() && QStandardPaths::findExecutable(q(entry->tryExec)).isEmpty() &&
        ::access(entry->tryExec.c_str(), X_OK) != 0) {
      continue;
    }
    auto args = expandDesktopExec(*entry, path);
    if (!args) continue;
    *workingDirectory = entry->workingDirectory;
    return args;
  }
  return std::nullopt;
}

}  // namespace

LinuxRunningProcess::LinuxRunningProcess(std::int64_t pid, int pidfd) : pid_(pid), pidfd_(pidfd) {}

LinuxRunningProcess::~LinuxRunningProcess() {
  if (pidfd_ >= 0) ::close(pidfd_);
}

bool LinuxRunningProcess::hasEnded() {
  if (terminated_ || pidfd_ < 0) return true;
  pollfd p{pidfd_, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0;
}

bool LinuxRunningProcess::terminate() {
  if (terminated_) return false;
  terminated_ = true;
  if (pidfd_ < 0) return true;
  bool ended = signalGone(pidfd_, SIGTERM) || waitForExit(pidfd_, kGraceMs);
  if (!ended) ended = signalGone(pidfd_, SIGKILL) || waitForExit(pidfd_, kKillWaitMs);
  ::close(pidfd_);
  pidfd_ = -1;
  return ended;
}

std::unique_ptr<RunningProcess> LinuxProcesses::startExecutable(const std::string& path) {
  if (!isExecutableFile(path)) return nullptr;
  QProcess process;
  process.setProgram(q(path));
  process.setStandardInputFile(QProcess::nullDevice());
  qint64 pid = 0;
  if (!process.startDetached(&pid) || pid <= 0) return nullptr;
  // Taken at once: the number alone could name another process after this one ended.
  const int pidfd = openPidfd(static_cast<pid_t>(pid));
  return std::make_unique<LinuxRunningProcess>(pid, pidfd);
}

bool LinuxProcesses::isExecutableFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0 &&
         startsLikeAProgram(path);
}

OpenedDocument LinuxProcesses::openDocument(const std::string& path) {
  if (!fileExists(path)) return {};
  showDesktop();
  std::string workingDirectory;
  if (const auto args = defaultCommandFor(path, &workingDirectory)) {
    if (auto program = startWatched(*args, workingDirectory)) return {true, std::move(program)};
  }
  // xdg-open hands the file on and may end at once; watching it is the best there is.
  const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (xdgOpen.isEmpty()) return {};
  auto program = startWatched({xdgOpen.toStdString(), path}, {});
  if (!program) return {};
  return {true, std::move(program)};
}

bool LinuxProcesses::isFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool LinuxProcesses::openWithDesktop(const std::string& target) {
  if (target.empty()) return false;
  const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (!xdgOpen.isEmpty()) return QProcess::startDetached(xdgOpen, {q(target)});
  const QUrl url = isFolder(target) ? QUrl::fromLocalFile(q(target)) : QUrl(q(target));
  return QDesktopServices::openUrl(url);
}

bool LinuxProcesses::openDocumentAndWait(const std::string& path) {
  if (!fileExists(path)) return false;
  showDesktop();
  std::string workingDirectory;
  if (const auto args = defaultCommandFor(path, &workingDirectory)) {
    if (runAndWait(*args, workingDirectory)) return true;
  }
  // xdg-open waits for the program only where no desktop hands the file on; best we can do.
  const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (xdgOpen.isEmpty()) return false;
  int exitCode = -1;
  return runAndWait({xdgOpen.toStdString(), path}, {}, &exitCode) && exitCode == 0;
}

bool LinuxProcesses::openWorkbook(const std::string& path, bool /*makeVisible*/) {
  // A newly opened window is shown anyway; there is no hidden instance to bring up.
  if (!fileExists(path)) return false;
  const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
  if (!soffice.isEmpty()) {
    QProcess process;
    process.setProgram(soffice);
    process.setArguments(
        {QStringLiteral("--calc"), QStringLiteral("--nologo"), QStringLiteral("--norestore"), q(path)});
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached()) return true;
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(q(path)));
}

bool LinuxProcesses::fileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace sayolt
