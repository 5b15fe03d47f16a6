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

TEST_F(AlphabetMenu, PresetOverTheDesignTableOrAPresetAsksNothing) {
  Settings->LoadSettings(PathOf("missing.ini"));  // the design table
  const QList<QAction*> actions = Settings->BAlphabet->menu()->actions();
  ASSERT_EQ(actions.size(), 3);
  EXPECT_EQ(actions[1]->text(), QStringLiteral("Кириллица"));
  actions[1]->trigger();
  EXPECT_EQ(Symbols(), AlphabetPresetSymbols(TAlphabetPreset::Cyrillic));
  EXPECT_EQ(Grid->item(35, TSymbolTable::NumberColumn)->text(), QStringLiteral("36"));
  actions[2]->trigger();
  EXPECT_EQ(Symbols(), AlphabetPresetSymbols(TAlphabetPreset::CyrillicByFrequency));
  EXPECT_TRUE(Dialogs.Questions.isEmpty());

  Settings->EnableSessionControls(false);
  EXPECT_FALSE(Settings->BAlphabet->isEnabled());
}

TEST_F(AlphabetMenu, EditedTableIsReplacedOnlyAfterYes) {
  Settings->LoadSettings(PathOf("missing.ini"));
  Grid->SetSymbol(3, QStringLiteral("Ж"));
  const QStringList edited = Symbols();
  EXPECT_FALSE(Settings->BAlphabetChoose(TAlphabetPreset::Cyrillic));  // No
  EXPECT_EQ(Symbols(), edited);
  EXPECT_EQ(Dialogs.Questions,
            QStringList{"Таблица символов изменена. Заменить её алфавитом «Кириллица»?"});

  // Yes while a cell is being edited: the editor is closed, nothing of it comes back.
  Settings->show();
  Grid->SetCurrentSymbol(2);
  Grid->editItem(Grid->item(1, TSymbolTable::SymbolColumn));
  ASSERT_TRUE(Grid->IsEditing());
  Dialogs.Answers.push_back(true);
  EXPECT_TRUE(Settings->BAlphabetChoose(TAlphabetPreset::Cyrillic));
  EXPECT_FALSE(Grid->IsEditing());
  EXPECT_EQ(Symbols(), AlphabetPresetSymbols(TAlphabetPreset::Cyrillic));
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
  for (const char* line :
       {"Count=36\r\n", "Symbol 2=\xCE\r\n", "Symbol 33=\xA8\r\n", "Symbol 36=<\r\n"})
    EXPECT_TRUE(bytes.contains(line)) << line;

  Settings->BAlphabetChoose(TAlphabetPreset::Latin);
  Settings->LoadSettings(path);
  EXPECT_EQ(Symbols(), AlphabetPresetSymbols(TAlphabetPreset::CyrillicByFrequency));
}

}  // namespace
