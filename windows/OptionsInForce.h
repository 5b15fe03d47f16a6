#pragma once
// The options the windows show and edit: those of the session model, or,
// while there is none (a window tested on its own), a model of the design
// defaults kept for the purpose.

#include "session/OptionsModel.h"

TOptionsModel& OptionsInForce();
// Whether the settings file could not be read at start (then the windows
// leave it as it is at exit).
bool SettingsFileUnread();
