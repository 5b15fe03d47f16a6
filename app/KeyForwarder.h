#pragma once
// The one place where key presses of the program's windows reach the main
// window's key handler (F9 selects in every window). Installed once on the
// application; a key the main window consumes goes no further.

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
