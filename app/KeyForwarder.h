#pragma once
// The one place where key presses of the program's windows reach the main
// window's key handler (F9 selects in every window). Installed once on the
// application; a key the main window consumes goes no further. F1 opens the
// About box from every window.
//
// The keys of a switch chosen in the settings window act here as well: the
// selection key during a session (always consumed then, so that Space or
// Enter neither presses a focused button nor types into the tape), the stop
// key during a session, the start key outside one.

#include <QObject>

class TKeyForwarder : public QObject {
  Q_OBJECT
public:
  explicit TKeyForwarder(QObject* parent = nullptr);

  // Installs itself as an event filter of the application.
  void Install();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
