// The model below the windows: a poll's reading reaches the recorder first,
// then the windows in the order they listen, each after the selection the
// reading caused.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "SessionRig.h"
#include "capture/FakeCaptureDevice.h"
#include "recording/Instrecord.h"
#include "session/SessionModel.h"
#include "speech/FakeSpeech.h"

namespace {

// A window that notes each reading with what the recorder and the tape held
// when it was told.
class TNotingView : public TSessionListener {
public:
  TNotingView(QString name, QStringList& log, const TSessionModel& model, const TScriptedHost& host)
      : name_(std::move(name)), log_(log), model_(model), host_(host) {}
  void ReadingTaken(const TInstData&) override {
    log_ << QStringLiteral("%1: %2 records, %3")
                .arg(name_)
                .arg(model_.Recorder()->Count())
                .arg(host_.Tape.join(QLatin1Char('|')));
  }

private:
  QString name_;
  QStringList& log_;
  const TSessionModel& model_;
  const TScriptedHost& host_;
};

TEST(SessionModel, AReadingGoesToTheRecorderThenToTheWindowsAfterItsSelection) {
  QTemporaryDir dir;
  auto* device = new TFakeCaptureDevice;
  TSessionModel::SetSensorFactory([device](void*) {
    return std::make_unique<TAudioSensor_OneRun>(nullptr, std::unique_ptr<TCaptureDevice>(device));
  });
  TSessionModel model;
  model.BuildChain(nullptr, dir.path() + QLatin1Char('/'));
  TSessionModel::SetSensorFactory({});
  model.Probe()->LevelMode = TProbe::LevelFixed;
  model.Probe()->Level = 0.0;

  TScriptedHost host(*model.Sensor(), *model.Gauge());
  host.Options.Symbols = TSessionOptions::DesignSymbols();
  QStringList log;
  TNotingView panel(QStringLiteral("panel"), log, model, host);
  TNotingView graph(QStringLiteral("graph"), log, model, host);
  model.Listen(&panel);  // before the engine is made: told in the same order
  model.AttachHost(host, std::make_unique<TManualTickTimer>(), std::make_unique<TManualTickTimer>());
  model.Listen(&graph);

  model.Engine()->Start(QStringLiteral("1"));
  // A poll reads the samples recorded up to the position of the poll before.
  device->DeliverFill(128, 40);
  model.Engine()->PollTick();
  model.Engine()->PollTick();
  device->DeliverFill(128 + 100, 40);
  model.Engine()->PollTick();
  log.clear();
  model.Engine()->PollTick();
  // The instrument model records each reading as it measures, the poll once
  // more: the fourth poll's reading is the eighth record.
  EXPECT_EQ(log.join(QLatin1Char('/')).toStdString(), "panel: 8 records, - A/graph: 8 records, - A");
  model.DetachHost();
  EXPECT_EQ(model.Engine(), nullptr);
}

TEST(SessionModel, ALostSoundServerIsToldOncePerLoss) {
  TFakeSpeech* speech = nullptr;
  TSessionModel::SetSpeechFactory([&speech] {
    auto made = std::make_unique<TFakeSpeech>();
    speech = made.get();
    return made;
  });
  TSessionModel model;
  QStringList notices;
  QObject::connect(&model, &TSessionModel::Notice, [&notices](const QString& text) { notices << text; });
  TSpeechOptions options;
  options.SaySelected = true;
  model.Options().Set(options);
  TSessionModel::SetSpeechFactory({});
  ASSERT_NE(speech, nullptr);

  model.WatchSpeech();
  EXPECT_TRUE(notices.isEmpty());
  speech->LostNow = true;
  for (int i = 0; i < 3; ++i) model.WatchSpeech();
  ASSERT_EQ(notices.size(), 1);
  EXPECT_TRUE(notices[0].startsWith(QStringLiteral("Речь прервалась"))) << notices[0].toStdString();
  // Back, then lost again: told again.
  speech->LostNow = false;
  model.WatchSpeech();
  speech->LostNow = true;
  model.WatchSpeech();
  EXPECT_EQ(notices.size(), 2);
}

TEST(SessionModel, SpeechWithoutAServerAtTheStartIsToldOnceAsComingLater) {
  TSessionModel::SetSpeechFactory([] {
    auto made = std::make_unique<TFakeSpeech>();
    made->LostNow = true;
    return made;
  });
  TSessionModel model;
  QStringList notices;
  QObject::connect(&model, &TSessionModel::Notice, [&notices](const QString& text) { notices << text; });
  TSpeechOptions options;
  options.SaySelected = true;
  model.Options().Set(options);
  TSessionModel::SetSpeechFactory({});
  model.WatchSpeech();
  ASSERT_EQ(notices.size(), 1);
  EXPECT_TRUE(notices[0].startsWith(QStringLiteral("Речь пока не звучит"))) << notices[0].toStdString();
}

}  // namespace
