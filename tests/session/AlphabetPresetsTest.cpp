// The alphabet presets: their exact symbols, and the frequency order as the
// counts of scripts/letter-counts.py give it.
#include "session/AlphabetPresets.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QStringList Split(const char* letters) {
  QStringList out;
  for (const QChar c : QString::fromUtf8(letters)) out << QString(c);
  return out;
}

TEST(AlphabetPresets, ExactSymbols) {
  EXPECT_EQ(AlphabetPresetSymbols(TAlphabetPreset::Latin),
            Split("ABCDEFGHIJKLMNOPQRSTUVWXYZ") + QStringList({" ", "."}));
  const QStringList cyrillic = Split("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ") + QStringList({" ", ".", "<"});
  EXPECT_EQ(cyrillic.size(), 36);
  EXPECT_EQ(AlphabetPresetSymbols(TAlphabetPreset::Cyrillic), cyrillic);

  // The same symbols, each once, in another order.
  const QStringList byFrequency = AlphabetPresetSymbols(TAlphabetPreset::CyrillicByFrequency);
  EXPECT_EQ(byFrequency.size(), 36);
  EXPECT_EQ(QSet<QString>(byFrequency.begin(), byFrequency.end()),
            QSet<QString>(cyrillic.begin(), cyrillic.end()));
  EXPECT_EQ(byFrequency.mid(0, 4), QStringList({" ", "О", "Е", "А"}));
  EXPECT_EQ(byFrequency.last(), QStringLiteral("<"));

  // The backspace symbol in force takes the place of "<"; none is the design's.
  EXPECT_EQ(AlphabetPresetSymbols(TAlphabetPreset::Cyrillic, QStringLiteral("BS")).last(), QStringLiteral("BS"));
  EXPECT_EQ(AlphabetPresetSymbols(TAlphabetPreset::CyrillicByFrequency, QStringLiteral("BS")).last(),
            QStringLiteral("BS"));
  EXPECT_EQ(AlphabetPresetSymbols(TAlphabetPreset::Cyrillic, QString()), cyrillic);
  EXPECT_EQ(AlphabetPresetSymbols(TAlphabetPreset::Latin, QStringLiteral("BS")).size(), 28);

  EXPECT_EQ(AlphabetPresetCaption(TAlphabetPreset::CyrillicByFrequency), QStringLiteral("Кириллица по частоте"));
}

TEST(AlphabetPresets, FrequencyOrderFollowsTheCorpusCounts) {
  QFile file(QString::fromUtf8(QUILLORA_LETTER_COUNTS));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
  QStringList order;
  qint64 previous = -1;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const QStringList fields = line.split(QLatin1Char('\t'));
    ASSERT_EQ(fields.size(), 2) << line.toStdString();
    const qint64 count = fields[1].toLongLong();
    if (previous >= 0) EXPECT_LE(count, previous) << "most frequent first: " << line.toStdString();
    previous = count;
    order << (fields[0] == QLatin1String("_") ? QStringLiteral(" ") : fields[0]);
  }
  EXPECT_EQ(CyrillicFrequencyOrder(), order);
}

}  // namespace
