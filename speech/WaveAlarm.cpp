#include "WaveAlarm.h"

namespace {
constexpr int kRate = 22050;
}

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
