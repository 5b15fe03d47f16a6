#include "capture/WaveInCapture.h"

#include "capture/WaveInInputs.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>

struct TWaveInCapture::TWaveIn {
  HWAVEIN handle = nullptr;
  WAVEHDR header{};       // fixed address while prepared: the driver writes it
  bool prepared = false;  // header prepared, possibly queued
  bool failed = false;    // the started device stopped answering
};

TWaveInCapture::TWaveInCapture() : in_(std::make_unique<TWaveIn>()) {}

TWaveInCapture::~TWaveInCapture() { Close(); }

bool TWaveInCapture::Open() {
  Close();
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = 8000;
  format.nAvgBytesPerSec = 8000;
  format.nBlockAlign = 1;
  format.wBitsPerSample = 8;
  format.cbSize = 0;
  // Device numbers change when devices come and go: the name is looked up
  // at every open.
  int device = selected_.empty() ? -1 : WaveInDeviceNumber(selected_);
  const bool missing = !selected_.empty() && device < 0;
  inUse_.clear();
  HWAVEIN handle = nullptr;
  if (waveInOpen(&handle, device < 0 ? WAVE_MAPPER : UINT(device), &format, 0, 0, CALLBACK_NULL) !=
      MMSYSERR_NOERROR) {
    in_->handle = nullptr;
    return false;
  }
  in_->handle = handle;
  if (device < 0) device = PreferredWaveInDevice();
  const std::vector<std::string> names = WaveInDeviceNames();
  inUse_ = device >= 0 && size_t(device) < names.size() ? names[size_t(device)] : std::string();
  if (missing && OnInputMissing) OnInputMissing(selected_);
  return true;
}

void TWaveInCapture::SelectInput(const std::string& name) { selected_ = name; }

std::string TWaveInCapture::InputInUse() const { return inUse_; }

bool TWaveInCapture::AddBuffer(uint8_t* data, int size) {
  if (!in_->handle || !data || size <= 0) return false;
  if (in_->prepared) Reset();
  WAVEHDR& header = in_->header;
  header = WAVEHDR{};
  header.lpData = reinterpret_cast<LPSTR>(data);
  header.dwBufferLength = static_cast<DWORD>(size);
  header.dwFlags = 0;
  header.dwLoops = 1;
  if (waveInPrepareHeader(in_->handle, &header, sizeof header) !=
      MMSYSERR_NOERROR)
    return false;
  in_->prepared = true;
  if (waveInAddBuffer(in_->handle, &header, sizeof header) !=
      MMSYSERR_NOERROR) {
    waveInUnprepareHeader(in_->handle, &header, sizeof header);
    in_->prepared = false;
    return false;
  }
  return true;
}

bool TWaveInCapture::Start() {
  if (!in_->handle || !in_->prepared) return false;
  in_->failed = false;
  return waveInStart(in_->handle) == MMSYSERR_NOERROR;
}

int TWaveInCapture::Position() {
  if (!in_->handle || !in_->prepared) return 0;
  MMTIME time{};
  time.wType = TIME_BYTES;
  if (waveInGetPosition(in_->handle, &time, sizeof time) != MMSYSERR_NOERROR) {
    // A device that was removed answers with an error from then on.
    in_->failed = true;
    return 0;
  }
  // A driver may answer in another unit; one sample is one byte, 8 per ms.
  unsigned long long bytes = 0;
  switch (time.wType) {
    case TIME_BYTES: bytes = time.u.cb; break;
    case TIME_SAMPLES: bytes = time.u.sample; break;
    case TIME_MS: bytes = static_cast<unsigned long long>(time.u.ms) * 8; break;
    default: return 0;
  }
  // Never report more than the buffer holds, whatever the device counts.
  const DWORD length = in_->header.dwBufferLength;
  return static_cast<int>(bytes < length ? bytes : length);
}

bool TWaveInCapture::BufferDone() {
  // The driver sets the done bit from its own thread.
  const volatile DWORD& flags = in_->header.dwFlags;
  return in_->prepared && (flags & WHDR_DONE) != 0;
}

bool TWaveInCapture::Failed() { return in_->prepared && in_->failed; }

void TWaveInCapture::Reset() {
  if (!in_->handle) return;
  waveInReset(in_->handle);
  if (in_->prepared) {
    waveInUnprepareHeader(in_->handle, &in_->header, sizeof in_->header);
    in_->prepared = false;
  }
}

void TWaveInCapture::Close() {
  if (in_->handle) {
    Reset();
    waveInClose(in_->handle);
    in_->handle = nullptr;
  }
  in_->header.lpData = nullptr;
}

std::unique_ptr<TCaptureDevice> CreateWaveInCaptureDevice() {
  return std::make_unique<TWaveInCapture>();
}
