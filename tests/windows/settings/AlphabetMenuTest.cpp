// The alphabet menu under the symbol table: it fills the table as typing
// would, asks before replacing a table of the user's own, is locked during
// a session, and a Cyrillic table goes through the settings file in cp1251.
#include "SettingsFixture.h"

#include "session/AlphabetPresets.h"

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

using AlphabetMenu = SettingsFixture;

QAction* MenuAction(TFSettings* settings, const QString& caption) {
  for (QAction* a : settings->BAlphabet->menu()->actions())
    if (a->text() == caption) return a;
  return nullptr;
}

TEST_F(AlphabetMenu, PresetOverADesignTableOrAPresetAsksNothing) {
  Settings->LoadSettings(PathOf("missing.ini"));  // the design table
  EXPECT_EQ(Settings->BAlphabet->text(), QStringLiteral("Алфавит"));
  ASSERT_EQ(Settings->BAlphabet->menu()->actions().size(), 3);

  ASSERT_NE(MenuAction(Settings, QStringLiteral("Кириллица")), nullptr);
  MenuAction(Settings, QStringLiteral("Кириллица"))->trigger();
  EXPECT_EQ(Symbols(), AlphabetPresetSymbols(TAlphabetPreset::Cyrillic));
  EXPECT_EQ(Grid->item(35, TSymbolTable::NumberColumn)->text(), QStringLiteral("36"));

  MenuAction(Settings, QStringLiteral("Кириллица по частоте"))->trigger();
  EXPECT_EQ(Symbols(), AlphabetPresetSymbols(TAlphabetPreset::CyrillicByFrequency));
  MenuAction(Settings, QStringLiteral("Латиница"))->trigger();
  EXPECT_EQ(Symbols(), AlphabetPresetSymbols(TAlphabetPreset::Latin));
  EXPECT_TRUE(Dialogs.Questions.isEmpty());

  // With another backspace symbol the Cyrillic tables hold it.
  Settings->EBackspaceSymbol->setText(QStringLiteral("BS"));
  EXPECT_TRUE(Settings->BAlphabetChoose(TAlphabetPreset::Cyrillic));
  EXPECT_EQ(Settings->Symbol(36), QStringLiteral("BS"));
  EXPECT_TRUE(Dialogs.Questions.isEmpty());
}

TEST_F(AlphabetMenu, EditedTableIsReplacedOnlyAfterYes) {
  Settings->LoadSettings(PathOf("missing.ini"));
  Grid->SetSymbol(3, QStringLiteral("Ж"));  // one cell changed
  const QStringList edited = Symbols();

  EXPECT_FALSE(Settings->BAlphabetChoose(TAlphabetPreset::Cyrillic));  // No
  EXPECT_EQ(Symbols(), edited);
  ASSERT_EQ(Dialogs.Questions.size(), 1);
  EXPECT_EQ(Dialogs.Questions[0], QStringLiteral("Таблица символов изменена. Заменить её алфавитом «Кириллица»?"));

  // Yes while the cell is being edited: the editor is closed, nothing of it comes back.
  Settings->show();
  Grid->SetCurrentSymbol(2);
  Grid->editItem(Grid->item(1, TSymbolTable::SymbolColumn));
  ASSERT_TRUE(Grid->IsEditing());
  Dialogs.Answers.push_back(true);
  EXPECT_TRUE(Settings->BAlphabetChoose(TAlphabetPreset::Cyrillic));
  EXPECT_FALSE(Grid->IsEditing());
  EXPECT_EQ(Symbols(), AlphabetPresetSymbols(TAlphabetPreset::Cyrillic));
  EXPECT_EQ(Dialogs.Questions.size(), 2);
}

TEST_F(AlphabetMenu, LockedWhileASessionRuns) {
  Settings->EnableSessionControls(false);
  EXPECT_FALSE(Settings->BAlphabet->isEnabled());
  Settings->EnableSessionControls(true);
  EXPECT_TRUE(Settings->BAlphabet->isEnabled());
}

TEST_F(AlphabetMenu, CyrillicTableRoundTripsInCp1251) {
  Settings->LoadSettings(PathOf("missing.ini"));
  Settings->BAlphabetChoose(TAlphabetPreset::CyrillicByFrequency);
  const QString path = PathOf("cyrillic.ini");
  ASSERT_TRUE(Settings->SaveSettings(path, false));

  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  // The usual keys; "О" is byte 0xCE, "Ё" 0xA8.
  EXPECT_TRUE(bytes.contains("Count=36\r\n"));
  EXPECT_TRUE(bytes.contains("Symbol 2=\xCE\r\n"));
  EXPECT_TRUE(bytes.contains("Symbol 33=\xA8\r\n"));
  EXPECT_TRUE(bytes.contains("Symbol 36=<\r\n"));

  Settings->BAlphabetChoose(TAlphabetPreset::Latin);
  Settings->LoadSettings(path);
  EXPECT_EQ(Symbols(), AlphabetPresetSymbols(TAlphabetPreset::CyrillicByFrequency));
}

}  // namespace
