#pragma once
// What a screen shows after an in-place redraw: the picture before, with the
// region a painter reported as changed taken over from the new picture.

#include <QImage>
#include <QPainter>
#include <QRegion>

// Patches screen with the changed region of picture; a screen of another
// size becomes a copy of picture.
inline void PatchScreen(QImage& screen, const QImage& picture, const QRegion& changed) {
  if (screen.size() != picture.size()) {
    screen = picture.copy();
    return;
  }
  QPainter patch(&screen);
  patch.setCompositionMode(QPainter::CompositionMode_Source);
  patch.setClipRegion(changed);
  patch.drawImage(0, 0, picture);
}
