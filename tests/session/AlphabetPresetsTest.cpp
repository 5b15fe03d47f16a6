// The alphabet presets: their exact symbols, and the frequency order as the
// counts of scripts/letter-counts.py give it.
#include "session/AlphabetPresets.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

QStringList Split(const QString& letters) { return letters.split(QString(), Qt::SkipEmptyParts); }

TEST(AlphabetPresets, ExactSymbols) {
  EXPECT_EQ(AlphabetPresetSymbols(TAlphabetPreset::Latin), Split("ABCDEFGHIJKLMNOPQRSTUVWXYZ ."));
  const QStringList cyrillic = Split(QStringLiteral("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ .<"));
  EXPECT_EQ(AlphabetPresetSymbols(TAlphabetPreset::Cyrillic), cyrillic);
  // The same 36 symbols in another order.
  QStringList byFrequency = AlphabetPresetSymbols(TAlphabetPreset::CyrillicByFrequency);
  EXPECT_EQ(byFrequency.mid(0, 3), QStringList({" ", "О", "Е"}));
  byFrequency.sort();
  QStringList sorted = cyrillic;
  sorted.sort();
  EXPECT_EQ(byFrequency, sorted);
  // The backspace symbol in force takes the place of "<"; an empty one gives "<".
  EXPECT_EQ(
      AlphabetPresetSymbols(TAlphabetPreset::CyrillicByFrequency, QStringLiteral("BS")).last(),
      QStringLiteral("BS"));
  EXPECT_EQ(AlphabetPresetSymbols(TAlphabetPreset::Cyrillic, QString()), cyrillic);
}

TEST(AlphabetPresets, FrequencyOrderFollowsTheCorpusCounts) {
  QFile file(QString::fromUtf8(QUILLORA_LETTER_COUNTS));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
  QStringList order;
  qint64 previous = -1;
  for (const QString& line :
       QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (line.startsWith(QLatin1Char('#'))) continue;
    const QStringList fields = line.split(QLatin1Char('\t'));
    ASSERT_EQ(fields.size(), 2) << line.toStdString();
    if (previous >= 0) EXPECT_LE(fields[1].toLongLong(), previous) << line.toStdString();
    previous = fields[1].toLongLong();
    order << (fields[0] == QLatin1String("_") ? QStringLiteral(" ") : fields[0]);
  }
  EXPECT_EQ(CyrillicFrequencyOrder(), order);
}

}  // namespace
