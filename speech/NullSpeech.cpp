#include "NullSpeech.h"

std::string TNullSpeech::Error() const {
  return "Речь недоступна: нет синтезатора речи. Программа работает без звука.";
}
