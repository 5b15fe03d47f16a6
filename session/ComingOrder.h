#pragma once
// The coming order of a session: the symbols the drum's next rests are on,
// so that the drum can show the operator where the window goes.

#include <QList>

class TSessionEngine;

// The symbols (1-based) of the next count rests after the one on position
// in a table of symbolCount: the planned rests (ahead) first, then table
// order from the last of them, as the drum moves. Empty for an empty table.
QList<int> ComingOrder(int position, const QList<int>& ahead, int symbolCount, int count);

// The same of an engine's session as it stands: at a rest, and during a
// move (whose target comes first).
QList<int> ComingOrder(const TSessionEngine& engine, int count);

// With the group scan, the groups of the next count rests: the group a rest
// at the first level offers, the symbol alone of a rest at the second.
QList<QList<int>> ComingGroups(const TSessionEngine& engine, int count);
