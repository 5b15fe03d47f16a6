#pragma once
// Switch trials with real sound: the measurement chain over the platform's
// capture device (the virtual source of scripts/pulse-start.sh), the session
// engine on the program's Qt timers, no window, and an operator who reacts
// through a TTonePlayer that plays the sensor's rest all along. Needs a
// running QCoreApplication; used by the trial tool (bench/switch) and the
// real-sound switch tests.
//
// The operator reacts once per wanted letter, at a random point of the rest
// that shows it (seeded), for 300..800 ms; a reaction may run on past the
// rest. Each reaction is judged by where it landed on the capture's own
// timeline (CaptureLog.h), found by its 440 Hz tone, which the rest's hum,
// drift and noise do not mimic.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "seams/QtTickTimer.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "session/CalibrationRun.h"
#include "session/ChainOptions.h"
#include "session/Options.h"
#include "session/SessionEngine.h"
#include "session/SessionRules.h"
#include "tests/support/CaptureLog.h"
#include "tests/support/TonePlayer.h"

// The switch settings of a trial.
struct TSwitchSetting {
  int Gain = 100;
  int OnLevel = 30;
  int OffLevel = 20;
  uint8_t LevelMode = TProbe::LevelAuto;
  double RestLevel = 0.0;  // the fixed level's value (LevelFixed only)
  int LevelDepth = 5;      // "Level Acc Depth"

  static TSwitchSetting Defaults() { return {}; }
};

// What the operator's reactions are like.
struct TOperator {
  double Amplitude = 0.15;
  int MinLengthMs = 300;
  int MaxLengthMs = 800;
  uint32_t Seed = 7;
};

// The letters of a trial and what became of them.
struct TTrialResult {
  int Wanted = 0;
  int Written = 0;  // the reaction for the letter wrote it, first
  int Missed = 0;
  int Strays = 0;  // symbols written that no reaction asked for
  // Reactions whose tone began inside the rest of their letter, clear of
  // its last kLandingTailMs, as planned; the rest landed elsewhere (a
  // scheduling delay), which is the operator's miss, not the switch's.
  int Landed = 0;
  int Reactions = 0;
  int Rests = 0;
  QString Tape;  // everything written, lines joined by "|"
  std::string Landings;
};

// A block of the capture holds the operator's tone: its 440 Hz part, the
// block's mean taken out, is at least half the reaction's amplitude. The
// rest's 50 Hz hum, even at 0.15 with drift, gives less than a fifth of
// that, and the noise far less.
inline TLoudBlock ToneBlock(double amplitude) {
  return [amplitude](const uint8_t* s, int n) {
    if (n < 8) return false;
    double mean = 0.0;
    for (int i = 0; i < n; ++i) mean += s[i];
    mean /= n;
    double re = 0.0, im = 0.0;
    for (int i = 0; i < n; ++i) {
      const double w = 2.0 * M_PI * 440.0 * i / 8000.0;
      re += (s[i] - mean) * std::cos(w);
      im += (s[i] - mean) * std::sin(w);
    }
    const double found = 2.0 * std::hypot(re, im) / n / 127.0;
    return found >= amplitude / 2;
  };
}

// Latin letters at least three and at most seven table places after the one
// before (the first at least three after the drum's start), so a late
// reaction can never pass for the next letter: positions 1..26 of the
// design table, seeded.
inline QString TrialText(int letters, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> step(3, 7);
  QString text;
  int position = 1;
  while (text.size() < letters) {
    int next = position;
    do next = (position - 1 + step(random)) % 28 + 1;
    while (next > 26);
    position = next;
    text += QChar(u'A' + position - 1);
  }
  return text;
}

class TSwitchRig : public TSessionHost, private TSessionListener {
public:
  explicit TSwitchRig(const TSensorRest& rest)
      : player_(rest),
        sensor_(nullptr, [this] { return engine_.DrumPosition(); }),
        probe_(sensor_, false),
        gauge_(probe_, nullptr),
        drumTimer_(&owner_, "drum", [this] { engine_.DrumTick(); }),
        pollTimer_(&owner_, "poll", [this] { engine_.PollTick(); }),
        engine_(*this, drumTimer_, pollTimer_) {
    ApplySignalOptions(TSignalOptions(), probe_, sensor_);
    ApplyNeedleOptions(TNeedleOptions(), gauge_);
    engine_.AddListener(this);
  }
  ~TSwitchRig() override {
    engine_.Stop();
    engine_.RemoveListener(this);
  }

  bool SoundReady() const { return player_.Open(); }

  // Puts the settings in force as the instrument panel does.
  void Apply(const TSwitchSetting& s) {
    setting_ = s;
    gauge_.SetGain(s.Gain);
    probe_.LevelChannel().SetDepth(s.LevelDepth);
    probe_.LevelMode = s.LevelMode;
    if (s.LevelMode == TProbe::LevelFixed) probe_.SetLevel(gauge_.Offset, s.RestLevel);
  }

  // The calibration assistant's run over the sound, the operator reacting
  // at each prompt, for sessions at periodMs per symbol; the proposal as the
  // run gives it. A run in which a reaction did not reach the readings well
  // inside its window (the sound server held the tone back) proves nothing
  // and is run again, up to three times.
  TCalibrationProposal Calibrate(const TOperator& op, int periodMs = 1000) {
    TCalibrationChain chain;
    chain.DataDepth = probe_.DataChannel().Depth();
    chain.LevelDepth = probe_.LevelChannel().Depth();
    chain.SpringEnabled = gauge_.NeedleChannel().SpringEnabled;
    chain.Damping = gauge_.NeedleChannel().Damping;
    chain.TimeStep = gauge_.NeedleChannel().TimeStep;
    chain.SymbolPeriodMs = periodMs;
    std::mt19937 random(op.Seed + 1000);
    std::uniform_int_distribution<int> delay(200, 500);
    std::uniform_int_distribution<int> length(op.MinLengthMs, op.MaxLengthMs);
    TCalibrationProposal p;
    for (int attempt = 1; attempt <= 3; ++attempt) {
      std::unique_ptr<TCalibrationRun> run;
      QObject scope;
      TQtTickTimer timer(&scope, "calibration", [&run] { run->Tick(); });
      run = std::make_unique<TCalibrationRun>(sensor_, timer, chain);
      std::size_t prompts = 0;
      run->SetListener([&] {
        if (run->Recording().Prompts.size() <= prompts) return;
        prompts = run->Recording().Prompts.size();
        const int lengthMs = length(random);
        QTimer::singleShot(delay(random), &owner_, [this, op, lengthMs] {
          player_.Begin(op.Amplitude, lengthMs / 1000.0, 0.0);
        });
      });
      run->Begin();
      WaitWhile([&] { return run->Measuring(); }, 90000);
      p = run->Proposal();
      calibrationLanded_ = ReactionsInWindows(run->Recording(), op.Amplitude);
      run.reset();
      Wait(200);
      if (calibrationLanded_) break;
    }
    return p;
  }
  // Whether the last Calibrate's reactions landed inside their windows.
  bool CalibrationLanded() const { return calibrationLanded_; }

  // The mean reading at rest over `polls` polls, as a level fixed by hand
  // at rest would hold it.
  double MeasureRestLevel(int polls) {
    sensor_.Start(kMaxSymbolPeriodMs);
    Wait(200);
    sensor_.Read();  // the first read after a start examines nothing
    double sum = 0.0;
    int n = 0;
    for (int i = 0; i < polls; ++i) {
      Wait(kTickMs);
      if (sensor_.Read() && sensor_.SamplesRead()) {
        sum += sensor_.Reading;
        ++n;
      }
    }
    sensor_.Stop();
    return n ? sum / n : 0.0;
  }

  // The time from asking for a tone to its reaching the capture, measured
  // on a capture of its own. It only aims the reactions.
  int MeasureLagMs(double amplitude) {
    Wait(500);  // the output stream settles
    sensor_.Takes.clear();
    sensor_.Start(2000);
    Wait(300);
    QElapsedTimer clock;
    clock.start();
    player_.Begin(amplitude, 0.2, 0.0);
    Wait(900);
    const int elapsed = int(clock.elapsed());
    sensor_.Stop();
    const std::vector<TLanding> runs = FindLandings(sensor_.Takes, ToneBlock(amplitude));
    lagMs_ = runs.empty() ? 450 : std::max(0, elapsed - runs.front().BeforeEndMs);
    Wait(300);
    return lagMs_;
  }

  // A session at periodText seconds per symbol in which the operator wants
  // `text`, one reaction per letter; it ends three rests after the last
  // reaction, not before minMs, or at limitMs.
  TTrialResult Spell(const QString& text, const QString& periodText, const TOperator& op,
                     int limitMs, int minMs = 0) {
    if (lagMs_ < 0) MeasureLagMs(op.Amplitude);
    text_ = text;
    op_ = op;
    random_.seed(op.Seed);
    next_ = 0;
    reactions_.clear();
    taken_.clear();
    rests_ = 0;
    tape_.clear();
    sensor_.Takes.clear();
    engine_.Start(periodText);
    TTrialResult r;
    if (!engine_.Running()) return r;
    const int periodMs = engine_.SymbolPeriodMs();
    WaitWhile(
        [&] {
          if (!engine_.Running()) return false;
          if (next_ < text_.size() || sinceStart_.elapsed() < minMs) return true;
          return player_.Playing() ||
                 sinceStart_.elapsed() < lastReactionMs_ + 3 * (periodMs + kMoveFrames * kTickMs);
        },
        limitMs);
    sensor_.Snapshot();
    engine_.Stop();
    Wait(300);
    return Judge();
  }

  // Nobody reacts for ms: what the session writes.
  TTrialResult Idle(const QString& periodText, int ms) {
    return Spell(QString(), periodText, op_, ms, ms);
  }

  TCaptureLogSensor& CaptureLog() { return sensor_; }
  TSessionEngine& Engine() { return engine_; }
  TProbe& Probe() { return probe_; }
  TTonePlayer& Player() { return player_; }

  // --- TSessionHost ------------------------------------------------------
  TSensor* Sensor() override { return &sensor_; }
  TInstrument* Model() override { return &gauge_; }
  TSessionOptions StartOptions() override {
    TSessionOptions o;
    o.OnLevel = QString::number(setting_.OnLevel);
    o.OffLevel = QString::number(setting_.OffLevel);
    return o;
  }
  TSpeedOptions StartSpeed() override { return {}; }
  bool FastSlowOption() override { return false; }
  void DrawDrum() override {}
  QStringList TapeLines() override { return tape_; }
  void AddTapeLine(const QString& line) override { tape_ << line; }
  void ReplaceLastTapeLine(const QString& line) override {
    if (tape_.isEmpty())
      tape_ << line;
    else
      tape_.last() = line;
  }
  void Message(const QString& text) override { tape_ << QStringLiteral("! ") + text; }

  static void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  }

private:
  struct TReaction {
    int Letter;
    int Position;
    int OffsetMs;  // into the rest, as aimed
  };
  struct TTaken {
    int Reaction;  // the last reaction played before it; -1 none
    QString Symbol;
  };

  static void WaitWhile(const std::function<bool()>& step, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (step() && clock.elapsed() < limitMs) Wait(10);
  }

  // The drum comes to rest: when the next rest shows the wanted letter, the
  // reaction is timed to begin at a random point of it (clear of its first
  // 40 ms, which a late move may still hold, and its last 80 ms), the
  // player's lag allowed for.
  void RestBegan(const TSessionEngine& engine) override {
    ++rests_;
    if (next_ >= text_.size() || scheduled_ == next_) return;
    const int wanted = text_.at(next_).unicode() - u'A' + 1;
    if (engine.NextPosition() != wanted) return;
    const int periodMs = engine.SymbolPeriodMs();
    std::uniform_int_distribution<int> offset(40, std::max(40, periodMs - 80));
    std::uniform_int_distribution<int> length(op_.MinLengthMs, op_.MaxLengthMs);
    const TReaction reaction{next_, wanted, offset(random_)};
    const int lengthMs = length(random_);
    const int delay = periodMs + kMoveFrames * kTickMs + reaction.OffsetMs - lagMs_;
    scheduled_ = next_;
    QTimer::singleShot(std::max(0, delay), &owner_, [this, reaction, lengthMs] {
      reactions_.push_back(reaction);
      player_.Begin(op_.Amplitude, lengthMs / 1000.0, 0.0);
      lastReactionMs_ = sinceStart_.elapsed();
      ++next_;
    });
  }
  void SessionStarted(const TSessionEngine&) override {
    scheduled_ = -1;
    sinceStart_.start();
    lastReactionMs_ = 0;
  }
  void SymbolTaken(const TSessionEngine&, const QString& symbol, TSymbolAction) override {
    taken_.push_back({int(reactions_.size()) - 1, symbol});
  }

  // Each reaction's letter is written when the first symbol taken after it
  // (before the next one) is that letter; every other symbol is a stray.
  TTrialResult Judge() {
    TTrialResult r;
    r.Wanted = text_.size();
    r.Reactions = int(reactions_.size());
    r.Rests = rests_;
    for (const QString& line : tape_)
      r.Tape += (r.Tape.isEmpty() ? QString() : QStringLiteral("|")) + line;
    std::vector<int> firsts(reactions_.size(), 0);
    for (const TTaken& t : taken_) {
      const bool first = t.Reaction >= 0 && firsts[std::size_t(t.Reaction)]++ == 0;
      if (first && t.Symbol == text_.mid(reactions_[std::size_t(t.Reaction)].Letter, 1))
        ++r.Written;
      else
        ++r.Strays;
    }
    r.Missed = r.Wanted - r.Written;
    const std::vector<TLanding> runs = FindLandings(sensor_.Takes, ToneBlock(op_.Amplitude));
    r.Landings = DescribeLandings(runs);
    // Runs pair with reactions in order when there are as many.
    if (runs.size() == reactions_.size())
      for (std::size_t i = 0; i < runs.size(); ++i)
        if (runs[i].Position == reactions_[i].Position && !runs[i].BeforeCapture &&
            runs[i].BeforeEndMs >= kLandingTailMs)
          ++r.Landed;
    return r;
  }

  // Whether each reaction rose half its amplitude over the rest's mean
  // inside its window, with 0.8 s of the window left after its onset.
  static bool ReactionsInWindows(const TCalibrationRecording& r, double amplitude) {
    if (r.Prompts.size() != std::size_t(TCalibrationRun::ReactionCount) ||
        r.RestCount <= kCalibrationSettle)
      return false;
    double rest = 0.0;
    for (int i = kCalibrationSettle; i < r.RestCount; ++i) rest += r.Readings[std::size_t(i)];
    rest /= r.RestCount - kCalibrationSettle;
    for (std::size_t k = 0; k < r.Prompts.size(); ++k) {
      const int from = r.Prompts[k];
      const int to = k + 1 < r.Prompts.size() ? r.Prompts[k + 1] : int(r.Readings.size());
      int onset = -1;
      for (int i = from; i < to && onset < 0; ++i)
        if (r.Readings[std::size_t(i)] >= rest + amplitude / 2) onset = i;
      if (onset < 0 || onset + 20 > to) return false;
    }
    return true;
  }

  QObject owner_;
  TTonePlayer player_;
  TCaptureLogSensor sensor_;
  TProbe probe_;
  TGaugePM100 gauge_;
  TQtTickTimer drumTimer_;
  TQtTickTimer pollTimer_;
  TSessionEngine engine_;
  TSwitchSetting setting_;
  int lagMs_ = -1;
  bool calibrationLanded_ = false;

  QString text_;
  TOperator op_;
  std::mt19937 random_;
  int next_ = 0;        // the letter the operator wants now
  int scheduled_ = -1;  // the letter whose reaction is timed
  std::vector<TReaction> reactions_;
  std::vector<TTaken> taken_;
  int rests_ = 0;
  QStringList tape_;
  QElapsedTimer sinceStart_;
  qint64 lastReactionMs_ = 0;
};

// The settings the calibration assistant proposed.
inline TSwitchSetting SettingOf(const TCalibrationProposal& p) {
  TSwitchSetting s;
  s.Gain = p.Gain;
  s.OnLevel = p.OnLevel;
  s.OffLevel = p.OffLevel;
  s.LevelMode = p.LevelMode;
  s.RestLevel = p.RestLevel;
  s.LevelDepth = p.LevelDepth;
  return s;
}
