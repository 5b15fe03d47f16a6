#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallQtTranslations(QCoreApplication& app, const QLocale& locale) {
  const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                             QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
  auto* translator = new QTranslator(&app);
  // Debian ships "qtbase_ru.qm"; windeployqt merges Qt's catalogues into
  // "qt_ru.qm".
  for (const QString& folder : folders) {
    for (const QString& name : {QStringLiteral("qtbase"), QStringLiteral("qt")})
      if (translator->load(locale, name, QStringLiteral("_"), folder))
        return QCoreApplication::installTranslator(translator);
  }
  delete translator;
  return false;
}
