#include "ScriptedDialogs.h"

TScriptedDialogs::TScriptedDialogs() { SetDialogs(this); }
TScriptedDialogs::~TScriptedDialogs() { SetDialogs(nullptr); }

void TScriptedDialogs::Message(QWidget*, const QString& text) { Messages << text; }
void TScriptedDialogs::Error(QWidget*, const QString& text) { Messages << text; }

bool TScriptedDialogs::Confirm(QWidget*, const QString& text) {
  Questions << text;
  if (Answers.empty()) return false;
  const bool answer = Answers.front();
  Answers.pop_front();
  return answer;
}

QString TScriptedDialogs::OpenFile(QWidget*, const TFileDialogRequest& request) {
  FileRequests << request;
  if (FileAnswers.empty()) return QString();
  const QString answer = FileAnswers.front();
  FileAnswers.pop_front();
  return answer;
}

QString TScriptedDialogs::SaveFile(QWidget* parent, const TFileDialogRequest& request) {
  return OpenFile(parent, request);
}
