#include "capture/DefaultCaptureDevice.h"

#if defined(_WIN32)
#include "capture/WaveInCapture.h"
#elif defined(QUILLORA_QT_AUDIO_CAPTURE)
#include "capture/QtAudioCapture.h"
#else
#include "capture/NullCaptureDevice.h"
#endif

std::unique_ptr<TCaptureDevice> CreateDefaultCaptureDevice() {
#if defined(_WIN32)
  return CreateWaveInCaptureDevice();
#elif defined(QUILLORA_QT_AUDIO_CAPTURE)
  return std::make_unique<TQtAudioCapture>();
#else
  return std::make_unique<TNullCaptureDevice>();
#endif
}
