#pragma once
// The keys a switch may send, by the names the settings file stores ("" for
// none), and their Qt key codes.

#include <QString>
#include <QStringList>

// The names offered, "" (no key) first.
QStringList SwitchKeyNames();
// The Qt key code of a stored name; 0 for none or a name not offered.
int SwitchKeyOfName(const QString& name);
// Whether a key pressed (Qt key code) is the chosen key; Enter of the number
// pad counts as Enter.
bool IsSwitchKey(int pressed, int chosen);
