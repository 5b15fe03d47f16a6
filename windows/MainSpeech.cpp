// The main window's part in speech: "Сказать" and its button. The model
// makes the speech engine when an option first needs it and speaks the
// session's events.
#include <QPushButton>

#include "Main.h"
#include "session/SessionModel.h"
#include "session/SessionSpeaker.h"

void TFMain::SetSpeechFactory(TSpeechFactory factory) {
  TSessionModel::SetSpeechFactory(std::move(factory));
}

void TFMain::SpeechChange() {
  BSay->setVisible(model_.Options().Speech().ReadLines);
}

void TFMain::BSayClick() {
  const QStringList lines = TapeLines();
  if (model_.Speaker() && !lines.isEmpty()) model_.Speaker()->SayLine(lines.last());
}
