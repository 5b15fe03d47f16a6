#include "ChainOptions.h"

#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "sensor/Utils.h"

namespace {

double DecimalOr(const QString& text, double def) {
  double v = def;
  return ParseDecimal(text.toStdString(), v) ? v : def;
}

}  // namespace

int DepthOf(const QString& text) {
  int v = 1;
  return ParseInteger(text.toStdString(), v) ? v : 1;
}

double SpringDampingOf(const TNeedleOptions& needle) {
  return DecimalOr(needle.SpringDump, DefaultSpringDamping);
}

double SpringTimeStepOf(const TNeedleOptions& needle) {
  return DecimalOr(needle.SpringSpeed, DefaultSpringTimeStep);
}

double GainOf(const QString& text) {
  const double v = DecimalOr(text, 1.0);
  return v < 1 ? 1 : v > 1000 ? 1000 : v;
}

void ApplyDataDepth(const TSignalOptions& signal, TProbe& probe) {
  probe.DataChannel().SetDepth(DepthOf(signal.DataAccDepth));
}

void ApplyLevelDepth(const TSignalOptions& signal, TProbe& probe) {
  probe.LevelChannel().SetDepth(DepthOf(signal.LevelAccDepth));
}

void ApplyInvert(const TSignalOptions& signal, TAudioSensor_OneRun& sensor) {
  sensor.Invert = signal.InvertSensorData;
}

void ApplySignalOptions(const TSignalOptions& signal, TProbe& probe, TAudioSensor_OneRun& sensor) {
  ApplyDataDepth(signal, probe);
  ApplyLevelDepth(signal, probe);
  ApplyInvert(signal, sensor);
}

void ApplySpringDamping(const TNeedleOptions& needle, TSignalChannel& channel) {
  channel.SpringEnabled = false;
  channel.Damping = SpringDampingOf(needle);
  channel.SpringEnabled = needle.SpringEnabled;
}

void ApplySpringTimeStep(const TNeedleOptions& needle, TSignalChannel& channel) {
  channel.SpringEnabled = false;
  channel.TimeStep = SpringTimeStepOf(needle);
  channel.SpringEnabled = needle.SpringEnabled;
}

void ApplySpringEnabled(const TNeedleOptions& needle, TSignalChannel& channel) {
  channel.SpringEnabled = needle.SpringEnabled;
}

void ApplyGain(const TNeedleOptions& needle, TInstrument& model) { model.SetGain(GainOf(needle.Gain)); }

void ApplyNeedleOptions(const TNeedleOptions& needle, TInstrument& model) {
  ApplySpringDamping(needle, model.NeedleChannel());
  ApplySpringTimeStep(needle, model.NeedleChannel());
  ApplyGain(needle, model);
}

void ApplyNoSensor(const TSessionOptions& session, TAudioSensor_OneRun& sensor) {
  sensor.NoSensor = session.NoSensorMode;
}

void ApplyCaptureDevice(const TCaptureOptions& capture, TAudioSensor_OneRun& sensor) {
  sensor.Device().SelectInput(capture.Device.toStdString());
}
