#pragma once
// A recording stream on the monitor of the test server's virtual sink "v"
// (scripts/pulse-start.sh): 16-bit mono at rate, delivered in pieces of
// pieceSamples. nullptr when there is no server.

#include <pulse/simple.h>

#include <cstddef>
#include <cstdint>

inline pa_simple* OpenSinkMonitor(uint32_t rate, size_t pieceSamples) {
  const pa_sample_spec spec{PA_SAMPLE_S16LE, rate, 1};
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.fragsize = static_cast<uint32_t>(pieceSamples * 2);
  return pa_simple_new(nullptr, "speech-test", PA_STREAM_RECORD, "v.monitor", "monitor", &spec, nullptr,
                       &attr, nullptr);
}
