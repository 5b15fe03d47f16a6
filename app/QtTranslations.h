#pragma once
// Qt's own texts (the buttons of message boxes, the file dialogs) in the
// user's language. The program's own texts are Russian already and are not
// translated.

#include <QLocale>

class QCoreApplication;

// Installs Qt's catalogue ("qtbase", or the merged "qt") for locale on app,
// looked up in Qt's translations folder and in the folder "translations"
// beside the executable (where windeployqt puts it). False when there is none for that
// language (English needs none).
bool InstallQtTranslations(QCoreApplication& app, const QLocale& locale = QLocale());
