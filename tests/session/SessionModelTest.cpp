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

// A model whose speech is a fake (lost from the start or not), switched on,
// with the notices it gave.
struct TSpeakingModel {
  explicit TSpeakingModel(bool lostAtStart) {
    TSessionModel::SetSpeechFactory([this, lostAtStart] {
      auto made = std::make_unique<TFakeSpeech>();
      made->LostNow = lostAtStart;
      Speech = made.get();
      return made;
    });
    QObject::connect(&Model, &TSessionModel::Notice, [this](const QString& text) { Notices << text; });
    TSpeechOptions options;
    options.SaySelected = true;
    Model.Options().Set(options);
    TSessionModel::SetSpeechFactory({});
  }
  TSessionModel Model;
  TFakeSpeech* Speech = nullptr;
  QStringList Notices;
};

TEST(SessionModel, ALostSoundServerIsToldOncePerLoss) {
  TSpeakingModel m(false);
  ASSERT_NE(m.Speech, nullptr);
  m.Model.WatchSpeech();
  EXPECT_TRUE(m.Notices.isEmpty());
  m.Speech->LostNow = true;
  for (int i = 0; i < 3; ++i) m.Model.WatchSpeech();
  ASSERT_EQ(m.Notices.size(), 1);
  EXPECT_TRUE(m.Notices[0].startsWith(QStringLiteral("Речь прервалась"))) << m.Notices[0].toStdString();
  // Back, then lost again: told again.
  m.Speech->LostNow = false;
  m.Model.WatchSpeech();
  m.Speech->LostNow = true;
  m.Model.WatchSpeech();
  EXPECT_EQ(m.Notices.size(), 2);
}

TEST(SessionModel, SpeechWithoutAServerAtTheStartIsToldOnceAsComingLater) {
  TSpeakingModel m(true);
  m.Model.WatchSpeech();
  ASSERT_EQ(m.Notices.size(), 1);
  EXPECT_TRUE(m.Notices[0].startsWith(QStringLiteral("Речь пока не звучит"))) << m.Notices[0].toStdString();
}

}  // namespace
