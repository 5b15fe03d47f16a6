#include "DefaultSpeech.h"

#ifdef QUILLORA_ESPEAK_SPEECH
#include "EspeakSpeech.h"
#else
#include "NullSpeech.h"
#endif

std::unique_ptr<TSpeech> CreateDefaultSpeech() {
#ifdef QUILLORA_ESPEAK_SPEECH
  return std::make_unique<TEspeakSpeech>();
#else
  return std::make_unique<TNullSpeech>();
#endif
}
