// The symbol table editor: add, insert, remove, the 2..100 limits, the keys
// and the cells.
#include "SettingsFixture.h"

#include <QLineEdit>
#include <QTest>

namespace {

const QString FullMessage = QStringLiteral("Таблица рассчитана на максимум 100 символов.");

QStringList Numbered(int n) {
  QStringList s;
  for (int k = 1; k <= n; ++k) s << QString::number(k);
  return s;
}

} // namespace

class SymbolEditor : public SettingsFixture {
protected:
  // Opens the editor on symbol k; the window is shown so that it gets focus.
  QLineEdit* Edit(int k) {
    Settings->show();
    Grid->SetCurrentSymbol(k);
    Grid->editItem(Grid->item(k - 1, TSymbolTable::SymbolColumn));
    auto* editor = qobject_cast<QLineEdit*>(Grid->indexWidget(Grid->currentIndex()));
    EXPECT_NE(editor, nullptr);
    EXPECT_TRUE(Grid->IsEditing());
    return editor;
  }

  void ExpectNumbered() {
    for (int row = 0; row < Grid->rowCount(); ++row)
      EXPECT_EQ(Grid->item(row, TSymbolTable::NumberColumn)->text(), QString::number(row + 1));
  }
};

TEST_F(SymbolEditor, AddAndInsertRefusedAtOneHundred) {
  SetSymbols(Numbered(100), 50);
  Settings->BAddSymbolClick();
  Settings->BInsertSymbolClick();
  EXPECT_EQ(Dialogs.Messages, QStringList({FullMessage, FullMessage}));
  EXPECT_EQ(Symbols(), Numbered(100));
  EXPECT_EQ(Grid->CurrentSymbol(), 50);
}

TEST_F(SymbolEditor, AddAtNinetyNineMakesOneHundred) {
  SetSymbols(Numbered(99), 3);
  Settings->BAddSymbolClick();
  EXPECT_TRUE(Dialogs.Messages.isEmpty());
  ASSERT_EQ(Settings->SymbolCount(), 100);
  EXPECT_EQ(Settings->Symbol(100), QString());
  EXPECT_EQ(Settings->Symbol(99), QStringLiteral("99"));
  EXPECT_EQ(Grid->CurrentSymbol(), 100);
  ExpectNumbered();
}

TEST_F(SymbolEditor, InsertAtFirstRowShiftsDownAndStays) {
  SetSymbols({"A", "B", "C"}, 1);
  Settings->BInsertSymbolClick();
  EXPECT_EQ(Symbols(), QStringList({"", "A", "B", "C"}));
  EXPECT_EQ(Grid->CurrentSymbol(), 1);
  ExpectNumbered();
}

TEST_F(SymbolEditor, InsertInTheMiddle) {
  SetSymbols({"A", "B", "C"}, 3);
  Settings->BInsertSymbolClick();
  EXPECT_EQ(Symbols(), QStringList({"A", "B", "", "C"}));
  EXPECT_EQ(Grid->CurrentSymbol(), 3);
}

TEST_F(SymbolEditor, RemoveTakesTheCurrentSymbol) {
  SetSymbols({"A", "B", "C"}, 2);
  Settings->BRemoveSymbolClick();
  EXPECT_EQ(Symbols(), QStringList({"A", "C"}));
  EXPECT_EQ(Grid->CurrentSymbol(), 2);
  ExpectNumbered();
}

TEST_F(SymbolEditor, RemoveOfTheLastSymbolMovesTheCursorUp) {
  SetSymbols({"A", "B", "C", "D"}, 4);
  Settings->BRemoveSymbolClick();
  EXPECT_EQ(Symbols(), QStringList({"A", "B", "C"}));
  EXPECT_EQ(Grid->CurrentSymbol(), 3);
}

TEST_F(SymbolEditor, RemoveAtTwoClearsInsteadOfRemoving) {
  SetSymbols({"A", "B"}, 2);
  Settings->BRemoveSymbolClick();
  EXPECT_EQ(Symbols(), QStringList({"A", ""}));
  Settings->BRemoveSymbolClick();
  EXPECT_EQ(Settings->SymbolCount(), 2);
  EXPECT_TRUE(Dialogs.Messages.isEmpty());
}

TEST_F(SymbolEditor, KeysInsertDeleteHomeEnd) {
  SetSymbols({"A", "B", "C", "D", "E"}, 2);
  QTest::keyClick(Grid, Qt::Key_End);
  EXPECT_EQ(Grid->CurrentSymbol(), 5);
  QTest::keyClick(Grid, Qt::Key_Home);
  EXPECT_EQ(Grid->CurrentSymbol(), 1);

  Grid->SetCurrentSymbol(3);
  QTest::keyClick(Grid, Qt::Key_Delete);
  EXPECT_EQ(Symbols(), QStringList({"A", "B", "D", "E"}));
  QTest::keyClick(Grid, Qt::Key_Insert);
  EXPECT_EQ(Symbols(), QStringList({"A", "B", "", "D", "E"}));

  // With Shift they are the clipboard keys and edit nothing.
  QTest::keyClick(Grid, Qt::Key_Delete, Qt::ShiftModifier);
  QTest::keyClick(Grid, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Settings->SymbolCount(), 5);
}

TEST_F(SymbolEditor, TypingUpdatesTheCellAtOnce) {
  SetSymbols({"A", "B", "C"}, 1);
  QLineEdit* editor = Edit(2);
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  TypeText(editor, QStringLiteral("Ж-"));
  EXPECT_TRUE(Grid->IsEditing());
  EXPECT_EQ(Settings->Symbol(2), QStringLiteral("Ж-"));
  // A character the settings file cannot hold is refused.
  TypeText(editor, QStringLiteral("中"));
  EXPECT_EQ(Settings->Symbol(2), QStringLiteral("Ж-"));
}

TEST_F(SymbolEditor, DeleteWhileEditingRemovesTheWholeRow) {
  SetSymbols({"A", "B", "C"}, 1);
  QLineEdit* editor = Edit(2);
  ASSERT_NE(editor, nullptr);
  editor->end(false);
  TypeText(editor, QStringLiteral("xy"));
  QTest::keyClick(editor, Qt::Key_Delete);
  EXPECT_FALSE(Grid->IsEditing());
  EXPECT_EQ(Symbols(), QStringList({"A", "C"}));
}

TEST_F(SymbolEditor, InsertWhileEditingInsertsBeforeTheRow) {
  SetSymbols({"A", "B", "C"}, 1);
  QLineEdit* editor = Edit(3);
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_Insert);
  EXPECT_EQ(Symbols(), QStringList({"A", "B", "", "C"}));
  EXPECT_EQ(Grid->CurrentSymbol(), 3);
}

TEST_F(SymbolEditor, HomeAndEndWhileEditingStayInTheCell) {
  SetSymbols({"A", "B", "C"}, 1);
  QLineEdit* editor = Edit(2);
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_Home);
  QTest::keyClick(editor, Qt::Key_End);
  EXPECT_TRUE(Grid->IsEditing());
  EXPECT_EQ(Grid->CurrentSymbol(), 2);
}

TEST_F(SymbolEditor, TableLayout) {
  EXPECT_EQ(Settings->SymbolCount(), 28);
  EXPECT_EQ(Grid->objectName(), QStringLiteral("SGSymbolTable"));
  EXPECT_EQ(Grid->horizontalHeaderItem(0)->text(), QStringLiteral("№"));
  EXPECT_EQ(Grid->horizontalHeaderItem(1)->text(), QStringLiteral("Символ"));
  EXPECT_EQ(Grid->columnWidth(0), 30);
  EXPECT_EQ(Grid->columnWidth(1), 58);
  EXPECT_EQ(Grid->rowHeight(0), 24);
  EXPECT_FALSE(Grid->item(0, TSymbolTable::NumberColumn)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(Grid->item(0, TSymbolTable::SymbolColumn)->flags() & Qt::ItemIsEditable);
  // The cursor never rests in the number column.
  Grid->setCurrentCell(4, TSymbolTable::NumberColumn);
  EXPECT_EQ(Grid->currentColumn(), TSymbolTable::SymbolColumn);
  EXPECT_EQ(Grid->CurrentSymbol(), 5);
}

TEST_F(SymbolEditor, GridShowsTenSymbolsInAWindowThatFitsALaptop) {
  Settings->show();
  Settings->resize(457, 589);  // the design size; the layout's minimum wins
  QCoreApplication::processEvents();
  EXPECT_GE(Grid->viewport()->height() / Grid->rowHeight(0), 10);
  EXPECT_LE(Settings->height(), 690) << "a 768-pixel screen less a task bar and a title";
}
