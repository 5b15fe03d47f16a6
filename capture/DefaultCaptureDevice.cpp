#include "capture/DefaultCaptureDevice.h"

#if defined(_WIN32)
#include "capture/WaveInCapture.h"
#elif defined(QUILLORA_PULSE_CAPTURE)
#include "capture/PulseCapture.h"
#else
#include "capture/NullCaptureDevice.h"
#endif

std::unique_ptr<TCaptureDevice> CreateDefaultCaptureDevice() {
#if defined(_WIN32)
  return CreateWaveInCaptureDevice();
#elif defined(QUILLORA_PULSE_CAPTURE)
  return std::make_unique<TPulseCapture>();
#else
  return std::make_unique<TNullCaptureDevice>();
#endif
}
