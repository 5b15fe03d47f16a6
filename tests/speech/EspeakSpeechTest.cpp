// espeak-ng's voice as real sound: played into the virtual sink of the
// PulseAudio server of scripts/pulse-start.sh and recorded from its monitor.
// Closing the speech and cutting cues work across its worker thread, so these
// tests also run under ThreadSanitizer (scripts/tsan-tests.sh).
#include <gtest/gtest.h>
#include <pulse/simple.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/SinkMonitor.h"
#include "speech/EspeakSpeech.h"

namespace {

// Records the virtual sink's monitor in 10 ms pieces, on the calling thread.
// Pieces count the sound's own time, however late they are read.
class TSinkMonitor {
public:
  TSinkMonitor() {
    stream_ = OpenSinkMonitor(kRate, kPiece);
  }
  ~TSinkMonitor() {
    if (stream_) pa_simple_free(stream_);
  }
  bool Ok() const { return stream_ != nullptr; }
  // The loudest sample of the next piece; -1 when the stream fails.
  int NextPeak() {
    std::vector<int16_t> piece(kPiece);
    if (pa_simple_read(stream_, piece.data(), piece.size() * 2, nullptr) < 0) return -1;
    int peak = 0;
    for (int16_t s : piece) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
  }
  static constexpr int PiecesPerSecond = 100;

private:
  static constexpr uint32_t kRate = 16000;
  static constexpr size_t kPiece = kRate / PiecesPerSecond;
  pa_simple* stream_ = nullptr;
};

constexpr int kLoud = 1000;

class EspeakSpeech : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(std::getenv("PULSE_SERVER"))
        << "no sound server: run eval \"$(scripts/pulse-start.sh)\" first";
    speech = std::make_unique<TEspeakSpeech>();
    ASSERT_TRUE(speech->Available()) << speech->Error();
  }
  std::unique_ptr<TEspeakSpeech> speech;
};

TEST_F(EspeakSpeech, ClosingWhileATextPlaysSilencesItAtOnce) {
  TSinkMonitor monitor;
  ASSERT_TRUE(monitor.Ok()) << "the virtual sink's monitor cannot be recorded";
  // Some fifteen seconds of speech: closed after its first sound, it must
  // not play on.
  std::string text;
  for (int i = 0; i < 4; ++i) text += "съешь же ещё этих мягких французских булок, да выпей чаю. ";
  speech->Say(text, TVoice::Main);
  int waited = 0;
  while (waited < 30 * TSinkMonitor::PiecesPerSecond && monitor.NextPeak() < kLoud) ++waited;
  ASSERT_LT(waited, 30 * TSinkMonitor::PiecesPerSecond) << "the speech never reached the sink";

  speech.reset();
  // What still sounds: the pieces under way when the close came, not the
  // rest of the text.
  int lastLoud = 0;
  for (int piece = 1; piece - lastLoud < TSinkMonitor::PiecesPerSecond; ++piece) {
    const int peak = monitor.NextPeak();
    ASSERT_GE(peak, 0) << "the monitor stream failed";
    if (peak >= kLoud) lastLoud = piece;
  }
  EXPECT_LT(lastLoud, 3 * TSinkMonitor::PiecesPerSecond);
}

TEST_F(EspeakSpeech, CuesCutAtRandomLeaveItQuiet) {
  speech->Prepare({"а", "бэ", "вэ"});
  const char* cues[] = {"а", "бэ", "вэ", "гэ"};
  for (int i = 0; i < 40; ++i) {
    if (i % 10 == 0)
      speech->SetVoice(TVoice::Cue, {60 + i, 200 + i});  // a new rate: cues made anew
    speech->Say(cues[i % 4], TVoice::Cue);
    if (i % 3 == 0) speech->Cut();
    // Calls a few milliseconds apart meet the worker in every state.
    std::this_thread::sleep_for(std::chrono::milliseconds(i % 7));
  }
  speech->Cut();
  // Only a guard against a hang: quiet comes a buffer and a tail after the cut.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (speech->Speaking() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(speech->Speaking());
}

// A PulseAudio server of the test's own (scripts/pulse-start.sh), so the
// server the other tests use is never touched; the environment points at
// the latest one started and is restored at the end.
class TOwnServers {
public:
  TOwnServers() {
    for (const char* name : kEnv) saved_.emplace_back(std::getenv(name) ? std::getenv(name) : "");
  }
  ~TOwnServers() {
    for (const std::string& dir : started_) {
      setenv("QUILLORA_PULSE_DIR", dir.c_str(), 1);
      std::system("sh " QUILLORA_SCRIPTS "/pulse-stop.sh >/dev/null 2>&1");
    }
    for (size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i].empty())
        unsetenv(kEnv[i]);
      else
        setenv(kEnv[i], saved_[i].c_str(), 1);
    }
  }
  // Lines "export NAME='value'" of pulse-start.sh become the environment.
  bool Start() {
    FILE* out = popen("sh " QUILLORA_SCRIPTS "/pulse-start.sh", "r");
    if (!out) return false;
    char line[4096];
    std::string dir;
    while (std::fgets(line, sizeof line, out)) {
      std::string l(line);
      const size_t eq = l.find('=');
      if (l.rfind("export ", 0) != 0 || eq == std::string::npos) continue;
      std::string value = l.substr(eq + 1);
      value.erase(std::remove_if(value.begin(), value.end(), [](char c) { return c == '\'' || c == '\n'; }),
                  value.end());
      const std::string name = l.substr(7, eq - 7);
      setenv(name.c_str(), value.c_str(), 1);
      if (name == "QUILLORA_PULSE_DIR") dir = value;
    }
    if (pclose(out) != 0 || dir.empty()) return false;
    started_.push_back(dir);
    return true;
  }
  // Kills the latest server and its monitor reader at once.
  void Kill() {
    for (const char* file : {"/quillora-server.pid", "/quillora-monitor-reader.pid"}) {
      std::ifstream in(started_.back() + file);
      long pid = 0;
      if (in >> pid && pid > 0) ::kill(static_cast<pid_t>(pid), SIGKILL);
    }
  }

private:
  static constexpr const char* kEnv[] = {"QUILLORA_PULSE_DIR", "XDG_RUNTIME_DIR", "PULSE_RUNTIME_PATH",
                                         "PULSE_SERVER"};
  std::vector<std::string> saved_;
  std::vector<std::string> started_;
};

// Says a text until the sink's monitor hears it; false after `tries` texts.
bool HeardAfterSaying(TSpeech& speech, int tries) {
  TSinkMonitor monitor;
  if (!monitor.Ok()) return false;
  for (int i = 0; i < tries; ++i) {
    speech.Say("проверка связи", TVoice::Main);
    // A text lasts under a second; listen for two.
    for (int piece = 0; piece < 2 * TSinkMonitor::PiecesPerSecond; ++piece) {
      const int peak = monitor.NextPeak();
      if (peak < 0) return false;
      if (peak >= kLoud) return true;
    }
  }
  return false;
}

TEST(EspeakSpeechServer, SpeechComesBackWhenTheServerDoesAndSaysItWasLost) {
  TOwnServers servers;
  ASSERT_TRUE(servers.Start()) << "cannot start a PulseAudio server";
  TEspeakSpeech speech;
  ASSERT_TRUE(speech.Available()) << speech.Error();
  ASSERT_TRUE(HeardAfterSaying(speech, 3));
  EXPECT_FALSE(speech.Lost());

  servers.Kill();
  // The loss is seen by the first text played after it.
  for (int i = 0; i < 100 && !speech.Lost(); ++i) {
    speech.Say("никто не слышит", TVoice::Main);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(speech.Lost());

  // A new server (the desktop's would come back at the same address; here
  // the environment points at the new one, and each connection reads it).
  ASSERT_TRUE(servers.Start()) << "cannot start a second PulseAudio server";
  // Texts are dropped for a second after each failed attempt; a few texts
  // reach the new server.
  EXPECT_TRUE(HeardAfterSaying(speech, 10));
  EXPECT_FALSE(speech.Lost());
}

TEST(EspeakSpeechServer, SpeechStartedWithoutAServerIsHeardOnceOneComes) {
  TOwnServers servers;
  // No server answers at this address.
  setenv("PULSE_SERVER", "unix:/nonexistent/quillora-no-server", 1);
  TEspeakSpeech speech;
  ASSERT_TRUE(speech.Available()) << speech.Error();
  EXPECT_TRUE(speech.Lost());
  ASSERT_TRUE(servers.Start()) << "cannot start a PulseAudio server";
  EXPECT_TRUE(HeardAfterSaying(speech, 10));
  EXPECT_FALSE(speech.Lost());
}

}  // namespace
