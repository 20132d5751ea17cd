#include "platform/linux/workbook_viewer_linux.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <fstream>
#include <system_error>

#include "platform/office_lock_file.h"

namespace sayolt {

namespace {

std::string hostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

bool startDetached(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setStandardInputFile(QProcess::nullDevice());
  return process.startDetached();
}

// LibreOffice resolves links and keeps its lock beside the real file, so the probe and the viewer
// both take the file a link points to (the packaged programs' folder links into the state folder).
std::filesystem::path resolved(const std::filesystem::path& file) {
  std::error_code error;
  auto real = std::filesystem::weakly_canonical(file, error);
  return error ? file : real;
}

}  // namespace

bool officeRunningFor(const std::string& osUser) {
  uid_t uid = ::getuid();
  if (!osUser.empty()) {
    const passwd* entry = ::getpwnam(osUser.c_str());
    if (!entry) return false;
    uid = entry->pw_uid;
  }
  std::error_code error;
  for (const auto& process : std::filesystem::directory_iterator("/proc", error)) {
    const std::string pid = process.path().filename().string();
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    struct stat st {};
    if (::stat(process.path().c_str(), &st) != 0 || st.st_uid != uid) continue;
    std::ifstream comm(process.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == "soffice.bin") return true;
  }
  return false;
}

LinuxWorkbookViewer::LinuxWorkbookViewer(OfficeRunning officeRunning)
    : officeRunning_(officeRunning ? std::move(officeRunning) : OfficeRunning(officeRunningFor)) {}

bool LinuxWorkbookViewer::isInUse(const std::filesystem::path& file) {
  const auto found = readOfficeLock(resolved(file));
  if (!found) return false;
  const std::optional<OfficeLock>& lock = found->lock;
  // An unreadable lock is judged by this machine's LibreOffice alone.
  if (lock && !lock->host.empty() && lock->host != hostName()) return true;
  if (officeRunning_(lock ? lock->osUser : std::string())) return true;
  // Left by a LibreOffice that crashed: it would otherwise block the file for good.
  std::error_code error;
  std::filesystem::remove(found->path, error);
  return false;
}

bool LinuxWorkbookViewer::show(const std::filesystem::path& file) {
  const QString path = QString::fromStdString(resolved(file).string());
  const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
  if (!soffice.isEmpty() && startDetached(soffice, {QStringLiteral("--calc"), QStringLiteral("--nologo"),
                                                    QStringLiteral("--norestore"), path}))
    return true;
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  return !opener.isEmpty() && startDetached(opener, {path});
}

std::unique_ptr<WorkbookViewer> createWorkbookViewer() { return std::make_unique<LinuxWorkbookViewer>(); }

}  // namespace sayolt
