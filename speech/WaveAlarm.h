#pragma once
// The call alarm over the Windows wave output: one period of the signal
// looped by the device until it is silenced.

#include "Alarm.h"

std::unique_ptr<TAlarm> CreateWaveAlarm();
