#include "files/AppFolder.h"

#include "sensor/Utils.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {

QString overrideFolder;

QString WithSeparator(QString folder) {
  if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
    folder += QLatin1Char('/');
  return folder;
}

QString ChosenFolder() {
  static const QString chosen = [] {
    const QString exeDir = WithSeparator(QCoreApplication::applicationDirPath());
    const QString userDir =
        WithSeparator(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    return QString::fromStdString(ChooseDataDir(QDir::toNativeSeparators(exeDir).toStdString(),
                                                QDir::toNativeSeparators(userDir).toStdString()));
  }();
  return chosen;
}

} // namespace

QString AppDataFolder() {
  return overrideFolder.isEmpty() ? ChosenFolder() : overrideFolder;
}

QString SettingsFilePath() { return AppDataFolder() + QStringLiteral("Quillora.ini"); }

void SetAppDataFolder(const QString& folder) {
  overrideFolder = folder.isEmpty() ? QString() : WithSeparator(folder);
}
