#pragma once
// Dialogs for tests: records every message and question and answers from a
// script, so that nothing waits for a person.

#include "seams/UserDialogs.h"

#include <QStringList>
#include <deque>

class TScriptedDialogs : public TUserDialogs {
public:
  TScriptedDialogs();   // installs itself
  ~TScriptedDialogs() override; // restores the Qt dialogs

  QStringList Messages;   // texts of Message() and Error(), in order
  QStringList Questions;  // texts of Confirm(), in order
  std::deque<bool> Answers;         // answers to Confirm(); No when empty
  std::deque<QString> FileAnswers;  // results of OpenFile()/SaveFile(); cancel when empty
  QList<TFileDialogRequest> FileRequests;

  void Message(QWidget*, const QString& text) override;
  bool Confirm(QWidget*, const QString& text) override;
  void Error(QWidget*, const QString& text) override;
  QString OpenFile(QWidget*, const TFileDialogRequest& request) override;
  QString SaveFile(QWidget*, const TFileDialogRequest& request) override;
};
