#include "DefaultSpeech.h"

#if defined(QUILLORA_ESPEAK_SPEECH)
#include "EspeakSpeech.h"
#elif defined(_WIN32)
#include "SapiSpeech.h"
#else
#include "NullSpeech.h"
#endif

std::unique_ptr<TSpeech> CreateDefaultSpeech() {
#if defined(QUILLORA_ESPEAK_SPEECH)
  return std::make_unique<TEspeakSpeech>();
#elif defined(_WIN32)
  return std::make_unique<TSapiSpeech>();
#else
  return std::make_unique<TNullSpeech>();
#endif
}
