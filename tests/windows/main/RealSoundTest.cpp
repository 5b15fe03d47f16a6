// A session with real sound: the real chain over the platform's capture back
// end, recording from the virtual source of the PulseAudio server that
// scripts/pulse-start.sh starts, with the Qt event loop and the real timers.
// A tone burst is played into the virtual sink whenever the drum rests on the
// next symbol of the word, and judged by where it landed in the captures.
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>

#include "RealSoundFixture.h"

namespace {

class RealSound : public RealSoundFixture {};

TEST_F(RealSound, SpellsAWordFromToneBursts) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());

  const QString word = QStringLiteral("HI");
  LiveTimers = true;
  Launch(true, false);
  Player = std::make_unique<TTonePlayer>();
  ASSERT_TRUE(Player->Open()) << "no playback stream on the sound server";
  FMain->ESymbolPeriod->setText(QStringLiteral("1.5"));

  const std::optional<TSpelling> s = SpellAsPlanned(Log, *Player, word, 0.8, 60000, RunWhile);
  if (!s) return;
  EXPECT_EQ(s->Tape, QStringList{QStringLiteral("- ") + word});
  EXPECT_EQ(s->Bursts, word.size()) << "one burst per symbol";
  EXPECT_TRUE(Dialogs->Messages.isEmpty()) << Dialogs->Messages.join('|').toStdString();
}

}  // namespace
