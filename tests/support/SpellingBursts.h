#pragma once
// Spelling with real sound: a session on the real timers in which a tone
// burst is played from the start of each rest that holds the next letter of a
// word, judged afterwards by where each burst landed on the capture's own
// timeline (CaptureLog.h). The main window must be launched with a
// TCaptureLogSensor (CaptureLogSensorFactory).

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/CaptureLog.h"
#include "tests/support/TonePlayer.h"
#include "windows/Main.h"

// The platform's capture device, every capture kept; `log` is set to the
// sensor the main window creates.
inline TFMain::TSensorFactory CaptureLogSensorFactory(TCaptureLogSensor*& log) {
  return [&log](void* owner) {
    auto sensor =
        std::make_unique<TCaptureLogSensor>(owner, [] { return FMain ? FMain->Engine().DrumPosition() : 0; });
    log = sensor.get();
    return std::unique_ptr<TAudioSensor_OneRun>(std::move(sensor));
  };
}

// For each loud run, the drum positions that may take a symbol from it.
inline std::vector<std::vector<int>> LandingChoices(const std::vector<TCaptureTake>& takes,
                                                    const std::vector<TLanding>& runs) {
  std::vector<std::vector<int>> choices;
  for (const TLanding& l : runs) {
    const int next = l.Take + 1 < takes.size() ? takes[l.Take + 1].Position : 0;
    choices.push_back(LandingRests(l, next, kLandingTailMs));
  }
  return choices;
}

// Whether `written` is one symbol for each run's choices, in order.
inline bool WrittenMatches(const QString& written, const QStringList& symbols,
                           const std::vector<std::vector<int>>& choices, std::size_t i = 0) {
  if (i == choices.size()) return written.isEmpty();
  for (int position : choices[i]) {
    const QString s = symbols.value(position - 1);
    if (!s.isEmpty() && written.startsWith(s) &&
        WrittenMatches(written.mid(s.size()), symbols, choices, i + 1))
      return true;
  }
  return false;
}

struct TSpelling {
  bool WasRunning = false;  // the session had not ended by itself
  QStringList Tape;
  QString Written;  // the last line without its "- "
  int Bursts = 0;
  int Rests = 1;  // rests the drum came to, the first included
  // Every burst began well inside the rest it was played for.
  bool AsPlanned = false;
  // What was written is one symbol per burst, by where each landed.
  bool MatchesLandings = false;
  std::string Landings;
};

// Starts a session (the time per symbol as the main window holds it) and
// plays a burst of `amplitude` for 0.5 s from the start of each rest on the
// next letter of `word`, until the word is written, a wrong letter is, or
// limitMs have passed; then stops the session. runWhile: the fixture's
// event-loop runner (step, limit, interval in ms).
inline TSpelling SpellFromBursts(
    TCaptureLogSensor*& log, TTonePlayer& player, const QString& word, double amplitude,
    int limitMs, const std::function<void(const std::function<bool()>&, int, int)>& runWhile) {
  TSpelling r;
  const auto written = [] {
    const QStringList lines = FMain->TapeLines();
    return lines.isEmpty() ? QString() : lines.last().mid(2);
  };
  FMain->MTape->clear();
  if (log) log->Takes.clear();
  FMain->BStartClick();
  if (!FMain->Running() || !log) return r;

  std::vector<int> planned;  // the drum position of each burst's rest
  int lastPhase = 0;
  bool played = false;  // in this rest
  runWhile(
      [&] {
        const QString w = written();
        if (!FMain->Running() || w == word || !word.startsWith(w)) return false;
        const int phase = FMain->Engine().StepPhase();
        if (phase == 0 && lastPhase != 0) ++r.Rests;
        lastPhase = phase;
        if (phase != 0) {
          played = false;
          return true;
        }
        if (!played && !FMain->Engine().SelectedThisStep() && !player.Playing() &&
            FMain->Engine().Symbols().value(FMain->Engine().DrumPosition() - 1) == word.mid(w.size(), 1)) {
          played = true;
          planned.push_back(FMain->Engine().DrumPosition());
          player.Begin(amplitude, 0.5, 0.0);
        }
        return true;
      },
      limitMs, 10);
  r.WasRunning = FMain->Running();
  FMain->BStopClick();
  r.Tape = FMain->TapeLines();
  r.Written = written();
  r.Bursts = static_cast<int>(planned.size());

  const std::vector<TLanding> runs = FindLandings(log->Takes, static_cast<int>(amplitude * 64.0));
  r.Landings = DescribeLandings(runs);
  r.AsPlanned = runs.size() == planned.size();
  for (std::size_t i = 0; r.AsPlanned && i < runs.size(); ++i)
    r.AsPlanned = runs[i].Position == planned[i] &&
                  (runs[i].BeforeCapture || runs[i].BeforeEndMs >= kLandingTailMs);
  r.MatchesLandings = WrittenMatches(r.Written, FMain->Engine().Symbols(), LandingChoices(log->Takes, runs));
  return r;
}

// Spells the word as SpellFromBursts does, again (up to three sessions)
// while the bursts did not land inside their planned rests, which proves
// nothing about the word. Every session's landings must match what was
// written. The spelling whose bursts landed as planned, or nothing (with a
// failure added) when the session ended by itself or none did.
inline std::optional<TSpelling> SpellAsPlanned(
    TCaptureLogSensor*& log, TTonePlayer& player, const QString& word, double amplitude,
    int limitMs, const std::function<void(const std::function<bool()>&, int, int)>& runWhile) {
  for (int attempt = 1; attempt <= 3; ++attempt) {
    const TSpelling s = SpellFromBursts(log, player, word, amplitude, limitMs, runWhile);
    std::printf("landed: %s; written \"%s\"\n", s.Landings.c_str(), qPrintable(s.Written));
    if (!s.WasRunning) {
      ADD_FAILURE() << "the session ended by itself: " << s.Tape.join('|').toStdString();
      return std::nullopt;
    }
    EXPECT_TRUE(s.MatchesLandings)
        << "written \"" << s.Written.toStdString() << "\" for bursts that landed at " << s.Landings;
    if (s.AsPlanned) return s;
  }
  ADD_FAILURE() << "in 3 sessions the bursts never landed inside their rests";
  return std::nullopt;
}
