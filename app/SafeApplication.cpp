#include "SafeApplication.h"

#include "seams/UserDialogs.h"

#include <QStringDecoder>

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
    // The program's own messages are UTF-8 (its sources are); a message of
    // the system's in its ANSI code page is not valid UTF-8. Windows' local
    // 8-bit encoding is that code page, never UTF-8.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(QByteArray(e.what()));
    return utf8.hasError() ? QString::fromLocal8Bit(e.what()) : text;
  } catch (...) {
    return QString();
  }
}

void TSafeApplication::ShowCurrentException() {
  Dialogs().Error(activeWindow(), CurrentExceptionText());
}
