// A Russian word spelled with real sound and next-letter prediction on: the
// drum jumps to the likeliest letters, so the word takes a few rests where
// table order would take dozens. Tone bursts are played into the virtual
// sink of scripts/pulse-start.sh whenever the drum rests on the next letter,
// and judged by where they landed in the captures.
#include <QLabel>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>

#include "RealSoundFixture.h"

namespace {

class RealSoundPredict : public RealSoundFixture {};

TEST_F(RealSoundPredict, SpellsARussianWordInAFewRests) {
  ASSERT_NO_FATAL_FAILURE(RequireSound());

  QStringList table;
  for (const QChar c : QStringLiteral("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ")) table << QString(c);
  table << QStringLiteral(" ") << QStringLiteral(".");
  PresetSymbols(table);
  WriteIniKeys(IniPath(), QStringLiteral("Speed"), {{QStringLiteral("Predict Next Letter"), QStringLiteral("1")}});

  const QString word = QStringLiteral("НЕТ");
  LiveTimers = true;
  Launch(true, false);
  Player = std::make_unique<TTonePlayer>();
  ASSERT_TRUE(Player->Open()) << "no playback stream on the sound server";
  FMain->ESymbolPeriod->setText(QStringLiteral("1.5"));

  const std::optional<TSpelling> s = SpellAsPlanned(Log, *Player, word, 0.8, 40000, RunWhile);
  if (!s) return;
  EXPECT_EQ(s->Tape, QStringList{QStringLiteral("- ") + word});
  EXPECT_EQ(s->Bursts, word.size()) << "one burst per letter";
  EXPECT_LE(s->Rests, 6) << "Н, Е and Т come among the first rests after each selection";
  EXPECT_TRUE(FMain->LStats->text().startsWith(QStringLiteral("Символов: 3\n")))
      << FMain->LStats->text().toStdString();
  EXPECT_TRUE(Dialogs->Messages.isEmpty()) << Dialogs->Messages.join('|').toStdString();
}

}  // namespace
