#pragma once
// The program's model below the windows: the options in force and the
// settings file's state. It is made before the windows and outlives them;
// the windows reach what they share through it, never through each other's
// controls.

#include <QObject>

#include "OptionsModel.h"

class TSessionModel : public QObject {
  Q_OBJECT
public:
  // The first model made becomes SessionModel until it is destroyed.
  explicit TSessionModel(QObject* parent = nullptr);
  ~TSessionModel() override;

  TOptionsModel& Options() { return options_; }
  const TOptionsModel& Options() const { return options_; }

  // The settings file existed at start but could not be read (too large,
  // no permission, not a regular file): the program runs on its defaults
  // and writes nothing of them into that file at exit.
  bool SettingsFileUnread() const { return settingsFileUnread_; }
  void SetSettingsFileUnread(bool unread) { settingsFileUnread_ = unread; }

private:
  TOptionsModel options_;
  bool settingsFileUnread_ = false;
};

// The model of this run; nullptr while there is none.
extern TSessionModel* SessionModel;
