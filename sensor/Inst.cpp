#include "sensor/Inst.h"

#include <cmath>

#include "recording/Instrecord.h"
#include "sensor/Utils.h"

namespace {
constexpr double kMaxGain = 1000.0;
}  // namespace

TInstrument::TInstrument(TProbe& probe, TInstDataRecorder* recorder)
    : probe_(probe), needleChannel_(false), recorder_(recorder) {
  data_.Sensor = 0.0;
  data_.Level = 0.0;
  data_.Inst = 0.0;
  data_.Gain = 100.0;
  data_.Time = LocalDateTimeDays();
  data_.Tag = -1;
}

TInstrument::~TInstrument() = default;

void TInstrument::SetGain(double gain) {
  if (std::isnan(gain) || gain < 1.0)
    gain = 1.0;
  else if (gain > kMaxGain)
    gain = kMaxGain;
  data_.Gain = gain;
}

bool TInstrument::Measure() {
  const double margin = (Maximum - Minimum) * 0.05;
  data_.Time = TimeOfDayDays();
  const bool ok = probe_.Measure();
  data_.Sensor = probe_.SensorValue();
  data_.Level = probe_.Level;

  // Inputs within ±a keep the spring's output within 15·a and its velocity
  // within 6·a for every accepted time step and damping (the sums of its
  // impulse response, largest at time step 0.5 with the largest damping).
  // The sensor value minus the level stays within ±1.2 (the level dial ends
  // a little beyond the sensor's scale), below 2, so with this bound the needle
  // swings exactly as the spring does at every gain, and the bound only
  // catches inputs far beyond the scale.
  needleChannel_.SpringLimit = 16.0 * (2.0 * kMaxGain + std::fabs(Offset));
  const double x = (data_.Sensor - data_.Level) * data_.Gain + Offset;
  double inst = needleChannel_.Spring(x);
  if (!std::isfinite(inst)) inst = Offset;
  if (inst < Minimum)
    inst = Minimum;
  else if (inst > Maximum)
    inst = Maximum;
  data_.Inst = inst;

  if (probe_.LevelMode == TProbe::LevelFixed && !probe_.LevelHeld() &&
      (inst <= Minimum + margin || inst >= Maximum - margin))
    probe_.SetLevel(Offset, data_.Sensor);

  if (recorder_ && recording_) recorder_->Write(data_);
  return ok;
}

TGaugePM100::TGaugePM100(TProbe& probe, TInstDataRecorder* recorder)
    : TInstrument(probe, recorder) {
  Minimum = -100.0;
  Maximum = 100.0;
  Offset = 0.0;
  Step = 10.0;
}
