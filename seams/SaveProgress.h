#pragma once
// Progress of a long save, which the user can cancel. The window uses
// SaveProgress(); tests install a scripted one with SetSaveProgress() so that
// nothing waits for a person.

class QWidget;

class TSaveProgress {
public:
  virtual ~TSaveProgress() = default;
  // A save of total steps begins.
  virtual void Begin(QWidget* parent, int total) = 0;
  // done steps are finished; lets the program handle pending events. False
  // when the user asked to stop.
  virtual bool Advance(int done) = 0;
  // The save is over (finished, failed or cancelled).
  virtual void End() = 0;
};

// The progress in force: a Qt progress dialog unless a test installed another.
TSaveProgress& SaveProgress();
// Installs a progress (not owned); nullptr restores the Qt one.
void SetSaveProgress(TSaveProgress* progress);
