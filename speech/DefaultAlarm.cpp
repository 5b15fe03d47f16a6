#include "Alarm.h"

#if defined(QUILLORA_ESPEAK_SPEECH)
#include "PulseAlarm.h"
#elif defined(_WIN32)
#include "WaveAlarm.h"
#else
#include "NullAlarm.h"
#endif

std::unique_ptr<TAlarm> CreateDefaultAlarm() {
#if defined(QUILLORA_ESPEAK_SPEECH)
  return std::make_unique<TPulseAlarm>();
#elif defined(_WIN32)
  return CreateWaveAlarm();
#else
  return std::make_unique<TNullAlarm>();
#endif
}
