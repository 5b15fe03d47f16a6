#pragma once
// Watches a session's baseline against the calibration last accepted: when
// the rest's level (the sensor value of polls that read samples, while no
// firing is latched, slowly averaged) stays more than half the way to the
// on level away from the rest the calibration measured, the carer is told
// once per session. Nothing is watched before a calibration was accepted.

#include <QString>
#include <functional>

#include "Options.h"
#include "SessionEngine.h"

class TProbe;

class TBaselineWatch : public TSessionListener {
public:
  // The accepted calibration (read at each session's start), the chain's
  // probe (nullptr while there is none) and where the notice goes.
  TBaselineWatch(std::function<TCalibrationOptions()> calibration,
                 std::function<const TProbe*()> probe, std::function<void(const QString&)> notice);

  static QString NoticeText();
  // The slow average's depth, and how long it must stay away, in polls
  // that read samples.
  static constexpr int AverageDepth = 50;
  static constexpr int AwayPolls = 125;

  void SessionStarted(const TSessionEngine& engine) override;
  void ReadingTaken(const TInstData& record) override;

private:
  std::function<TCalibrationOptions()> calibration_;
  std::function<const TProbe*()> probe_;
  std::function<void(const QString&)> notice_;
  bool watching_ = false;
  double rest_ = 0.0;
  double onLevel_ = 0.0;
  bool started_ = false;  // the average has its first value
  double baseline_ = 0.0;
  int away_ = 0;
};
