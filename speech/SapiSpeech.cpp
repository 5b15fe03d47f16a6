#include "SapiSpeech.h"

#include <algorithm>
#include <cmath>

#include <windows.h>
#include <initguid.h>
#include <sapi.h>

namespace {

// The registry category SAPI keeps its voices in.
const wchar_t kVoicesCategory[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices";

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring out(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &out[0], n);
  return out;
}

// The first installed voice whose language is Russian (0x419), or null.
ISpObjectToken* RussianVoice() {
  ISpObjectTokenCategory* category = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL,
                              IID_ISpObjectTokenCategory, reinterpret_cast<void**>(&category))))
    return nullptr;
  ISpObjectToken* token = nullptr;
  IEnumSpObjectTokens* tokens = nullptr;
  if (SUCCEEDED(category->SetId(kVoicesCategory, FALSE)) &&
      SUCCEEDED(category->EnumTokens(L"Language=419", nullptr, &tokens)) && tokens) {
    ULONG fetched = 0;
    if (tokens->Next(1, &token, &fetched) != S_OK || fetched != 1) token = nullptr;
    tokens->Release();
  }
  category->Release();
  return token;
}

}  // namespace

TSapiSpeech::TSapiSpeech() {
  // RPC_E_CHANGED_MODE: COM is already up in another mode on this thread,
  // which serves as well; only a successful start is ended again.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  comStarted_ = SUCCEEDED(com);
  for (ISpVoice** voice : {&cue_, &main_}) {
    if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                                reinterpret_cast<void**>(voice)))) {
      *voice = nullptr;
      error_ = "Речь недоступна: нет синтезатора речи Windows. Программа работает без звука.";
      Release();
      return;
    }
  }
  ISpObjectToken* russian = RussianVoice();
  if (!russian || FAILED(cue_->SetVoice(russian)) || FAILED(main_->SetVoice(russian))) {
    error_ = "Речь недоступна: в Windows не установлен русский голос. Программа работает без звука.";
    if (russian) russian->Release();
    Release();
    return;
  }
  russian->Release();
  // The main voice speaks over the cue voice instead of queuing behind it.
  main_->SetPriority(SPVPRI_OVER);
}

TSapiSpeech::~TSapiSpeech() {
  Release();
  if (comStarted_) CoUninitialize();
}

void TSapiSpeech::Release() {
  for (ISpVoice** voice : {&cue_, &main_}) {
    if (*voice) {
      (*voice)->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
      (*voice)->Release();
      *voice = nullptr;
    }
  }
}

void TSapiSpeech::SetVoice(TVoice voice, const TVoiceSettings& settings) {
  ISpVoice* v = VoiceFor(voice);
  if (!v) return;
  if (voice == TVoice::Cue) cueRate_ = settings.Rate > 0 ? settings.Rate : 170;
  v->SetVolume(USHORT(std::clamp(settings.Volume, 0, 100)));
  // SAPI's rate runs from -10 to 10, about 180 words per minute at 0 and
  // about three times faster or slower at the ends.
  const double words = settings.Rate > 0 ? settings.Rate : 170;
  long rate = long(10.0 * std::log(words / 180.0) / std::log(3.0) + (words >= 180 ? 0.5 : -0.5));
  v->SetRate(std::clamp(rate, -10L, 10L));
}

void TSapiSpeech::Say(const std::string& text, TVoice voice) {
  ISpVoice* v = VoiceFor(voice);
  if (!v || text.empty()) return;
  const std::wstring wide = Wide(text);
  // A new cue replaces the one playing or waiting; main texts queue.
  const DWORD flags = SPF_ASYNC | SPF_IS_NOT_XML | (voice == TVoice::Cue ? SPF_PURGEBEFORESPEAK : 0);
  v->Speak(wide.c_str(), flags, nullptr);
  lastHeard_ = std::chrono::steady_clock::now();
}

void TSapiSpeech::Cut() {
  if (cue_) cue_->Speak(nullptr, SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
}

bool TSapiSpeech::Speaking() const {
  const auto now = std::chrono::steady_clock::now();
  for (ISpVoice* v : {cue_, main_}) {
    SPVOICESTATUS status{};
    if (v && SUCCEEDED(v->GetStatus(&status, nullptr)) && status.dwRunningState == SPRS_IS_SPEAKING)
      lastHeard_ = now;
  }
  return lastHeard_ != std::chrono::steady_clock::time_point{} && now - lastHeard_ < tail_;
}

void TSapiSpeech::SetEchoMs(int ms) { tail_ = std::chrono::milliseconds(std::max(ms, 0)); }

int TSapiSpeech::CueMs(const std::string& text) {
  if (!cue_ || text.empty()) return 0;
  // SAPI tells a text's length only by speaking it: an estimate from its
  // characters at the cue voice's rate (a Russian name of a symbol takes
  // about 73 ms a character at 220 words per minute).
  size_t characters = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++characters;
  return static_cast<int>(characters * 16000 / static_cast<size_t>(std::max(cueRate_, 1)));
}
