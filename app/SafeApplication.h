#pragma once
// The application object of the program: an exception that escapes an event
// handler is shown in a message box and the program goes on.

#include <QApplication>
#include <QString>
#include <exception>

class TSafeApplication : public QApplication {
  Q_OBJECT
public:
  TSafeApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows the exception in flight (call inside a catch block): its message,
  // or an empty message for an exception of unknown kind.
  static void ShowCurrentException();
  // The text shown for the exception in flight.
  static QString CurrentExceptionText();
};
