#pragma once
// A window's bounds in the settings file: read when the window is created,
// fitted to the screens, remembered, and written when it is destroyed. The
// four windows share this code; only their keys differ.
//
// Before every change of the window's size the bounds it had until then are
// recorded, but only while its left or top edge is greater than 0 (a
// maximised window sits at 0,0 or beyond and must not overwrite the normal
// bounds). Moving without resizing records nothing. Maximising is a change
// of size too: it records the normal bounds the window had just before.
// Left and top are the outer (frame) position, width and height the client
// size, so that a window restored from the file gets exactly the size it had.

#include <QObject>
#include <QString>

#include "session/StoredBounds.h"

class QWidget;

class TWindowBounds : public QObject {
  Q_OBJECT
public:
  explicit TWindowBounds(QWidget* window);

  // The bounds to be written at exit.
  TBounds Saved;
  // The window's bounds at construction, its design bounds: a stored size
  // that no screen could show falls back to this size.
  TBounds Design;

  // The window's bounds now.
  TBounds Current() const;

  // Gives the window the bounds b (read from the settings file), fitted to
  // the screens (Fitted), and makes them the saved bounds.
  void Place(const TBounds& b);

  // Reads the bounds from the settings file, a missing key keeping the
  // window's current value, and places the window there. A file without
  // any of the keys leaves the window as it is.
  void Load(const QString& settingsFile, const TBoundsKeys& keys);

  // The rule applied before a resize, given the size the window had until now.
  void BeforeResize(int oldWidth, int oldHeight);

  // Where bounds b end up on the available screens. A size of 0 or less, or
  // larger than all screens together, becomes the design size. The window
  // lands on the screen it overlaps most, or centred on the primary screen
  // when it overlaps none (a monitor that is gone); it is never larger than
  // that screen, and one that had to be made smaller is moved onto it.
  static TBounds Fitted(const TBounds& b, const TBounds& design);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // Records the normal bounds of a maximised window.
  void RecordNormalGeometry();

  QWidget* window_;
  bool placing_ = false;
};

// Failed writes of the settings file are reported with this. While a
// TOneWriteReport exists (the windows writing their parts at exit), each
// distinct message is kept and shown once when the last report ends;
// otherwise it is shown at once.
void ReportWriteFailure(QWidget* parent, const QString& message);

class TOneWriteReport {
public:
  TOneWriteReport();
  ~TOneWriteReport();
  TOneWriteReport(const TOneWriteReport&) = delete;
  TOneWriteReport& operator=(const TOneWriteReport&) = delete;
};
