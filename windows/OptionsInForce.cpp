#include "OptionsInForce.h"

#include "session/SessionModel.h"

TOptionsModel& OptionsInForce() {
  if (SessionModel) return SessionModel->Options();
  static TOptionsModel designDefaults;
  return designDefaults;
}

bool SettingsFileUnread() { return SessionModel && SessionModel->SettingsFileUnread(); }
