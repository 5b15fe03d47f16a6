#pragma once
// The calibration assistant's dialog: it shows a calibration run (the
// operator rests for a few seconds, then reacts three times when asked; the
// sensor is read every 40 ms, only outside a session) and the proposal with
// the numbers measured. Nothing is applied here: the instrument panel
// applies an accepted proposal.

#include <QDialog>
#include <memory>

#include "seams/QtTickTimer.h"
#include "session/CalibrationRun.h"

class QLabel;
class QPushButton;
class TSensor;

class TCalibrationDialog : public QDialog {
  Q_OBJECT
public:
  // The sensor is not owned; it must not be used by a session meanwhile.
  TCalibrationDialog(TSensor& sensor, const TCalibrationChain& chain, QWidget* parent = nullptr);
  ~TCalibrationDialog() override;

  // Makes the run's timer (named "CalibrationTimer"); an empty factory
  // restores the default, a precise one-shot QTimer.
  static void SetTickTimerFactory(TTickTimerFactory factory);

  // The run's timer, made before the run; its ticks are the run's Tick().
  const std::unique_ptr<TTickTimer> PollTimer;
  TCalibrationRun& Run() { return run_; }
  // The proposal the user took: the better level mode ("Применить") or the
  // other one (BApplyOther); before either, the better one.
  const TCalibrationProposal& Proposal() const { return chosen_; }

  QLabel* LStep = nullptr;
  QLabel* LResult = nullptr;
  QPushButton* BBegin = nullptr;
  QPushButton* BApply = nullptr;
  // Applies the other level mode's proposal; shown when it works too.
  QPushButton* BApplyOther = nullptr;
  QPushButton* BCancel = nullptr;

  // The result as shown to the user.
  static QString ResultText(const TCalibrationProposal& p);

protected:
  void reject() override;

private:
  // Shows the run's step, result and what can be done now; a new step's
  // prompt is spoken when speech is on.
  void ShowRun();
  void Say(const QString& prompt);

  TCalibrationRun run_;
  TCalibrationProposal chosen_;
  TCalibrationStep shown_;
};
