#include "SettingsFixture.h"
#include "windows/Cp1251Validator.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

TEST(Cp1251Validator, AcceptsWhatTheCodePageHolds) {
  EXPECT_TRUE(TCp1251Validator::IsStorable(QString()));
  EXPECT_TRUE(TCp1251Validator::IsStorable(QStringLiteral("  Оп: Дух: Ёё №«»€™ A-z ")));
  EXPECT_TRUE(TCp1251Validator::IsStorable(QStringLiteral("\"quoted\"\t;")));
}

TEST(Cp1251Validator, RefusesOtherCharactersAndLineBreaks) {
  EXPECT_FALSE(TCp1251Validator::IsStorable(QStringLiteral("中")));
  EXPECT_FALSE(TCp1251Validator::IsStorable(QStringLiteral("ø")));
  EXPECT_FALSE(TCp1251Validator::IsStorable(QStringLiteral("a😀b")));
  EXPECT_FALSE(TCp1251Validator::IsStorable(QStringLiteral("a\nb")));
  EXPECT_FALSE(TCp1251Validator::IsStorable(QStringLiteral("a\rb")));
  EXPECT_FALSE(TCp1251Validator::IsStorable(QString(QChar(0xD800))));  // lone surrogate
}

TEST(Cp1251Validator, FieldRefusesTypedAndPastedText) {
  QLineEdit edit;
  edit.setValidator(new TCp1251Validator(&edit));
  TypeText(&edit, QStringLiteral("Б"));
  TypeText(&edit, QStringLiteral("中"));
  EXPECT_EQ(edit.text(), QStringLiteral("Б"));

  edit.insert(QStringLiteral("x中y"));
  EXPECT_EQ(edit.text(), QStringLiteral("Б"));

  QGuiApplication::clipboard()->setText(QStringLiteral("ø"));
  edit.paste();
  EXPECT_EQ(edit.text(), QStringLiteral("Б"));
  QGuiApplication::clipboard()->setText(QStringLiteral("Ж"));
  edit.paste();
  EXPECT_EQ(edit.text(), QStringLiteral("БЖ"));
}
