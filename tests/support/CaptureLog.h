#pragma once
// Where bursts of real sound landed in a session, on the capture's own
// timeline: a sound-card sensor over the platform's capture device that keeps
// what every capture recorded, with the drum position it was started for,
// and the loud runs found in those recordings.
//
// A real-sound test judges each burst by its landing: a burst that began
// inside a rest's capture belongs to that rest, one that began while the
// drum moved (its first loud sample opens the next capture) to the next
// rest. Scheduling delays of the test, the player or the sound server move a
// burst, never the judgement.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sensor/Sens.h"

// One capture: the samples recorded from its start to its stop.
struct TCaptureTake {
  int Position = 0;  // the drum position the capture was started for
  std::vector<uint8_t> Samples;
  // The bytes each reading examined, [from, to), polls and the drain at the
  // rest's end alike.
  std::vector<std::pair<int, int>> Windows;
};

class TCaptureLogSensor : public TAudioSensor_OneRun {
public:
  // position: the drum position a capture starting now belongs to.
  TCaptureLogSensor(void* ownerWindow, std::function<int()> position)
      : TAudioSensor_OneRun(ownerWindow), position_(std::move(position)) {}

  bool StartCapture(int periodMs) override {
    const bool ok = TAudioSensor_OneRun::StartCapture(periodMs);
    if (ok) {
      Takes.push_back({position_(), {}, {}});
      open_ = true;
    }
    return ok;
  }
  void StopCapture() override {
    if (open_ && IsRunning()) {
      const int n = std::clamp(Device().Position(), 0, BufferSize());
      Takes.back().Samples.assign(BufferData(), BufferData() + n);
    }
    open_ = false;
    TAudioSensor_OneRun::StopCapture();
  }
  bool Read() override {
    ++Reads;
    Examine(std::min(ScanEnd(), BufferSize()));
    return TAudioSensor_OneRun::Read();
  }
  void Drain() override {
    if (IsRunning()) Examine(std::min(Device().Position(), BufferSize()));
    TAudioSensor_OneRun::Drain();
  }
  // Keeps the samples of a capture still running (the session's end).
  void Snapshot() {
    if (open_ && IsRunning()) {
      const int n = std::clamp(Device().Position(), 0, BufferSize());
      Takes.back().Samples.assign(BufferData(), BufferData() + n);
    }
  }

  std::vector<TCaptureTake> Takes;
  int Reads = 0;  // polls that read the sensor

private:
  void Examine(int to) {
    const int from = std::max(ScanStart(), 0);
    if (open_ && IsRunning() && from < to) Takes.back().Windows.push_back({from, to});
  }

  std::function<int()> position_;
  bool open_ = false;
};

// A loud run: a burst as the session saw it. Loud 5 ms blocks belong to one
// run unless a reading examined only quiet bytes between them: a gap no
// reading saw (a short break of the sound server's, or the drum's move,
// which is not recorded) is no gap to the session.
struct TLanding {
  std::size_t Take = 0;  // the capture it began in
  int Position = 0;      // that capture's drum position
  int OnsetMs = 0;       // from the capture's start to the run's first loud block
  int BeforeEndMs = 0;   // from there to the capture's last sample
  // It began before its capture did: in the move before, or while the
  // capture was starting.
  bool BeforeCapture = false;
  int Takes = 1;  // the captures it sounds in
};

constexpr int kLandingBlock = 40;  // samples: 5 ms, two periods of the test tone

// Whether a reading examined only bytes of the quiet stretch from byte
// `fromByte` of take `from` to byte `toByte` of take `to`.
inline bool QuietSeen(const std::vector<TCaptureTake>& takes, std::size_t from, int fromByte,
                      std::size_t to, int toByte) {
  for (std::size_t k = from; k <= to; ++k) {
    const int lo = k == from ? fromByte : 0;
    const int hi = k == to ? toByte : static_cast<int>(takes[k].Samples.size());
    for (const auto& [f, e] : takes[k].Windows)
      if (f >= lo && e <= hi) return true;
  }
  return false;
}

// Whether a block of recorded samples (n of them, from s) is loud.
using TLoudBlock = std::function<bool(const uint8_t* s, int n)>;

// The loud runs of the takes, by the block test given.
inline std::vector<TLanding> FindLandings(const std::vector<TCaptureTake>& takes,
                                          const TLoudBlock& isLoud) {
  std::vector<TLanding> runs;
  bool loud = false;          // the last block seen was loud
  std::size_t quietTake = 0;  // where the quiet since the last loud block began
  int quietByte = 0;
  std::size_t lastTake = 0;  // the last take the current run sounds in
  for (std::size_t t = 0; t < takes.size(); ++t) {
    const std::vector<uint8_t>& s = takes[t].Samples;
    const int n = static_cast<int>(s.size());
    for (int b = 0; b < n; b += kLandingBlock) {
      const int end = std::min(n, b + kLandingBlock);
      const bool blockLoud = isLoud(s.data() + b, end - b);
      // A few last samples may all lie near the tone's zero crossings: too
      // short to tell quiet, they do not end a run.
      if (!blockLoud && end - b < kLandingBlock) break;
      if (blockLoud && !loud && (runs.empty() || QuietSeen(takes, quietTake, quietByte, t, b))) {
        TLanding l;
        l.Take = t;
        l.Position = takes[t].Position;
        l.OnsetMs = b / 8;
        l.BeforeEndMs = (n - b) / 8;
        l.BeforeCapture = b == 0;
        runs.push_back(l);
        lastTake = t;
      } else if (blockLoud && lastTake != t) {
        ++runs.back().Takes;
        lastTake = t;
      }
      if (!blockLoud && loud) {
        quietTake = t;
        quietByte = b;
      }
      loud = blockLoud;
    }
  }
  return runs;
}

// The loud runs of the takes. A block is loud when a sample in it lies
// `threshold` or more from the 128 midpoint (0 is the buffer's fill, never
// recorded).
inline std::vector<TLanding> FindLandings(const std::vector<TCaptureTake>& takes, int threshold) {
  return FindLandings(takes, [threshold](const uint8_t* s, int n) {
    for (int i = 0; i < n; ++i)
      if (s[i] != 0 && std::abs(int(s[i]) - 128) >= threshold) return true;
    return false;
  });
}

// A burst that began this close to the end of its rest's capture may be
// taken by the next rest instead: its few samples there may not lift the
// needle over the on level. (Bursts 9 ms before the end were seen to write
// their own rest's symbol; one 5 ms block is the resolution.)
constexpr int kLandingTailMs = 20;

// The drum positions a burst with this landing may take a symbol from, by the
// session's rules: the rest it began in; one that began in the last
// `tailMs` of a rest's capture may instead be taken by the next rest (the
// needle may not have risen before the capture stopped), but never by both.
// `next`: the position of the capture after the one it began in (0: none).
inline std::vector<int> LandingRests(const TLanding& l, int next, int tailMs) {
  if (l.BeforeCapture || l.BeforeEndMs >= tailMs || next == 0) return {l.Position};
  return {l.Position, next};
}

// Describes the landings for a failure message.
inline std::string DescribeLandings(const std::vector<TLanding>& runs) {
  std::string out;
  for (const TLanding& l : runs) {
    if (!out.empty()) out += "; ";
    out +=
        "position " + std::to_string(l.Position) +
        (l.BeforeCapture ? " from its capture's start"
                         : " " + std::to_string(l.BeforeEndMs) + " ms before its capture's end") +
        ", " + std::to_string(l.Takes) + " capture(s)";
  }
  return out.empty() ? std::string("none") : out;
}
