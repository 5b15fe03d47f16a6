#pragma once

// The instrument model: one reading record per measurement, the amplified
// difference of sensor value and level swung through the needle spring and
// clamped to the scale.

#include "sensor/InstData.h"
#include "sensor/Probe.h"

class TInstDataRecorder;

class TInstrument {
public:
  // Neither is owned; recorder may be null.
  TInstrument(TProbe& probe, TInstDataRecorder* recorder);
  virtual ~TInstrument();

  // Clamped to 1..1000; not a number gives 1.
  virtual void SetGain(double gain);
  // One measurement into the record, handed to the recorder. False when the
  // probe's measurement failed.
  virtual bool Measure();

  double Minimum = 0.0;
  double Maximum = 0.0;
  double Offset = 0.0;
  double Step = 0.0;

  const TInstData& Data() const { return data_; }
  double Gain() const { return data_.Gain; }
  TProbe& Probe() { return probe_; }
  TSignalChannel& NeedleChannel() { return needleChannel_; }
  TInstDataRecorder* Recorder() { return recorder_; }
  // While off, measurements are not handed to the recorder (readings taken
  // between sessions).
  void SetRecording(bool on) { recording_ = on; }

private:
  bool recording_ = true;
  TProbe& probe_;
  TSignalChannel needleChannel_;
  TInstDataRecorder* recorder_;
  TInstData data_;
};

// The instrument of this system: scale -100..+100, offset 0, step 10.
class TGaugePM100 : public TInstrument {
public:
  TGaugePM100(TProbe& probe, TInstDataRecorder* recorder);
};
