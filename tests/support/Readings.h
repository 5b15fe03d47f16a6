#pragma once
// Reading records for tests of the graph view and the graph window.

#include "sensor/InstData.h"

// A time of day in days.
inline double DayTime(int h, int m, int s, int ms) {
  return ((h * 3600 + m * 60 + s) * 1000.0 + ms) / 86400000.0;
}

inline TInstData Reading(double time, double sensor = 0.5, double level = 0.5, double inst = 0.0) {
  TInstData r;
  r.Time = time;
  r.Sensor = sensor;
  r.Level = level;
  r.Inst = inst;
  r.Gain = 100.0;
  return r;
}
