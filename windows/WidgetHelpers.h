#pragma once
// Small helpers the windows use while building their widgets.

#include <QFont>
#include <QPushButton>
#include <QString>

// Gives widget its component name (objectName) and returns it.
template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// The windows' font: 8 points of the classic dialog face "MS Sans Serif", or
// the first face of the same metrics that the system has.
inline QFont WindowFont() {
  QFont f;
  f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                 QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  f.setStyleHint(QFont::SansSerif);
  f.setPointSize(8);
  return f;
}

// font in bold.
inline QFont Bold(QFont font) {
  font.setBold(true);
  return font;
}

// A square 25 × 25 button with a hint, reached by Tab as the classic tool
// buttons were.
inline QPushButton* SquareButton(QWidget* parent, const char* name, const QString& text,
                                 const QString& hint) {
  auto* b = Named(new QPushButton(text, parent), name);
  b->setFixedSize(25, 25);
  b->setToolTip(hint);
  b->setFocusPolicy(Qt::TabFocus);
  return b;
}
