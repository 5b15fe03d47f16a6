// The main window's speech: the engine made when an option first needs it,
// the session's speech events passed to the speaker, and "Сказать".
#include <QPlainTextEdit>
#include <QPushButton>

#include "Main.h"
#include "OptionsInForce.h"
#include "session/SessionSpeaker.h"
#include "speech/DefaultSpeech.h"

namespace {

TFMain::TSpeechFactory& SpeechFactory() {
  static TFMain::TSpeechFactory factory;
  return factory;
}

}  // namespace

void TFMain::SetSpeechFactory(TSpeechFactory factory) { SpeechFactory() = std::move(factory); }

void TFMain::SpeechChange() {
  const TSpeechOptions options = OptionsInForce().Speech();
  BSay->setVisible(options.ReadLines);
  if (options.Speaks() && !OwnedSpeech) {
    OwnedSpeech = SpeechFactory() ? SpeechFactory()() : CreateDefaultSpeech();
    OwnedSpeaker = std::make_unique<TSessionSpeaker>(*OwnedSpeech);
    // Without an engine the program goes on silently.
    if (!OwnedSpeech->Available()) ShowNotice(QString::fromStdString(OwnedSpeech->Error()));
  }
  if (OwnedSpeaker) OwnedSpeaker->SetOptions(options);
}

void TFMain::BSayClick() {
  const QStringList lines = TapeLines();
  if (OwnedSpeaker && !lines.isEmpty()) OwnedSpeaker->SayLine(lines.last());
}

void TFMain::RestBegan() {
  if (OwnedSpeaker) OwnedSpeaker->RestBegan(*Engine);
}

void TFMain::RestEnded() {
  if (OwnedSpeaker) OwnedSpeaker->RestEnded();
}

void TFMain::SymbolTaken(const QString& symbol, TSymbolAction action) {
  if (OwnedSpeaker && OwnedSpeaker->Options().Speaks())
    OwnedSpeaker->SymbolTaken(*Engine, symbol, action, TapeLines());
}

bool TFMain::SensorBlocked() { return OwnedSpeaker && OwnedSpeaker->SensorBlocked(); }
