#include "app/ProgramIdentity.h"

#include <QGuiApplication>
#include <QIcon>

#include "app/ProgramInfo.h"

void ApplyProgramIdentity(QGuiApplication& app) {
  app.setApplicationVersion(ProgramVersion());
  app.setDesktopFileName(QString::fromLatin1(kDesktopId));
  // The installed icon's pictures, built in: the same icon uninstalled and
  // on Windows.
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(QLatin1String(kDesktopId)).arg(size),
                 QSize(size, size));
  app.setWindowIcon(icon);
}
