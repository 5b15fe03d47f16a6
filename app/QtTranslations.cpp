#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallQtTranslations(QCoreApplication& app, const QLocale& locale) {
  const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                             QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
  auto* translator = new QTranslator(&app);
  for (const QString& folder : folders) {
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder))
      return QCoreApplication::installTranslator(translator);
  }
  delete translator;
  return false;
}
