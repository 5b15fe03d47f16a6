#include "EntrySim.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "session/AlphabetPresets.h"
#include "session/LetterModel.h"
#include "session/TickTimer.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "session/SessionRules.h"
#include "tests/support/ManualTickTimer.h"
#include "tests/support/ScriptedSensor.h"

namespace {

// Keeps only the last tape line (all the engine reads) and the text written
// so far, with how much of it agrees with the wanted text.
class TSimHost : public TSessionHost {
public:
  // Without a sensor and model the operator's reactions come as selections.
  TSimHost(const QString& target, const TSessionOptions& options, const TSpeedOptions& speed,
           TSensor* sensor = nullptr, TInstrument* model = nullptr)
      : target_(target), options_(options), speed_(speed), sensor_(sensor ? sensor : &scripted_), model_(model) {}

  TSensor* Sensor() override { return sensor_; }
  TInstrument* Model() override { return model_; }
  TSessionOptions StartOptions() override { return options_; }
  TSpeedOptions StartSpeed() override { return speed_; }
  bool FastSlowOption() override { return false; }
  void DrawDrum() override {}
  QStringList TapeLines() override { return last_.isNull() ? QStringList() : QStringList{last_}; }
  void AddTapeLine(const QString& line) override {
    last_ = line;
    Changed(line.mid(2), true);
  }
  void ReplaceLastTapeLine(const QString& line) override {
    Changed(line.mid(2), false);
    last_ = line;
  }
  void Message(const QString&) override {}

  bool Correct() const { return good_ == written_.size(); }
  bool Finished() const { return Correct() && good_ == target_.size(); }
  QString NextLetter() const { return QString(target_.at(good_)); }
  // The backspace symbol reaches only into the last line.
  bool LastLineEmpty() const { return last_.size() <= 2; }
  // A mistake the backspace symbol cannot reach stays in the text: the
  // operator goes on from there.
  void AcceptWritten() {
    target_ = written_ + target_.mid(good_);
    good_ = written_.size();
  }

private:
  // The last line's text changed (or a new one began) to lineText.
  void Changed(const QString& lineText, bool newLine) {
    const QString before = newLine ? QString() : last_.mid(2);
    written_.chop(before.size());
    written_ += lineText;
    if (good_ > written_.size()) good_ = written_.size();
    while (good_ < written_.size() && good_ < target_.size() && written_.at(good_) == target_.at(good_)) ++good_;
  }

  TScriptedSensor scripted_;  // started and stopped, for the ideal operator
  QString target_;
  TSessionOptions options_;
  TSpeedOptions speed_;
  QString last_;
  QString written_;
  int good_ = 0;
  TSensor* sensor_;
  TInstrument* model_;
};

}  // namespace

QStringList CyrillicTable() { return AlphabetPresetSymbols(TAlphabetPreset::Cyrillic); }

QStringList FrequencyTable() { return AlphabetPresetSymbols(TAlphabetPreset::CyrillicByFrequency); }

namespace {

// The operator of the first measurements: a selection in every wanted rest,
// made directly; a late one is made in the next rest.
// The session a run spells in: its table and backspace symbol, no stop symbol.
TSessionOptions SessionOptionsOf(const TEntryRun& run) {
  TSessionOptions options;
  options.Symbols = run.Symbols;
  options.StopSymbols = QString();  // "." is text here
  options.BackspaceSymbol = run.Backspace;
  return options;
}

TSpeedOptions SpeedOptionsOf(const TEntryRun& run) {
  TSpeedOptions speed;
  speed.RestartAfterSelection = run.RestartAfterSelection;
  speed.PredictNextLetter = run.PredictNextLetter;
  speed.UndoPlace = run.UndoPlace;
  speed.GroupScan = run.GroupScan;
  return speed;
}

TEntryResult SimulateIdeal(const QString& text, const TEntryRun& run) {
  TEntryResult result;
  result.Characters = text.size();
  if (run.ReactionMs >= run.SymbolPeriodMs) return result;  // no rest is long enough to react in

  const TSessionOptions options = SessionOptionsOf(run);
  const TSpeedOptions speed = SpeedOptionsOf(run);
  TSimHost host(text, options, speed);
  TManualTickTimer drumTimer, pollTimer;
  TSessionEngine engine(host, drumTimer, pollTimer);
  engine.SetLetterModel(run.Model);
  engine.SetPredictedLetters(run.PredictedLetters);
  engine.SetGroupLayout(run.Groups);
  std::mt19937 random(run.Seed);
  std::uniform_real_distribution<double> roll(0.0, 1.0);

  engine.Start(QString::number(run.SymbolPeriodMs / 1000.0, 'f', 3));
  if (!engine.Running()) return result;
  long long ms = 0;
  bool late = false;  // the operator missed the wanted symbol and fires at this rest
  // A bound on rests: even a plain drum needs fewer than a full turn per
  // selection, and each mistake costs at most two more selections.
  const long long maxRests = (static_cast<long long>(text.size()) * 3 + 10) * (run.Symbols.size() + 1);
  while (result.Rests < maxRests) {
    ++result.Rests;
    ms += drumTimer.Interval();
    const QString shown = engine.Symbols().value(engine.DrumPosition() - 1);
    if (!host.Correct() && host.LastLineEmpty()) {
      host.AcceptWritten();
      ++result.Uncorrected;
    }
    const QString wanted = host.Correct() ? host.NextLetter() : run.Backspace;
    bool fire = late;
    late = false;
    if (!fire && shown == wanted) {
      if (run.ErrorRate > 0 && roll(random) < run.ErrorRate)
        late = true;
      else
        fire = true;
    }
    if (fire) {
      engine.SelectSymbol();
      ++result.Selections;
      if (host.Finished()) {
        result.Done = true;
        break;
      }
    }
    for (int frame = 0; frame < 6; ++frame) {
      engine.DrumTick();
      if (frame < 5) ms += drumTimer.Interval();
    }
  }
  result.Undone = engine.UndoneCount();
  result.Seconds = ms / 1000.0;
  engine.Stop();
  return result;
}

}  // namespace

namespace {

// A reaction: the sensor's signal is up from Onset to End (ms of drum time).
struct TReaction {
  long long Onset = 0;
  long long End = 0;
};

// The sound-card sensor as the engine sees it, on the simulation's clock:
// a poll reads the peak of the signal since the previous poll while the
// capture runs; the drain at a move's first frame keeps the rest's last
// samples for the next poll; a poll of no recorded samples reads nothing.
class TSimSensor : public TSensor {
public:
  TSimSensor(const long long& now, double amplitude) : now_(now), amplitude_(amplitude) {
    Minimum = 0.0;
    Maximum = 1.0;
    Step = 0.1;
  }
  bool Start(int periodMs) override {
    capturing_ = true;
    captureStart_ = now_;
    return TSensor::Start(periodMs);
  }
  void Rearm(int periodMs) override {
    capturing_ = true;
    captureStart_ = now_;
    TSensor::Rearm(periodMs);
  }
  void Stop() override { capturing_ = false; }
  void Drain() override {
    if (!capturing_) return;
    const long long from = std::max(lastRead_, captureStart_);
    tailSamples_ = from < now_;
    tailPeak_ = Peak(from, now_);
    drained_ = true;
  }
  bool Read() override {
    drainedRead_ = drained_;
    if (drained_) {
      samples_ = tailSamples_;
      Reading = tailPeak_;
      drained_ = false;
    } else if (capturing_) {
      const long long from = std::max(lastRead_, captureStart_);
      samples_ = from < now_;
      Reading = samples_ ? Peak(from, now_) : 0.0;
    } else {
      samples_ = false;
      Reading = 0.0;
    }
    lastRead_ = now_;
    return true;
  }
  bool SamplesRead() const override { return samples_; }
  bool DrainedRead() const override { return drainedRead_; }

  void Add(const TReaction& r) { reactions_.push_back(r); }
  // Reactions not begun by now are given up (the operator saw the symbol taken).
  void CancelFuture() {
    reactions_.erase(std::remove_if(reactions_.begin(), reactions_.end(),
                                    [this](const TReaction& r) { return r.Onset > now_; }),
                     reactions_.end());
  }
  // Reactions that have ended long ago are of no more use.
  void Forget(long long before) {
    reactions_.erase(std::remove_if(reactions_.begin(), reactions_.end(),
                                    [before](const TReaction& r) { return r.End < before; }),
                     reactions_.end());
  }

private:
  double Peak(long long from, long long to) const {
    for (const TReaction& r : reactions_)
      if (r.Onset < to && r.End > from) return amplitude_;
    return 0.0;
  }

  const long long& now_;
  double amplitude_;
  std::vector<TReaction> reactions_;
  bool capturing_ = false;
  long long captureStart_ = 0;
  long long lastRead_ = 0;
  bool drained_ = false;
  bool drainedRead_ = false;
  bool tailSamples_ = false;
  double tailPeak_ = 0.0;
  bool samples_ = false;
};

// The realistic operator: decides at each rest whether to react, and when.
class TSimOperator : public TSessionListener {
public:
  TSimOperator(const TEntryRun& run, TSimHost& host, TSimSensor& sensor, const long long& now, TEntryResult& result)
      : run_(run), host_(host), sensor_(sensor), now_(now), result_(result), random_(run.Seed) {}

  void RestBegan(const TSessionEngine& engine) override {
    ++result_.Rests;
    ++restInScan_;
    restStart_ = now_;
    const int position = engine.DrumPosition();
    const QString shown = engine.Symbols().value(position - 1);
    // Foreseen: the next symbol in table order, symbol 1 after a restart,
    // the backspace symbol at its fixed place, or a place the drum has shown
    // coming for at least a choice time (the new order appears with the
    // selection that made it).
    const bool foreseen = position == previous_ % engine.Symbols().size() + 1 ||
                          (run_.RestartAfterSelection && restInScan_ == 1 && position == 1) ||
                          (shown == run_.Backspace && restInScan_ == engine.UndoPlace()) ||
                          (run_.OrderShown && now_ - plannedMs_ >= run_.ChoiceMs);
    previous_ = position;
    sensor_.Forget(now_ - 10000);

    if (!host_.Correct() && host_.LastLineEmpty()) {
      host_.AcceptWritten();
      ++result_.Uncorrected;
    }
    wantedHere_ = host_.Correct() ? host_.NextLetter() : run_.Backspace;
    // A rest on a group is wanted when the wanted symbol is among its members.
    bool here = shown == wantedHere_;
    for (const int member : engine.RestGroup()) here = here || engine.Symbols().value(member - 1) == wantedHere_;
    if (!here) {
      wantedHere_.clear();
      return;
    }
    ++wantedRests_;
    if (Roll() < run_.MissRate) return;
    const int period = engine.SymbolPeriodMs();
    long long onset;
    if (Roll() < run_.ErrorRate) {
      // After the rest: within the move or the next rest's first half.
      onset = restStart_ + period + static_cast<long long>(Roll() * (5 * kTickMs + period / 2));
    } else {
      std::normal_distribution<double> spread(0.0, run_.ReactionSpreadMs);
      const double ms = run_.ReactionMs + (foreseen ? 0 : run_.ChoiceMs) + spread(random_);
      onset = restStart_ + std::max(100LL, std::llround(ms));
    }
    sensor_.Add({onset, onset + run_.HoldMs});
  }

  void SymbolTaken(const TSessionEngine& engine, const QString& symbol, TSymbolAction) override {
    ++result_.Selections;
    if (!wantedHere_.isEmpty() && symbol == wantedHere_) ++hits_;
    Planned();
    if (host_.Finished() && !result_.Done) {
      result_.Done = true;
      // Counted to the end of the rest it was taken in, as for the ideal operator.
      finishedMs_ = engine.StepPhase() == 0 ? restStart_ + engine.SymbolPeriodMs() : now_;
    }
  }

  // A group picked at its rest: a hit when the wanted symbol is a member.
  void GroupTaken(const TSessionEngine&) override {
    ++result_.Selections;
    if (!wantedHere_.isEmpty()) ++hits_;
    Planned();
  }

  long long FinishedMs() const { return finishedMs_; }
  long long Missed() const { return wantedRests_ - hits_; }

private:
  double Roll() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }
  // A selection made a new plan, shown from now on.
  void Planned() {
    wantedHere_.clear();
    restInScan_ = 0;
    plannedMs_ = now_;
    sensor_.CancelFuture();
  }

  const TEntryRun& run_;
  TSimHost& host_;
  TSimSensor& sensor_;
  const long long& now_;
  TEntryResult& result_;
  std::mt19937 random_;
  long long restStart_ = 0;
  int restInScan_ = 0;
  long long plannedMs_ = 0;  // when the present scan was planned
  int previous_ = 0;
  QString wantedHere_;  // the wanted symbol shown at the present rest, if it is
  long long wantedRests_ = 0;
  long long hits_ = 0;
  long long finishedMs_ = 0;
};

// The realistic operator through the sensor, the probe and the instrument
// model the engine polls, its level fixed at the sensor's rest.
TEntryResult SimulateRealistic(const QString& text, const TEntryRun& run) {
  TEntryResult result;
  result.Characters = text.size();

  const TSessionOptions options = SessionOptionsOf(run);
  const TSpeedOptions speed = SpeedOptionsOf(run);

  long long now = 0;
  TSimSensor sensor(now, run.Amplitude);
  TProbe probe(sensor, false);
  probe.LevelMode = TProbe::LevelFixed;
  probe.Level = 0.0;
  TGaugePM100 model(probe, nullptr);
  TSimHost host(text, options, speed, &sensor, &model);
  TManualTickTimer drumTimer, pollTimer;
  TSessionEngine engine(host, drumTimer, pollTimer);
  engine.SetLetterModel(run.Model);
  engine.SetPredictedLetters(run.PredictedLetters);
  engine.SetGroupLayout(run.Groups);
  TSimOperator op(run, host, sensor, now, result);
  engine.AddListener(&op);

  engine.Start(QString::number(run.SymbolPeriodMs / 1000.0, 'f', 3));
  if (!engine.Running()) return result;
  const long long maxRests = (static_cast<long long>(text.size()) * 6 + 10) * (run.Symbols.size() + 1);
  long long nextDrum = drumTimer.Interval();
  long long nextPoll = pollTimer.Interval();
  while (!result.Done && result.Rests < maxRests && engine.Running()) {
    // A poll due at the same time as a drum frame comes first.
    if (nextPoll <= nextDrum) {
      now = nextPoll;
      engine.PollTick();
      nextPoll = now + pollTimer.Interval();
    } else {
      now = nextDrum;
      engine.DrumTick();
      nextDrum = now + drumTimer.Interval();
    }
  }
  result.Undone = engine.UndoneCount();
  result.Missed = op.Missed();
  result.Seconds = (result.Done ? op.FinishedMs() : now) / 1000.0;
  engine.RemoveListener(&op);
  engine.Stop();
  return result;
}

}  // namespace

TEntryResult SimulateEntry(const QString& text, const TEntryRun& run) {
  return run.Operator == TEntryOperator::Ideal ? SimulateIdeal(text, run) : SimulateRealistic(text, run);
}

TNormalisedText NormaliseLikeCorpus(const QString& input) {
  static const QString alphabet = QStringLiteral("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
  TNormalisedText result;
  QStringList texts;
  for (const QString& line : input.split(QLatin1Char('\n'))) {
    QString s;
    for (const QChar c : line.toUpper()) {
      QChar out = QLatin1Char(' ');
      if (alphabet.contains(c)) {
        out = c;
        ++result.Letters;
      } else if (c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('?') || c == QChar(0x2026)) {
        out = QLatin1Char('.');
      } else {
        if (c.isLetter()) ++result.Foreign;
        if (c != QLatin1Char(' ')) ++result.Blanked;
      }
      s += out;
    }
    // Blanks collapsed; one "." per sentence end, no blank around it.
    s.replace(QRegularExpression(QStringLiteral(" +")), QStringLiteral(" "));
    s.replace(QRegularExpression(QStringLiteral(" *\\.[ .]*")), QStringLiteral("."));
    while (!s.isEmpty() && (s.front() == QLatin1Char(' ') || s.front() == QLatin1Char('.'))) s.remove(0, 1);
    while (!s.isEmpty() && (s.back() == QLatin1Char(' ') || s.back() == QLatin1Char('.'))) s.chop(1);
    int letters = 0;
    for (const QChar c : s) letters += alphabet.contains(c);
    if (letters < 3) {
      if (!line.trimmed().isEmpty()) ++result.DroppedLines;
      continue;
    }
    s += QLatin1Char('.');
    texts << s;
  }
  result.Text = texts.join(QString());
  return result;
}
