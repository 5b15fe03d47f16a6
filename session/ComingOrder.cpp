#include "session/ComingOrder.h"

#include "session/SessionEngine.h"

QList<int> ComingOrder(int position, const QList<int>& ahead, int symbolCount, int count) {
  QList<int> order;
  if (symbolCount < 1) return order;
  int at = position;
  for (int k = 0; k < count; ++k) {
    at = k < ahead.size() ? ahead.at(k) : (at >= symbolCount ? 1 : at + 1);
    order << at;
  }
  return order;
}

QList<int> ComingOrder(const TSessionEngine& engine, int count) {
  return ComingOrder(engine.DrumPosition(), engine.ScanAhead(),
                     static_cast<int>(engine.Symbols().size()), count);
}

QList<QList<int>> ComingGroups(const TSessionEngine& engine, int count) {
  const QList<int> order = ComingOrder(engine, count);
  const QList<QList<int>> ahead = engine.GroupsAhead();
  QList<QList<int>> groups;
  for (int k = 0; k < order.size(); ++k)
    groups << (k < ahead.size() && !ahead.at(k).isEmpty() ? ahead.at(k) : QList<int>{order.at(k)});
  return groups;
}
