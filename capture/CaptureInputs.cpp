#include "capture/CaptureInputs.h"

#if defined(_WIN32)
#include "capture/WaveInInputs.h"
#elif defined(QUILLORA_PULSE_CAPTURE)
#include "capture/PulseCapture.h"
#endif

TCaptureInputs::~TCaptureInputs() = default;

namespace {

// A platform whose back end cannot choose a device: nothing to list.
class TNoCaptureInputs : public TCaptureInputs {
public:
  bool List(std::vector<TCaptureInput>& inputs) override {
    inputs.clear();
    return false;
  }
};

}  // namespace

std::unique_ptr<TCaptureInputs> CreateDefaultCaptureInputs() {
#if defined(_WIN32)
  return std::make_unique<TWaveInInputs>();
#elif defined(QUILLORA_PULSE_CAPTURE)
  return std::make_unique<TPulseInputs>();
#else
  return std::make_unique<TNoCaptureInputs>();
#endif
}
