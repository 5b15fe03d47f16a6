#pragma once
// The "О программе" box: the version, the licence and the libraries the
// program runs with, their versions read at run time where they tell it.
// F1 in any of the program's windows opens it.

#include <QList>
#include <QString>

class QWidget;

// The box's object name.
inline constexpr const char* kAboutBoxName = "AboutBox";

struct TLibraryInfo {
  QString Name;
  QString Version;  // the running library's own; empty where it tells none
  QString Licence;  // SPDX name
};

// Qt, and on Linux libpulse and espeak-ng; on Windows the system's own
// wave input and speech.
QList<TLibraryInfo> UsedLibraries();
// The box's text (rich text).
QString AboutText();
// Shows the box over parent without blocking; a box already open is raised.
void ShowAboutBox(QWidget* parent);
