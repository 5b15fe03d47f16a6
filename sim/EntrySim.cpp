#include "EntrySim.h"

#include <random>

#include "session/AlphabetPresets.h"
#include "session/LetterModel.h"
#include "session/TickTimer.h"
#include "sensor/Sens.h"
#include "tests/support/ManualTickTimer.h"
#include "tests/support/ScriptedSensor.h"

namespace {

// Keeps only the last tape line (all the engine reads) and the text written
// so far, with how much of it agrees with the wanted text.
class TSimHost : public TSessionHost {
public:
  TSimHost(const QString& target, const TSessionOptions& options, const TSpeedOptions& speed)
      : target_(target), options_(options), speed_(speed) {}

  TSensor* Sensor() override { return &sensor_; }
  TInstrument* Model() override { return nullptr; }
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

  TScriptedSensor sensor_;  // started and stopped; the reactions come as selections
  QString target_;
  TSessionOptions options_;
  TSpeedOptions speed_;
  QString last_;
  QString written_;
  int good_ = 0;
};

}  // namespace

QStringList CyrillicTable() { return AlphabetPresetSymbols(TAlphabetPreset::Cyrillic); }

QStringList FrequencyTable() { return AlphabetPresetSymbols(TAlphabetPreset::CyrillicByFrequency); }

TEntryResult SimulateEntry(const QString& text, const TEntryRun& run) {
  TEntryResult result;
  result.Characters = text.size();
  if (run.ReactionMs >= run.SymbolPeriodMs) return result;  // no rest is long enough to react in

  TSessionOptions options;
  options.Symbols = run.Symbols;
  options.StopSymbols = QString();  // "." is text here
  options.BackspaceSymbol = run.Backspace;
  TSpeedOptions speed;
  speed.RestartAfterSelection = run.RestartAfterSelection;
  speed.PredictNextLetter = run.PredictNextLetter;
  TSimHost host(text, options, speed);
  TManualTickTimer drumTimer, pollTimer;
  TSessionEngine engine(host, drumTimer, pollTimer);
  engine.SetLetterModel(run.Model);
  engine.SetPredictedLetters(run.PredictedLetters);
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
