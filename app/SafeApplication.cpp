#include "SafeApplication.h"

#include "seams/UserDialogs.h"

TSafeApplication::TSafeApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // Names the user's own folder for settings and recording where the
  // executable's folder cannot be written (~/.config/Quillora and so on).
  setApplicationName(QStringLiteral("Quillora"));
}

bool TSafeApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ShowCurrentException();
  }
  return false;
}

QString TSafeApplication::CurrentExceptionText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  } catch (...) {
    return QString();
  }
}

void TSafeApplication::ShowCurrentException() {
  Dialogs().Error(activeWindow(), CurrentExceptionText());
}
