#pragma once
// Remembers the bounds a window writes to the settings file at exit.
//
// Before every change of the window's size the bounds it had until then are
// recorded, but only while its left or top edge is greater than 0 (a
// maximised window sits at 0,0 or beyond and must not overwrite the normal
// bounds). Moving without resizing records nothing. Maximising is a change
// of size too: it records the normal bounds the window had just before. Left and top are the
// outer (frame) position, width and height the client size, so that a
// window restored from the file gets exactly the size it had.

#include <QObject>

class QWidget;

struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool operator==(const TBounds& o) const {
    return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
  }
};

class TWindowBounds : public QObject {
  Q_OBJECT
public:
  explicit TWindowBounds(QWidget* window);

  // The bounds to be written at exit.
  TBounds Saved;

  // The window's bounds now.
  TBounds Current() const;

  // Gives the window the bounds b (read from the settings file) and makes
  // them the saved bounds. Bounds wholly outside every screen (a monitor
  // that is gone) are moved onto the primary screen instead.
  void Place(const TBounds& b);

  // The rule applied before a resize, given the size the window had until now.
  void BeforeResize(int oldWidth, int oldHeight);

  // Where bounds b end up on the available screens.
  static TBounds OnSomeScreen(const TBounds& b);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // Records the normal bounds of a maximised window.
  void RecordNormalGeometry();

  QWidget* Window;
  bool Placing = false;
};
