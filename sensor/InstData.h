#pragma once

// The reading record: one measurement of the instrument model. Its memory
// layout is also the layout of a record in the recording file (48 bytes,
// little-endian, reserved bytes 44..47 zero).

#include <cstddef>
#include <cstdint>

struct TInstData {
  double Sensor = 0.0;  // filtered sensor value, 0.0..1.0
  double Level = 0.0;   // reference level, 0.0..1.0
  double Inst = 0.0;    // instrument value, percent of full deflection
  double Gain = 0.0;    // gain in force, 1..1000
  double Time = 0.0;    // local time of day in days
  int32_t Tag = -1;     // always -1
  uint8_t Reserved[4] = {0, 0, 0, 0};

  // Bytes that carry the fields; the reserved tail is never copied.
  static constexpr std::size_t FieldBytes = 44;
};

static_assert(sizeof(TInstData) == 48, "reading record must be 48 bytes");
static_assert(offsetof(TInstData, Sensor) == 0, "record layout");
static_assert(offsetof(TInstData, Level) == 8, "record layout");
static_assert(offsetof(TInstData, Inst) == 16, "record layout");
static_assert(offsetof(TInstData, Gain) == 24, "record layout");
static_assert(offsetof(TInstData, Time) == 32, "record layout");
static_assert(offsetof(TInstData, Tag) == 40, "record layout");
static_assert(offsetof(TInstData, Reserved) == TInstData::FieldBytes, "record layout");
