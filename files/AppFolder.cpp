#include "files/AppFolder.h"

#include "sensor/Utils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {

QString overrideFolder;

QString WithSeparator(QString folder) {
  if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
    folder += QLatin1Char('/');
  return folder;
}

// Folders that only a package or an installer writes to.
QStringList SystemFolders() {
#ifdef _WIN32
  QStringList folders;
  for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
    const QString folder = qEnvironmentVariable(name);
    if (!folder.isEmpty()) folders << QDir::cleanPath(QDir::fromNativeSeparators(folder));
  }
  return folders;
#else
  return {QStringLiteral("/usr"), QStringLiteral("/opt"), QStringLiteral("/bin"),
          QStringLiteral("/sbin"), QStringLiteral("/snap")};
#endif
}

bool IsSameOrInside(const QString& path, const QString& folder) {
#ifdef _WIN32
  const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
  const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
  return path.compare(folder, cs) == 0 ||
         path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'), cs);
}

QString ChosenFolder() {
  static const QString chosen = [] {
    const QString exeDir = WithSeparator(QCoreApplication::applicationDirPath());
    const QString userDir =
        WithSeparator(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    if (IsInstalledProgramFolder(exeDir)) {
      QDir().mkpath(userDir);
      return QDir::toNativeSeparators(userDir);
    }
    return QString::fromStdString(ChooseDataDir(QDir::toNativeSeparators(exeDir).toStdString(),
                                                QDir::toNativeSeparators(userDir).toStdString()));
  }();
  return chosen;
}

} // namespace

bool IsInstalledProgramFolder(const QString& exeDir) {
  const QString dir = QDir::cleanPath(QDir::fromNativeSeparators(exeDir));
  for (const QString& system : SystemFolders())
    if (IsSameOrInside(dir, system)) return true;
  const QFileInfo info(dir);
  return info.fileName().compare(QLatin1String("bin"), Qt::CaseInsensitive) == 0 &&
         QFileInfo::exists(dir + QStringLiteral("/../share/metainfo/") +
                           QLatin1String(kAppStreamId) + QStringLiteral(".metainfo.xml"));
}

QString AppDataFolder() {
  return overrideFolder.isEmpty() ? ChosenFolder() : overrideFolder;
}

QString SettingsFilePath() { return AppDataFolder() + QStringLiteral("Quillora.ini"); }

void SetAppDataFolder(const QString& folder) {
  overrideFolder = folder.isEmpty() ? QString() : WithSeparator(folder);
}
