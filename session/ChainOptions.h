#pragma once
// The options that act on the measurement chain at once: each typed text
// parsed as the chain takes it (a text that is not a number gives a fixed
// default) and handed to the sensor, the probe's channels or the instrument
// model. The texts themselves stay as typed in the options.

#include "Options.h"

class TAudioSensor_OneRun;
class TInstrument;
class TProbe;
class TSignalChannel;

constexpr double DefaultSpringDamping = 3.1;
constexpr double DefaultSpringTimeStep = 0.22;

// A depth text as an integer, 1 when it is not one (the channel clamps it).
int DepthOf(const QString& text);
// The spring texts as decimals (point or comma), their defaults otherwise.
double SpringDampingOf(const TNeedleOptions& needle);
double SpringTimeStepOf(const TNeedleOptions& needle);
// The gain text as a decimal, 1 when it is not one, clamped to 1..1000.
double GainOf(const QString& text);

// The probe's data and level channel depths, and the sensor's Invert flag.
void ApplyDataDepth(const TSignalOptions& signal, TProbe& probe);
void ApplyLevelDepth(const TSignalOptions& signal, TProbe& probe);
void ApplyInvert(const TSignalOptions& signal, TAudioSensor_OneRun& sensor);
void ApplySignalOptions(const TSignalOptions& signal, TProbe& probe, TAudioSensor_OneRun& sensor);

// The needle channel: a new damping or time step is set with the spring off,
// then the spring is switched to its option; position and velocity are kept.
void ApplySpringDamping(const TNeedleOptions& needle, TSignalChannel& channel);
void ApplySpringTimeStep(const TNeedleOptions& needle, TSignalChannel& channel);
void ApplySpringEnabled(const TNeedleOptions& needle, TSignalChannel& channel);
void ApplyGain(const TNeedleOptions& needle, TInstrument& model);
void ApplyNeedleOptions(const TNeedleOptions& needle, TInstrument& model);

// The sensor's NoSensor flag.
void ApplyNoSensor(const TSessionOptions& session, TAudioSensor_OneRun& sensor);
// The recording device for the sensor's next capture ("" for the default).
void ApplyCaptureDevice(const TCaptureOptions& capture, TAudioSensor_OneRun& sensor);
