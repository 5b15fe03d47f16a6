#pragma once
// The places where the program asks the user something: message boxes,
// confirmation boxes and file dialogs. Windows call Dialogs(); tests install
// a scripted implementation with SetDialogs() so that nothing waits for a person.

#include <QString>
#include <QStringList>

class QWidget;

struct TFileDialogRequest {
  QString Title;
  QString InitialDir;       // empty: the dialog returns to the last folder used
  QString FileName;         // proposed file name
  QString DefaultExtension; // without the dot, e.g. "ini"
  QStringList Filters;      // Qt filter strings, e.g. "INI Files (*.ini)"
  bool FileMustExist = false;
  bool PathMustExist = false;
  bool NoReadOnly = false;  // refuse read-only files on save
  bool OverwritePrompt = false;
};

class TUserDialogs {
public:
  virtual ~TUserDialogs() = default;
  // Plain message box with an OK button.
  virtual void Message(QWidget* parent, const QString& text) = 0;
  // Confirmation box with Yes and No; true only for Yes.
  virtual bool Confirm(QWidget* parent, const QString& text) = 0;
  // Error box (exceptions and write failures).
  virtual void Error(QWidget* parent, const QString& text) = 0;
  // File dialogs; an empty result means the user cancelled.
  virtual QString OpenFile(QWidget* parent, const TFileDialogRequest& request) = 0;
  virtual QString SaveFile(QWidget* parent, const TFileDialogRequest& request) = 0;
};

// The dialogs in force: the Qt ones unless a test installed its own. The
// texts of messages and questions pass through ElidedText() first.
TUserDialogs& Dialogs();
// Installs dialogs (not owned); nullptr restores the Qt ones.
void SetDialogs(TUserDialogs* dialogs);

// Names (of files, devices) longer than this many characters are shown with
// their middle cut out, so that no message or notice grows as wide as the
// screen; the start and the end (a file's own name) stay.
constexpr int MaxShownNameLength = 80;
// A line of a message longer than this is cut in the middle as well: a long
// name with blanks in it would wrap into a box taller than the screen.
constexpr int MaxShownLineLength = 400;

// name, or its first and last characters around "…" when it is longer than
// maxLength characters (a character outside the BMP is never split).
QString ElidedName(const QString& name, int maxLength = MaxShownNameLength);
// text with every run of non-blank characters longer than
// MaxShownNameLength, then every line longer than MaxShownLineLength,
// elided with ElidedName().
QString ElidedText(const QString& text);
