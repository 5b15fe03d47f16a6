#include "SessionSpeaker.h"

#include "SessionEngine.h"
#include "SessionRules.h"
#include "speech/SymbolNames.h"

namespace {

TSymbolRoles RolesOf(const TSessionEngine& engine) {
  TSymbolRoles roles;
  roles.FastSymbol = engine.FastSymbol().toStdString();
  roles.BackspaceSymbol = engine.BackspaceSymbol().toStdString();
  for (const QString& s : engine.StopSymbols()) roles.StopSymbols.push_back(s.toStdString());
  roles.PauseSymbol = engine.PauseSymbol().toStdString();
  roles.CallSymbol = engine.CallSymbol().toStdString();
  roles.ReadLineSymbol = engine.ReadLineSymbol().toStdString();
  return roles;
}

}  // namespace

void TSessionSpeaker::SetOptions(const TSpeechOptions& options) {
  options_ = options;
  speech_.SetVoice(TVoice::Cue, options.Cue);
  speech_.SetVoice(TVoice::Main, options.Main);
  speech_.SetEchoMs(OpenTime() ? options.EchoMs : TSpeech::DefaultEchoMs);
}

void TSessionSpeaker::PrepareCues(const TSessionEngine& engine) {
  // A new table or new special symbols: their cues are made ahead, so a
  // cue at a rest only plays what is ready.
  const QStringList key = QStringList(engine.Symbols())
                          << engine.FastSymbol() << engine.BackspaceSymbol() << engine.StopSymbols()
                          << engine.PauseSymbol() << engine.CallSymbol() << engine.ReadLineSymbol();
  if (key == prepared_) return;
  prepared_ = key;
  const TSymbolRoles roles = RolesOf(engine);
  std::vector<std::string> cues;
  for (const QString& s : engine.Symbols()) cues.push_back(SpokenSymbol(s.toStdString(), roles));
  // With open time every rest asks its cue's length: all are made now, at
  // the start, so the speech is not still making them while the first rests
  // play, which would start their cues late.
  if (OpenTime())
    for (const std::string& cue : cues) speech_.CueMs(cue);
  speech_.Prepare(cues);
}

std::string TSessionSpeaker::CueAtRest(const TSessionEngine& engine) const {
  return SpokenSymbol(engine.Symbols().value(engine.DrumPosition() - 1).toStdString(), RolesOf(engine));
}

int TSessionSpeaker::RestExtraMs(const TSessionEngine& engine) {
  if (!OpenTime()) return 0;
  PrepareCues(engine);
  const int cue = speech_.CueMs(CueAtRest(engine));
  // The blank lasts a poll beyond the echo: a reading examines the samples
  // recorded up to the poll before it.
  return cue > 0 ? cue + (Blocking() ? options_.EchoMs + kTickMs : 0) : 0;
}

void TSessionSpeaker::RestBegan(const TSessionEngine& engine) {
  if (!options_.AuditoryScanning) return;
  PrepareCues(engine);
  speech_.Say(CueAtRest(engine), TVoice::Cue);
}

void TSessionSpeaker::RestEnded() {
  if (options_.AuditoryScanning) speech_.Cut();
}

void TSessionSpeaker::SymbolTaken(const TSessionEngine& engine, const QString& symbol,
                                  TSymbolAction action, const QStringList& tapeLines) {
  if (!Speaks()) return;
  // What was taken is said at once, not after the rest of a cue.
  RestEnded();
  if (action == TSymbolAction::ReadLine) {
    if (!tapeLines.isEmpty()) SayLine(tapeLines.last());
    return;
  }
  // The alarm is heard instead.
  if (action == TSymbolAction::Call) return;
  const bool written = action == TSymbolAction::Written || action == TSymbolAction::WrittenStop;
  if (options_.ReadLines && written && symbol == QLatin1String(".") && !tapeLines.isEmpty()) {
    SayLine(tapeLines.last());
    return;
  }
  if (options_.SaySelected) speech_.Say(SpokenSymbol(symbol.toStdString(), RolesOf(engine)), TVoice::Main);
}

void TSessionSpeaker::SayLine(const QString& line) {
  speech_.Say(SpokenLine(line.toStdString()), TVoice::Main);
}

void TSessionSpeaker::SayPrompt(const QString& prompt) {
  if (options_.Speaks() && speech_.Available()) speech_.Say(prompt.toStdString(), TVoice::Main);
}

bool TSessionSpeaker::SensorBlocked() const { return Blocking() && !OpenTime() && speech_.Speaking(); }

bool TSessionSpeaker::SensorBlanked() const { return Blocking() && OpenTime() && speech_.Speaking(); }

QString TSessionSpeaker::WaitingPrompt() { return QStringLiteral("Сеанс окончен. Реакция начнёт новый."); }

void TSessionSpeaker::SayWaiting() {
  if (speech_.Available()) speech_.Say(WaitingPrompt().toStdString(), TVoice::Main);
}
