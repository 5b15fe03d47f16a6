#pragma once
// The symbol table grid of the settings window: a number column and a
// symbol column, symbol k (1-based) in row k-1 under the header "№" /
// "Символ". It keeps its rows numbered and offers the editing steps; the
// settings window decides when they may run (the 2..100 limits) and redraws
// the drum after each.

#include <QStyledItemDelegate>
#include <QTableWidget>

// Draws the cells (numbers plain, symbols bold blue, 2 pixels in from the
// cell's top-left corner) and makes the cell editor: a line edit that
// refuses text the settings file cannot hold and hands every change of its
// text to the grid at once.
class TSymbolCellDelegate : public QStyledItemDelegate {
  Q_OBJECT
public:
  explicit TSymbolCellDelegate(QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;

  static QColor SymbolColor() { return QColor(0, 0, 255); }

signals:
  // The text in the cell editor changed (already stored in the cell).
  void EditTextChanged();
  // Insert or Delete was pressed in the cell editor; the editor is closed.
  void EditorKey(int key);

protected:
  bool eventFilter(QObject* object, QEvent* event) override;
};

class TSymbolTable : public QTableWidget {
  Q_OBJECT
public:
  static constexpr int NumberColumn = 0;
  static constexpr int SymbolColumn = 1;
  static constexpr int RowHeight = 24;

  explicit TSymbolTable(QWidget* parent = nullptr);

  // N and symbol k, k = 1..N (empty outside).
  int SymbolCount() const { return rowCount(); }
  QString Symbol(int k) const;
  void SetSymbol(int k, const QString& text);
  // N symbols; new ones are empty, surplus ones dropped.
  void SetSymbolCount(int n);
  // Column 0 of symbol k shows k.
  void Renumber();
  // The whole table replaced by these symbols (a cell being edited is
  // closed first), numbered, symbol 1 current.
  void SetSymbols(const QStringList& symbols);

  // The current symbol (1-based); 1 when there is none.
  int CurrentSymbol() const;
  void SetCurrentSymbol(int k);
  bool IsEditing() const { return state() == EditingState; }

  // The editing steps, without limits: an empty symbol at the end (made
  // current), an empty symbol before the current one (which stays current),
  // and the removal of the current symbol.
  void AppendSymbol();
  void InsertSymbol();
  void RemoveSymbol();

signals:
  // Insert, Delete (also while a cell is being edited).
  void InsertKey();
  void DeleteKey();
  // A cell's text changed while it is being edited.
  void SymbolEdited();

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  void MakeRow(int row);
  void CloseEditor();
};
