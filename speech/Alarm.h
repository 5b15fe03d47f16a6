#pragma once
// The call alarm: a repeating two-tone signal, clearly not speech, that
// sounds until it is silenced. Plain C++, so each platform brings its own
// player behind this interface and tests script it.

#include <memory>
#include <string>

class TAlarm {
public:
  virtual ~TAlarm() = default;
  // Starts the alarm (nothing when it sounds already). False when it cannot
  // sound; Error() then tells why, as the user is told it.
  virtual bool Start() = 0;
  // Silences it at once.
  virtual void Stop() = 0;
  virtual bool Sounding() const = 0;
  virtual std::string Error() const = 0;
};

// The platform's alarm: PulseAudio on Linux, the wave output on Windows.
std::unique_ptr<TAlarm> CreateDefaultAlarm();

// One period of the signal (mono, signed 16-bit, at sampleRate): two tone
// bursts and a gap, about a second long.
std::string AlarmPeriodPcm(int sampleRate);
