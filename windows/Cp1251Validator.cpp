#include "Cp1251Validator.h"

#include "inifile/Cp1251.h"

TCp1251Validator::TCp1251Validator(QObject* parent) : QValidator(parent) {}

bool TCp1251Validator::IsStorable(const QString& text) {
  // toUcs4() turns a lone surrogate into U+FFFD, which cp1251 cannot hold,
  // so broken UTF-16 is refused as well.
  const QList<uint> codes = text.toUcs4();
  for (const uint c : codes) {
    if (c == '\r' || c == '\n' || c == 0) return false;
    if (!IsCp1251Representable(static_cast<char32_t>(c))) return false;
  }
  return true;
}

QValidator::State TCp1251Validator::validate(QString& input, int&) const {
  return IsStorable(input) ? Acceptable : Invalid;
}
