#include "TextNumbers.h"

#include <climits>

bool ParseIntegerText(const std::string& text, TIntegerForms forms, int& out) {
  std::size_t i = 0;
  const std::size_t e = text.size();
  bool negative = false;
  if (i < e && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (forms == TIntegerForms::DecimalOrHex && e - i >= 2 && text[i] == '0' &&
      (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == e) return false;
  long long magnitude = 0;
  for (; i < e; ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    magnitude = magnitude * base + digit;
    if (magnitude > -static_cast<long long>(INT_MIN)) return false;
  }
  const long long v = negative ? -magnitude : magnitude;
  if (v > INT_MAX) return false;
  out = static_cast<int>(v);
  return true;
}
