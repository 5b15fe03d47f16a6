#include "BaselineWatch.h"

#include <algorithm>
#include <cmath>

#include "sensor/Probe.h"
#include "sensor/Sens.h"

TBaselineWatch::TBaselineWatch(std::function<TCalibrationOptions()> calibration,
                               std::function<const TProbe*()> probe,
                               std::function<void(const QString&)> notice)
    : calibration_(std::move(calibration)), probe_(std::move(probe)), notice_(std::move(notice)) {}

QString TBaselineWatch::NoticeText() {
  return QStringLiteral(
      "Уровень покоя датчика ушёл от калибровки: проверьте датчик или откалибруйте заново.");
}

void TBaselineWatch::SessionStarted(const TSessionEngine& engine) {
  const TCalibrationOptions calibration = calibration_();
  bool ok = false;
  rest_ = calibration.RestLevel.toDouble(&ok);
  watching_ = calibration.Accepted() && ok;
  onLevel_ = engine.OnLevel();
  started_ = false;
  away_ = 0;
}

void TBaselineWatch::ReadingTaken(const TInstData& record) {
  if (!watching_) return;
  const TProbe* probe = probe_();
  // Polls of no samples (the drum moving) are no rest, and a latched firing
  // is a reaction.
  if (!probe || !probe->Sensor().SamplesRead() || probe->LevelHeld()) return;
  baseline_ = started_ ? baseline_ + (record.Sensor - baseline_) / AverageDepth : record.Sensor;
  started_ = true;
  // The on level's distance in sensor units at the gain in force.
  const double onDistance = onLevel_ / std::max(record.Gain, 1.0);
  away_ = std::fabs(baseline_ - rest_) > onDistance / 2.0 ? away_ + 1 : 0;
  if (away_ < AwayPolls) return;
  watching_ = false;
  if (notice_) notice_(NoticeText());
}
