#pragma once
// The calibration assistant's dialog: the operator rests for a few seconds,
// then reacts three times when asked; the sensor is read every 40 ms on the
// dialog's own timer (only outside a session), and the proposal is shown
// with the numbers measured. Nothing is applied here: the instrument panel
// applies an accepted proposal.

#include <QDialog>
#include <memory>

#include "session/Calibration.h"

class QLabel;
class QPushButton;
class QTimer;
class TSensor;

class TCalibrationDialog : public QDialog {
  Q_OBJECT
public:
  // Polls at rest, and per reaction.
  static constexpr int RestPolls = 100;
  static constexpr int ReactionPolls = 75;
  static constexpr int ReactionCount = 3;

  // The sensor is not owned; it must not be used by a session meanwhile.
  TCalibrationDialog(TSensor& sensor, const TCalibrationChain& chain, QWidget* parent = nullptr);
  ~TCalibrationDialog() override;

  // Starts capturing and polling; without runTimer the caller calls Tick().
  void Begin(bool runTimer = true);
  // One poll: a reading, the next step when one is complete.
  void Tick();
  bool Measuring() const { return measuring_; }
  const TCalibrationRecording& Recording() const { return recording_; }
  const TCalibrationProposal& Proposal() const { return proposal_; }

  QLabel* LStep = nullptr;
  QLabel* LResult = nullptr;
  QPushButton* BBegin = nullptr;
  QPushButton* BApply = nullptr;
  QPushButton* BCancel = nullptr;
  QTimer* PollTimer = nullptr;

  // The result as shown to the user.
  static QString ResultText(const TCalibrationProposal& p);

protected:
  void reject() override;

private:
  void Finish();
  void StopCapture();
  void ShowStep();

  TSensor& sensor_;
  TCalibrationChain chain_;
  TCalibrationRecording recording_;
  TCalibrationProposal proposal_;
  bool measuring_ = false;
};
