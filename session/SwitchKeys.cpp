#include "SwitchKeys.h"

#include <Qt>

QStringList SwitchKeyNames() {
  // Switch interfaces mostly send Space or Enter, some a function key or a
  // digit. F9 selects anyway.
  QStringList names{QString(), QStringLiteral("Space"), QStringLiteral("Return")};
  for (int f = 1; f <= 12; ++f)
    if (f != 9) names << QStringLiteral("F%1").arg(f);
  names << QStringLiteral("1") << QStringLiteral("2");
  return names;
}

int SwitchKeyOfName(const QString& name) {
  if (name == QLatin1String("Space")) return Qt::Key_Space;
  if (name == QLatin1String("Return")) return Qt::Key_Return;
  if (name == QLatin1String("1")) return Qt::Key_1;
  if (name == QLatin1String("2")) return Qt::Key_2;
  if (!SwitchKeyNames().contains(name) || !name.startsWith(QLatin1Char('F'))) return 0;
  return Qt::Key_F1 + name.mid(1).toInt() - 1;
}

bool IsSwitchKey(int pressed, int chosen) {
  if (chosen == 0) return false;
  if (chosen == Qt::Key_Return && pressed == Qt::Key_Enter) return true;
  return pressed == chosen;
}
