#include "app/AboutBox.h"

#include <QApplication>
#include <QMessageBox>

#include "app/ProgramInfo.h"

#ifdef QUILLORA_PULSE_CAPTURE
#include <pulse/version.h>
#endif
#ifdef QUILLORA_ABOUT_ESPEAK
#include <espeak-ng/speak_lib.h>
#endif

QList<TLibraryInfo> UsedLibraries() {
  QList<TLibraryInfo> libs;
  libs.append(
      {QStringLiteral("Qt"), QString::fromLatin1(qVersion()), QStringLiteral("LGPL-3.0-only")});
#ifdef QUILLORA_PULSE_CAPTURE
  libs.append({QStringLiteral("libpulse"), QString::fromLatin1(pa_get_library_version()),
               QStringLiteral("LGPL-2.1-or-later")});
#endif
#ifdef QUILLORA_ABOUT_ESPEAK
  // espeak_Info needs no initialised engine: it hands out a constant.
  libs.append({QStringLiteral("espeak-ng"), QString::fromLatin1(espeak_Info(nullptr)),
               QStringLiteral("GPL-3.0-or-later")});
#endif
#ifdef Q_OS_WIN
  libs.append({QStringLiteral("Windows waveIn, SAPI"), QString(), QStringLiteral("—")});
#endif
  return libs;
}

QString AboutText() {
  QString libs;
  for (const TLibraryInfo& lib : UsedLibraries()) {
    libs += QStringLiteral("<li>%1%2 (%3)</li>")
                .arg(lib.Name.toHtmlEscaped(),
                     lib.Version.isEmpty() ? QString()
                                           : QStringLiteral(" ") + lib.Version.toHtmlEscaped(),
                     lib.Licence);
  }
  return QStringLiteral(
             "<p><b>Quillora %1</b><br>Набор текста по реакциям датчика.</p>"
             "<p>© 2026 разработчики Quillora.<br>"
             "Лицензия: GNU GPL версии 3 или более поздней (%2), "
             "<a href=\"%3\">%3</a>.<br>"
             "Программа распространяется без каких-либо гарантий.</p>"
             "<p>Библиотеки:</p><ul>%4</ul>"
             "<p>Модель букв для подсказки построена по сборнику fortunes-ru "
             "(GPL-2.0-or-later).</p>")
      .arg(ProgramVersion(), LicenceId(), LicenceUrl(), libs);
}

void ShowAboutBox(QWidget* parent) {
  const QString name = QString::fromLatin1(kAboutBoxName);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name && w->isVisible()) {
      w->raise();
      w->activateWindow();
      return;
    }
  }
  auto* box = new QMessageBox(parent);
  box->setObjectName(name);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->setWindowTitle(QStringLiteral("О программе"));
  box->setTextFormat(Qt::RichText);
  box->setText(AboutText());
  box->setTextInteractionFlags(Qt::TextBrowserInteraction);
  const QIcon icon = QApplication::windowIcon();
  if (!icon.isNull()) box->setIconPixmap(icon.pixmap(64, 64));
  box->setStandardButtons(QMessageBox::Ok);
  box->show();
}
