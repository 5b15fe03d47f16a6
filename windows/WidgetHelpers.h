#pragma once
// Small helpers the windows use while building their widgets.

#include <QFont>
#include <QString>

// Gives widget its component name (objectName) and returns it.
template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// font in bold.
inline QFont Bold(QFont font) {
  font.setBold(true);
  return font;
}
