// Speech as real sound: a session with the cue voice on, its speech played
// into the virtual sink of the PulseAudio server of scripts/pulse-start.sh
// and recorded from the sink's monitor. The cue sounds inside each rest and
// never across a move; the same speech, reaching the sensor through the
// virtual source, selects symbols unless the blocking option is on.
#include <QCheckBox>
#include <QSpinBox>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "tests/support/SinkMonitor.h"
#include "MainFixture.h"
#include "speech/DefaultSpeech.h"
#include "windows/Main.h"
#include "windows/Settings.h"

namespace {

using TClock = std::chrono::steady_clock;
double Ms(TClock::time_point t) { return std::chrono::duration<double, std::milli>(t.time_since_epoch()).count(); }

// The platform's speech with the moments of its cues and cuts kept.
class TTimedSpeech : public TSpeech {
public:
  explicit TTimedSpeech(std::unique_ptr<TSpeech> real) : real_(std::move(real)) {}
  std::string Error() const override { return real_->Error(); }
  void SetVoice(TVoice v, const TVoiceSettings& s) override { real_->SetVoice(v, s); }
  void Prepare(const std::vector<std::string>& cues) override { real_->Prepare(cues); }
  void Say(const std::string& text, TVoice voice) override {
    if (voice == TVoice::Cue) Cues.push_back(Ms(TClock::now()));
    real_->Say(text, voice);
  }
  void Cut() override {
    Cuts.push_back(Ms(TClock::now()));
    real_->Cut();
  }
  bool Speaking() const override { return real_->Speaking(); }
  std::vector<double> Cues, Cuts;  // ms of the steady clock

private:
  std::unique_ptr<TSpeech> real_;
};

// Records the virtual sink's monitor: the loudest sample of every 5 ms, with
// the time it was played (read time less the stream's latency).
class TMonitor {
public:
  TMonitor() {
    stream_ = OpenSinkMonitor(kRate, kPiece);
    if (stream_) thread_ = std::thread([this] { Run(); });
  }
  ~TMonitor() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (stream_) pa_simple_free(stream_);
  }
  bool Ok() const { return stream_ != nullptr; }
  // The loudest sample between two times (ms of the steady clock).
  int Peak(double from, double to) {
    std::lock_guard<std::mutex> lock(mutex_);
    int peak = 0;
    for (const auto& [at, level] : pieces_)
      if (at >= from && at < to) peak = std::max(peak, level);
    return peak;
  }
  // The first time after from that a piece is louder than level; -1: none.
  double FirstLoud(double from, double to, int level) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [at, l] : pieces_)
      if (at >= from && at < to && l > level) return at;
    return -1;
  }

private:
  static constexpr uint32_t kRate = 16000;
  static constexpr size_t kPiece = kRate / 200;
  void Run() {
    std::vector<int16_t> piece(kPiece);
    while (!stop_) {
      if (pa_simple_read(stream_, piece.data(), piece.size() * 2, nullptr) < 0) return;
      const double latencyMs = pa_simple_get_latency(stream_, nullptr) / 1000.0;
      int peak = 0;
      for (int16_t s : piece) peak = std::max(peak, std::abs(static_cast<int>(s)));
      std::lock_guard<std::mutex> lock(mutex_);
      pieces_.emplace_back(Ms(TClock::now()) - latencyMs - 5.0, peak);
    }
  }
  pa_simple* stream_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::pair<double, int>> pieces_;
};

class SpeechSound : public MainFixture {
protected:
  void SetUp() override {
    MainFixture::SetUp();
    ASSERT_TRUE(std::getenv("PULSE_SERVER")) << "no sound server: run eval \"$(scripts/pulse-start.sh)\" first";
    TFMain::SetSensorFactory({});  // the platform's capture device
    TFMain::SetSpeechFactory([this] {
      auto speech = std::make_unique<TTimedSpeech>(CreateDefaultSpeech());
      Speech = speech.get();
      return speech;
    });
    // Long and short names, no stop symbol: cues that outlive a rest are cut.
    PresetSymbols({QStringLiteral("Ъ"), QStringLiteral("А"), QStringLiteral("Ь"), QStringLiteral("Б"),
                   QStringLiteral("Й")});
    LiveTimers = true;
  }
  void TearDown() override {
    TFMain::SetSpeechFactory({});
    MainFixture::TearDown();
  }
  // A session with the cue voice at full volume for some rests; the tape's
  // lines it added.
  QStringList Scan(bool block, int rests) {
    Launch(true, false);
    const int before = Tape().size();  // a tape the last run left is brought back
    FSettings->ECueVolume->setValue(100);
    FSettings->CBBlockSensor->setChecked(block);
    FSettings->CBAuditoryScanning->setChecked(true);
    EXPECT_TRUE(Speech && Speech->Available()) << (Speech ? Speech->Error() : "no speech");
    Start(QStringLiteral("0.5"));
    EXPECT_TRUE(FMain->Running());
    RunWhile([&] { return FMain->Running() && static_cast<int>(Speech->Cues.size()) <= rests; }, 60000);
    FMain->BStopClick();
    return Tape().mid(before);
  }
  TTimedSpeech* Speech = nullptr;
};

TEST_F(SpeechSound, CuesSoundInsideEachRestAndNeverAcrossAMove) {
  TMonitor monitor;
  ASSERT_TRUE(monitor.Ok()) << "the virtual sink's monitor cannot be recorded";
  Scan(true, 11);
  RunWhile([] { return true; }, 300);
  ASSERT_GE(Speech->Cues.size(), 11u);
  // Each rest: its cue's first sound, then silence from soon after the move
  // began until the next rest.
  constexpr int kLoud = 300;
  std::vector<double> delays;
  for (size_t i = 0; i + 1 < Speech->Cues.size(); ++i) {
    const double rest = Speech->Cues[i];
    const double next = Speech->Cues[i + 1];
    const auto cut = std::find_if(Speech->Cuts.begin(), Speech->Cuts.end(), [&](double c) { return c > rest; });
    ASSERT_TRUE(cut != Speech->Cuts.end() && *cut < next) << "rest " << i << " was not ended by a cut";
    const double sound = monitor.FirstLoud(rest - 50, *cut, kLoud);
    ASSERT_GE(sound, 0) << "no speech inside rest " << i;
    delays.push_back(sound - rest);
    // The move's frames: 5 × 40 ms after the cut; a cut takes the stream's
    // buffer and a piece to fall silent.
    EXPECT_LE(monitor.Peak(*cut + 40, next - 5), kLoud) << "speech across the move after rest " << i;
  }
  std::sort(delays.begin(), delays.end());
  std::printf("cue delay from arrival to first sound, ms: median %.1f, max %.1f, min %.1f over %zu rests\n",
              delays[delays.size() / 2], delays.back(), delays.front(), delays.size());
  EXPECT_LT(delays[delays.size() / 2], 100.0);
}

TEST_F(SpeechSound, SpeechReachingTheSensorSelectsOnlyWithoutBlocking) {
  EXPECT_FALSE(Scan(false, 10).isEmpty())
      << "speech at this level must be able to select, or the test proves nothing";
  Shutdown();
  const QStringList written = Scan(true, 10);
  EXPECT_TRUE(written.isEmpty()) << written.join('|').toStdString();
}

}  // namespace
