// One cell of the switch trials: a sensor played through the virtual source,
// a setting (the design defaults, the calibration assistant's proposal from
// a run over the same sound, or one given by hand), a time per symbol, and
// an operator who wants a fixed text and reacts once per letter at a random
// point of its rest. Prints one row: what was written, missed and stray.
//
//   bench_switch --sensor hum --setting proposal --period 1 [--letters 25]
//                [--seed 7] [--gain 400 --on 30 --off 20 --mode fixed]
//                [--header]
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

#include "tests/support/SwitchTrial.h"

namespace {

const char* ModeName(uint8_t mode) {
  switch (mode) {
    case TProbe::LevelAuto:
      return "auto";
    case TProbe::LevelTracking:
      return "tracking";
    default:
      return "fixed";
  }
}

const char* ResultName(TCalibrationResult r) {
  switch (r) {
    case TCalibrationResult::Proposed:
      return "proposed";
    case TCalibrationResult::TooShort:
      return "too-short";
    default:
      return "refused";
  }
}

bool SensorNamed(const QString& name, TSensorRest& rest) {
  if (name == QLatin1String("clean"))
    rest = TSensorRest::Clean();
  else if (name == QLatin1String("hum"))
    rest = TSensorRest::HumOnly();
  else if (name == QLatin1String("drift"))
    rest = TSensorRest::HumAndDrift();
  else if (name == QLatin1String("noise"))
    rest = TSensorRest::NoiseOnly();
  else
    return false;
  return true;
}

int Usage() {
  std::fprintf(
      stderr,
      "usage: bench_switch --sensor clean|hum|drift|noise --setting defaults|proposal|hand\n"
      "                    --period SECONDS [--letters N] [--seed N]\n"
      "                    [--gain G --on ON --off OFF --mode auto|tracking|fixed] [--header]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments();
  args.removeFirst();
  QString sensorName, settingName, period = QStringLiteral("1");
  int letters = 25;
  uint32_t seed = 7;
  TSwitchSetting hand{400, 30, 20, TProbe::LevelFixed, 0.0};
  for (int i = 0; i < args.size(); ++i) {
    const QString a = args[i];
    const QString v = args.value(i + 1);
    if (a == QLatin1String("--header")) {
      std::printf(
          "| sensor | setting | s/symbol | wanted | written | missed | strays | landed | gain | on "
          "| off | mode/depth "
          "| calibration |\n|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
      return 0;
    }
    if (v.isEmpty()) return Usage();
    ++i;
    if (a == QLatin1String("--sensor"))
      sensorName = v;
    else if (a == QLatin1String("--setting"))
      settingName = v;
    else if (a == QLatin1String("--period"))
      period = v;
    else if (a == QLatin1String("--letters"))
      letters = v.toInt();
    else if (a == QLatin1String("--seed"))
      seed = v.toUInt();
    else if (a == QLatin1String("--gain"))
      hand.Gain = v.toInt();
    else if (a == QLatin1String("--on"))
      hand.OnLevel = v.toInt();
    else if (a == QLatin1String("--off"))
      hand.OffLevel = v.toInt();
    else if (a == QLatin1String("--mode"))
      hand.LevelMode = v == QLatin1String("auto")       ? TProbe::LevelAuto
                       : v == QLatin1String("tracking") ? TProbe::LevelTracking
                                                        : TProbe::LevelFixed;
    else
      return Usage();
  }
  TSensorRest rest;
  if (!SensorNamed(sensorName, rest) || letters < 1) return Usage();
  if (!std::getenv("PULSE_SERVER")) {
    std::fprintf(stderr, "no sound server: run eval \"$(scripts/pulse-start.sh)\" first\n");
    return 1;
  }

  TSwitchRig rig(rest);
  if (!rig.SoundReady()) {
    std::fprintf(stderr, "no playback stream on the sound server\n");
    return 1;
  }
  TOperator op;
  op.Seed = seed;
  TSwitchSetting setting;
  QString calibration = QStringLiteral("-");
  if (settingName == QLatin1String("defaults")) {
    setting = TSwitchSetting::Defaults();
  } else if (settingName == QLatin1String("hand")) {
    setting = hand;
    // "Фикс" clicked at rest keeps the level the rest had.
    if (setting.LevelMode == TProbe::LevelFixed) setting.RestLevel = rig.MeasureRestLevel(50);
  } else if (settingName == QLatin1String("proposal")) {
    const TCalibrationProposal p = rig.Calibrate(op, int(period.toDouble() * 1000));
    calibration = QStringLiteral("%1: rest %2 ± %3, reactions")
                      .arg(QLatin1String(ResultName(p.Result)))
                      .arg(p.RestLevel, 0, 'f', 3)
                      .arg(p.RestNoise, 0, 'f', 3);
    for (double r : p.Reactions) calibration += QStringLiteral(" %1").arg(r, 0, 'f', 3);
    calibration += QStringLiteral(", caught %1, rest firings %2").arg(p.Caught).arg(p.RestFirings);
    if (!rig.CalibrationLanded())
      calibration += QStringLiteral(" (reactions outside their windows)");
    // A refusal leaves the settings as they were: the defaults.
    setting = p.Result == TCalibrationResult::Proposed ? SettingOf(p) : TSwitchSetting::Defaults();
  } else {
    return Usage();
  }
  rig.Apply(setting);
  const int lag = rig.MeasureLagMs(op.Amplitude);
  const QString text = TrialText(letters, seed);
  // A letter costs at most eight rests and moves; the rest is slack.
  const double periodS = period.toDouble();
  const int limitMs = int((letters * 8 + 10) * (periodS * 1000 + kMoveFrames * kTickMs));
  const TTrialResult r = rig.Spell(text, period, op, limitMs);
  std::fprintf(stderr, "text %s, player lag %d ms, %d rests\ntape: %s\nlanded: %s\n",
               qPrintable(text), lag, r.Rests, qPrintable(r.Tape), r.Landings.c_str());
  std::printf("| %s | %s | %s | %d | %d | %d | %d | %d/%d | %d | %d | %d | %s | %s |\n",
              qPrintable(sensorName), qPrintable(settingName), qPrintable(period), r.Wanted,
              r.Written, r.Missed, r.Strays, r.Landed, r.Reactions, setting.Gain, setting.OnLevel,
              setting.OffLevel,
              qPrintable(QStringLiteral("%1/%2")
                             .arg(QLatin1String(ModeName(setting.LevelMode)))
                             .arg(setting.LevelDepth)),
              qPrintable(calibration));
  return 0;
}
