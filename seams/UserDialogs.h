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

// The dialogs in force: the Qt ones unless a test installed its own.
TUserDialogs& Dialogs();
// Installs dialogs (not owned); nullptr restores the Qt ones.
void SetDialogs(TUserDialogs* dialogs);
