#include "EspeakSpeech.h"

#include <espeak-ng/speak_lib.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using TClock = std::chrono::steady_clock;
using TPcm = std::vector<int16_t>;
using TCue = std::shared_ptr<const TPcm>;

// The stream's buffer: small, so a cut is heard at once and a cue starts
// soon after it is written.
constexpr int kBufferMs = 30;
// Pieces written between checks for a cut.
constexpr int kPieceMs = 10;
// After the last sample has left the buffer: the way from the speaker back
// to a microphone and through the capture, unless SetEchoMs says otherwise.
constexpr int kEchoMs = TSpeech::DefaultEchoMs;
// Samples quieter than this at the ends of a text are silence.
constexpr int kSilence = 100;
// After a failed attempt to reach a lost server, texts are dropped this long
// before the next attempt.
constexpr int kRetryMs = 1000;

// espeak-ng is one engine per process.
std::mutex EngineMutex;
int EngineRate = 0;  // samples per second; 0 before the first start, <0 failed

int Collect(short* wav, int count, espeak_EVENT* events) {
  auto* pcm = events ? static_cast<TPcm*>(events->user_data) : nullptr;
  if (wav && count > 0 && pcm) pcm->insert(pcm->end(), wav, wav + count);
  return 0;
}

}  // namespace

struct TEspeakSpeech::TWorker {
  std::mutex Mutex;
  std::condition_variable Wake;
  // Set under Mutex, so the wait's predicate cannot miss it; read without it
  // by Play between pieces.
  std::atomic<bool> Quit{false};
  std::deque<std::string> MainTexts;
  std::optional<std::string> Cue;
  std::deque<std::string> ToPrepare;
  TVoiceSettings Voices[2] = {{40, 220}, {100, 170}};
  // Counts cuts and new cues: a cue plays while it stands where it started.
  std::atomic<unsigned> CueTurn{0};

  std::string ErrorText;
  std::atomic<bool> Playing{false};
  std::atomic<int64_t> QuietFrom{0};  // steady-clock ns when the last sound is over
  std::atomic<int> EchoMs{kEchoMs};

  pa_simple* Stream = nullptr;
  int Rate = 0;
  // The server went away after a good start; no stream until it is back.
  std::atomic<bool> LostServer{false};
  TClock::time_point NextTry{};
  // Prepared cues, at the cue voice's rate; the worker plays them and the
  // caller's CueMs measures them.
  std::mutex CueMutex;
  std::map<std::string, TCue> Cues;
  int CueRate = 0;  // the rate the prepared cues were made at
  std::thread Thread;

  std::string Start();
  // Opens the playback stream; the server's error text when it cannot.
  std::string OpenStream();
  // Whether a stream is open, opening a new one after a loss when it is time.
  bool StreamReady();
  void Run();
  TPcm Synthesise(const std::string& text, int rate);
  // Plays the samples at a volume; a cue stops when its turn has passed.
  void Play(const TPcm& pcm, int volume, bool cue, unsigned turn);
  // The cue made at rate, made now when it was not.
  TCue PreparedCue(const std::string& text, int rate);
};

std::string TEspeakSpeech::TWorker::Start() {
  {
    std::lock_guard<std::mutex> lock(EngineMutex);
    if (EngineRate == 0) {
      const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
      EngineRate = rate > 0 ? rate : -1;
      if (rate > 0) espeak_SetSynthCallback(Collect);
    }
    if (EngineRate < 0) return "Речь недоступна: синтезатор espeak-ng не найден. Программа работает без звука.";
    if (espeak_SetVoiceByName("ru") != EE_OK)
      return "Речь недоступна: нет русского голоса espeak-ng. Программа работает без звука.";
    Rate = EngineRate;
  }
  // Without a sound server the speech is lost from the start: each text
  // tries again, as after a loss, so it is heard once the server is up.
  if (!OpenStream().empty()) {
    LostServer = true;
    NextTry = TClock::now();
  }
  return {};
}

std::string TEspeakSpeech::TWorker::OpenStream() {
  const pa_sample_spec spec{PA_SAMPLE_S16LE, static_cast<uint32_t>(Rate), 1};
  pa_buffer_attr attr;
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.tlength = static_cast<uint32_t>(Rate * 2 * kBufferMs / 1000);
  // After a pause or a cut the stream waits for a buffer's worth before it
  // plays: written at once, so it costs no time. (Without it, samples
  // written after a pause would land behind the read position and be lost.)
  attr.prebuf = static_cast<uint32_t>(-1);
  attr.minreq = static_cast<uint32_t>(Rate * 2 * kPieceMs / 1000);
  attr.fragsize = static_cast<uint32_t>(-1);
  int error = 0;
  Stream = pa_simple_new(nullptr, "Quillora", PA_STREAM_PLAYBACK, nullptr, "Речь", &spec, nullptr,
                         &attr, &error);
  return Stream ? std::string() : std::string(pa_strerror(error));
}

bool TEspeakSpeech::TWorker::StreamReady() {
  if (Stream) return true;
  if (TClock::now() < NextTry) return false;
  if (OpenStream().empty()) {
    LostServer = false;
    return true;
  }
  NextTry = TClock::now() + std::chrono::milliseconds(kRetryMs);
  return false;
}

TPcm TEspeakSpeech::TWorker::Synthesise(const std::string& text, int rate) {
  TPcm pcm;
  std::lock_guard<std::mutex> lock(EngineMutex);
  espeak_SetParameter(espeakRATE, std::clamp(rate, 80, 450), 0);
  espeak_SetParameter(espeakVOLUME, 100, 0);
  espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &pcm);
  // The engine's silence at both ends only delays the sound.
  const auto loud = [](int16_t s) { return std::abs(s) > kSilence; };
  const auto first = std::find_if(pcm.begin(), pcm.end(), loud);
  const auto last = std::find_if(pcm.rbegin(), pcm.rend(), loud).base();
  return first < last ? TPcm(first, last) : TPcm();
}

TCue TEspeakSpeech::TWorker::PreparedCue(const std::string& text, int rate) {
  {
    std::lock_guard<std::mutex> lock(CueMutex);
    if (rate != CueRate) {
      Cues.clear();
      CueRate = rate;
    }
    const auto found = Cues.find(text);
    if (found != Cues.end()) return found->second;
  }
  // Made outside the lock: the other thread may make the same cue meanwhile,
  // and the first one kept is the one both use.
  auto made = std::make_shared<const TPcm>(Synthesise(text, rate));
  std::lock_guard<std::mutex> lock(CueMutex);
  if (rate != CueRate) return made;
  return Cues.emplace(text, std::move(made)).first->second;
}

void TEspeakSpeech::TWorker::Play(const TPcm& pcm, int volume, bool cue, unsigned turn) {
  if (!StreamReady()) {
    Playing = false;
    return;
  }
  const size_t piece = static_cast<size_t>(Rate * kPieceMs / 1000);
  const int gain = std::clamp(volume, 0, 100);
  TPcm scaled(piece);
  Playing = true;
  bool cut = false;
  for (size_t at = 0; at < pcm.size(); at += piece) {
    if (Quit || (cue && CueTurn != turn)) {
      cut = true;
      break;
    }
    const size_t n = std::min(piece, pcm.size() - at);
    for (size_t k = 0; k < n; ++k) scaled[k] = static_cast<int16_t>(pcm[at + k] * gain / 100);
    // Counted as sound from the first piece, for the way back to a microphone.
    QuietFrom = (TClock::now() + std::chrono::milliseconds(kBufferMs + EchoMs)).time_since_epoch().count();
    int error = 0;
    if (pa_simple_write(Stream, scaled.data(), n * sizeof(int16_t), &error) < 0) {
      // The server is gone: the next text tries a new stream at once.
      pa_simple_free(Stream);
      Stream = nullptr;
      NextTry = TClock::now();
      LostServer = true;
      break;
    }
  }
  int error = 0;
  if (cut && Stream) pa_simple_flush(Stream, &error);
  QuietFrom = (TClock::now() + std::chrono::milliseconds(cut ? EchoMs.load() : kBufferMs + EchoMs.load()))
                  .time_since_epoch().count();
  Playing = false;
}

void TEspeakSpeech::TWorker::Run() {
  std::unique_lock<std::mutex> lock(Mutex);
  for (;;) {
    Wake.wait(lock, [this] { return Quit || !MainTexts.empty() || Cue || !ToPrepare.empty(); });
    if (Quit) return;
    if (!MainTexts.empty()) {
      const std::string text = MainTexts.front();
      MainTexts.pop_front();
      Playing = true;
      const TVoiceSettings voice = Voices[1];
      lock.unlock();
      Play(Synthesise(text, voice.Rate), voice.Volume, false, 0);
      lock.lock();
    } else if (Cue) {
      const std::string text = *Cue;
      Cue.reset();
      Playing = true;
      const unsigned turn = CueTurn;
      const TVoiceSettings voice = Voices[0];
      lock.unlock();
      const TCue pcm = PreparedCue(text, voice.Rate);
      Play(*pcm, voice.Volume, true, turn);
      lock.lock();
    } else {
      const std::string text = ToPrepare.front();
      ToPrepare.pop_front();
      const int rate = Voices[0].Rate;
      lock.unlock();
      PreparedCue(text, rate);
      lock.lock();
    }
  }
}

TEspeakSpeech::TEspeakSpeech() : worker_(std::make_unique<TWorker>()) {
  std::promise<std::string> started;
  std::future<std::string> result = started.get_future();
  worker_->Thread = std::thread([w = worker_.get(), &started] {
    const std::string error = w->Start();
    started.set_value(error);
    if (error.empty()) w->Run();
  });
  worker_->ErrorText = result.get();
}

TEspeakSpeech::~TEspeakSpeech() {
  {
    std::lock_guard<std::mutex> lock(worker_->Mutex);
    worker_->Quit = true;
  }
  worker_->Wake.notify_all();
  worker_->Thread.join();
  if (worker_->Stream) {
    int error = 0;
    pa_simple_flush(worker_->Stream, &error);
    pa_simple_free(worker_->Stream);
  }
}

std::string TEspeakSpeech::Error() const { return worker_->ErrorText; }

void TEspeakSpeech::SetVoice(TVoice voice, const TVoiceSettings& settings) {
  std::lock_guard<std::mutex> lock(worker_->Mutex);
  worker_->Voices[voice == TVoice::Cue ? 0 : 1] = settings;
}

void TEspeakSpeech::Prepare(const std::vector<std::string>& cues) {
  if (!Available()) return;
  {
    std::lock_guard<std::mutex> lock(worker_->Mutex);
    worker_->ToPrepare.assign(cues.begin(), cues.end());
  }
  worker_->Wake.notify_one();
}

void TEspeakSpeech::Say(const std::string& text, TVoice voice) {
  if (!Available() || text.empty()) return;
  {
    std::lock_guard<std::mutex> lock(worker_->Mutex);
    if (voice == TVoice::Main) {
      worker_->MainTexts.push_back(text);
    } else {
      ++worker_->CueTurn;
      worker_->Cue = text;
    }
  }
  worker_->Wake.notify_one();
}

void TEspeakSpeech::Cut() {
  std::lock_guard<std::mutex> lock(worker_->Mutex);
  ++worker_->CueTurn;
  worker_->Cue.reset();
}

void TEspeakSpeech::SetEchoMs(int ms) { worker_->EchoMs = std::max(ms, 0); }

int TEspeakSpeech::CueMs(const std::string& text) {
  if (!Available() || text.empty()) return 0;
  int rate = 0;
  {
    std::lock_guard<std::mutex> lock(worker_->Mutex);
    rate = worker_->Voices[0].Rate;
  }
  const TCue pcm = worker_->PreparedCue(text, rate);
  return static_cast<int>(pcm->size() * 1000 / static_cast<size_t>(worker_->Rate));
}

bool TEspeakSpeech::Lost() const { return worker_->LostServer; }

bool TEspeakSpeech::Speaking() const {
  // Also a text handed over but not yet started: its sound is on the way.
  std::lock_guard<std::mutex> lock(worker_->Mutex);
  return worker_->Playing || worker_->Cue || !worker_->MainTexts.empty() ||
         TClock::now().time_since_epoch().count() < worker_->QuietFrom;
}
