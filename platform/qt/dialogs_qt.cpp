#include "platform/qt/dialogs_qt.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace sayolt {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void QtDialogs::messageOk(const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, q(title), q(text), QMessageBox::Ok);
  box.exec();
}

MessageAnswer QtDialogs::askYesNo(const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, q(title), q(text), QMessageBox::Yes | QMessageBox::No);
  // Yes first and preselected, as the Windows Yes/No box has it.
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void QtDialogs::notice(const std::string& title, const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::NoIcon, q(title), q(text), QMessageBox::Ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

std::string QtDialogs::openFileName(const std::string& title, const std::string& startFolder,
                                    const std::string& filter) {
  const QString chosen = QFileDialog::getOpenFileName(nullptr, q(title), q(startFolder), q(qtFileFilter(filter)));
  if (chosen.isEmpty()) return {};
  // Paths are kept the way the OS writes them (backslashes on Windows).
  return QDir::toNativeSeparators(chosen).toStdString();
}

std::string qtFileFilter(const std::string& filter) {
  const QStringList parts = q(filter).split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString pattern = p.trimmed();
      if (!pattern.isEmpty()) patterns << pattern;
    }
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    // Qt reads the patterns from the last parentheses, so the description may carry its own.
    entries << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
  }
  if (entries.isEmpty()) return "(*)";
  return entries.join(QStringLiteral(";;")).toStdString();
}

}  // namespace sayolt
