#include "indicators/LocaleFormats.h"

QLocale NumberLocale() {
  QLocale l;
  l.setNumberOptions(l.numberOptions() | QLocale::OmitGroupSeparator);
  return l;
}

QString TimeOfDayFormat(const QLocale& locale) {
  const QString format = locale.timeFormat(QLocale::LongFormat);
  QString out;
  bool quoted = false;
  for (int i = 0; i < format.size(); ++i) {
    const QChar c = format.at(i);
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (!quoted && c == QLatin1Char('t')) {
      while (!out.isEmpty() && out.back().isSpace()) out.chop(1);
      continue;
    }
    out += c;
  }
  return out.trimmed();
}
