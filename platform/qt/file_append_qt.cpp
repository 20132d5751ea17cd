#include "platform/qt/file_append_qt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sayolt {

namespace {

QString q(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

class QtFileAppend : public FileAppend {
 public:
  bool append(const std::filesystem::path& file, std::string_view bytes) override {
    QFile f(q(file));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const qint64 before = f.size();
    const auto size = static_cast<qint64>(bytes.size());
    if (f.write(bytes.data(), size) == size && f.flush()) return true;
    // A full disk may have taken part of the line; the lines before it stay whole.
    f.resize(before);
    return false;
  }

  std::optional<std::uintmax_t> size(const std::filesystem::path& file) override {
    const QFileInfo info(q(file));
    if (!info.exists() || !info.isFile()) return std::nullopt;
    return static_cast<std::uintmax_t>(info.size());
  }

  std::optional<std::string> read(const std::filesystem::path& file) override {
    QFile f(q(file));
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = f.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  }

  bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to) override {
    QFile::remove(q(to));
    return QFile::rename(q(from), q(to));
  }

  std::filesystem::path userStateFolder(const std::string& programName) override {
    // %LOCALAPPDATA% exists only on Windows; XDG_STATE_HOME and ~/.local/state are its Linux peers.
    QString base = qEnvironmentVariable("LOCALAPPDATA");
    if (base.isEmpty()) base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() && !QDir::homePath().isEmpty() && QDir::homePath() != QDir::rootPath())
      base = QDir::homePath() + QStringLiteral("/.local/state");
    if (base.isEmpty()) return {};
    const QString folder = base + QLatin1Char('/') + QString::fromStdString(programName);
    if (!QDir().mkpath(folder)) return {};
    return std::filesystem::path(folder.toStdU16String());
  }
};

}  // namespace

std::unique_ptr<FileAppend> createQtFileAppend() { return std::make_unique<QtFileAppend>(); }

}  // namespace sayolt
