#include "widgets/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace sayolt::widgets {

void installJapaneseQtTranslation() {
  static QTranslator* translator = nullptr;
  if (translator != nullptr) return;
  // Owned by the application, so it lives exactly as long as the texts it translates.
  translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
}

}  // namespace sayolt::widgets
