#include "PulseAlarm.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>

namespace {

constexpr int kRate = 22050;
// Written in pieces this long, so a silencing is heard at once.
constexpr int kPieceMs = 20;

}  // namespace

TPulseAlarm::~TPulseAlarm() { Stop(); }

bool TPulseAlarm::Start() {
  if (sounding_) return true;
  Stop();  // a player that ended by itself (the server went away)
  const pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, 1};
  pa_buffer_attr attr;
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.tlength = static_cast<uint32_t>(kRate * 2 * 4 * kPieceMs / 1000);
  attr.prebuf = static_cast<uint32_t>(-1);
  attr.minreq = static_cast<uint32_t>(kRate * 2 * kPieceMs / 1000);
  attr.fragsize = static_cast<uint32_t>(-1);
  int error = 0;
  pa_simple* stream = pa_simple_new(nullptr, "Quillora", PA_STREAM_PLAYBACK, nullptr, "Вызов",
                                    &spec, nullptr, &attr, &error);
  if (!stream) {
    SetError(std::string("Сигнал вызова не звучит: нет связи со звуковым сервером (") +
             pa_strerror(error) + ").");
    return false;
  }
  SetError({});
  stop_ = false;
  sounding_ = true;
  player_ = std::thread([this, stream] { Play(stream); });
  return true;
}

void TPulseAlarm::Play(pa_simple* stream) {
  const std::string period = AlarmPeriodPcm(kRate);
  const size_t piece = kRate * 2 * kPieceMs / 1000;
  int error = 0;
  for (size_t at = 0; !stop_;) {
    const size_t n = std::min(piece, period.size() - at);
    if (pa_simple_write(stream, period.data() + at, n, &error) < 0) {
      SetError(std::string("Сигнал вызова прервался: ") + pa_strerror(error) + ".");
      sounding_ = false;
      break;
    }
    at = (at + n) % period.size();
  }
  // What is still buffered is dropped: silenced means silent now.
  pa_simple_flush(stream, &error);
  pa_simple_free(stream);
}

std::string TPulseAlarm::Error() const {
  std::lock_guard<std::mutex> lock(errorMutex_);
  return error_;
}

void TPulseAlarm::SetError(const std::string& text) {
  std::lock_guard<std::mutex> lock(errorMutex_);
  error_ = text;
}

void TPulseAlarm::Stop() {
  stop_ = true;
  if (player_.joinable()) player_.join();
  sounding_ = false;
}
