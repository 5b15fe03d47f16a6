#pragma once
// The named colours the drawings and the instrument windows share.

#include <QColor>

// "Silver": the instrument windows' background, the drum's circles, the
// graph's zero line and cursor.
constexpr QRgb kSilverRgb = 0xFFC0C0C0;
inline QColor Silver() { return QColor::fromRgb(kSilverRgb); }
