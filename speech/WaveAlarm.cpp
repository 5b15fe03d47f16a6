#include "WaveAlarm.h"

#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

namespace {

constexpr int kRate = 22050;

class TWaveAlarm : public TAlarm {
public:
  ~TWaveAlarm() override { Stop(); }
  bool Start() override;
  void Stop() override;
  bool Sounding() const override { return out_ != nullptr; }
  std::string Error() const override { return error_; }

private:
  HWAVEOUT out_ = nullptr;
  WAVEHDR header_{};
  std::string pcm_;
  std::string error_;
};

bool TWaveAlarm::Start() {
  if (out_) return true;
  pcm_ = AlarmPeriodPcm(kRate);
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = kRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = kRate * 2;
  if (waveOutOpen(&out_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
    out_ = nullptr;
    error_ = "Сигнал вызова не звучит: нет устройства вывода звука.";
    return false;
  }
  header_ = WAVEHDR{};
  header_.lpData = &pcm_[0];
  header_.dwBufferLength = static_cast<DWORD>(pcm_.size());
  header_.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
  header_.dwLoops = 0xFFFFFFFF;  // until silenced
  if (waveOutPrepareHeader(out_, &header_, sizeof header_) != MMSYSERR_NOERROR ||
      waveOutWrite(out_, &header_, sizeof header_) != MMSYSERR_NOERROR) {
    waveOutClose(out_);
    out_ = nullptr;
    error_ = "Сигнал вызова не звучит: устройство вывода звука его не приняло.";
    return false;
  }
  error_.clear();
  return true;
}

void TWaveAlarm::Stop() {
  if (!out_) return;
  waveOutReset(out_);
  waveOutUnprepareHeader(out_, &header_, sizeof header_);
  waveOutClose(out_);
  out_ = nullptr;
}

}  // namespace

std::unique_ptr<TAlarm> CreateWaveAlarm() { return std::make_unique<TWaveAlarm>(); }
