#include "SymbolTable.h"

#include "Cp1251Validator.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>

// ---------------------------------------------------------------------------
// Cell drawing and editing

TSymbolCellDelegate::TSymbolCellDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void TSymbolCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  const bool number = index.column() == TSymbolTable::NumberColumn;
  const QPalette& pal = option.palette;
  QColor fill = number ? pal.color(QPalette::Button) : pal.color(QPalette::Base);
  if (!number && (option.state & QStyle::State_Selected)) {
    // A light tint of the highlight, so that the blue symbol stays readable.
    const QColor h = pal.color(QPalette::Highlight);
    fill = QColor((fill.red() * 2 + h.red()) / 3, (fill.green() * 2 + h.green()) / 3,
                  (fill.blue() * 2 + h.blue()) / 3);
  }
  painter->save();
  painter->fillRect(option.rect, fill);
  QFont font = option.font;
  font.setBold(!number);
  painter->setFont(font);
  painter->setPen(number ? pal.color(QPalette::ButtonText) : SymbolColor());
  painter->setClipRect(option.rect);
  const QFontMetrics metrics(font);
  painter->drawText(option.rect.topLeft() + QPoint(2, 2 + metrics.ascent()),
                    index.data(Qt::DisplayRole).toString());
  painter->restore();
}

QWidget* TSymbolCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const {
  auto* editor = new QLineEdit(parent);
  editor->setFrame(false);
  QFont font = option.font;
  font.setBold(true);
  editor->setFont(font);
  QPalette pal = editor->palette();
  pal.setColor(QPalette::Text, SymbolColor());
  editor->setPalette(pal);
  editor->setValidator(new TCp1251Validator(editor));
  // The cell follows the editor as it is typed in, as the drum shows it live.
  connect(editor, &QLineEdit::textEdited, this, [this, editor] {
    auto* self = const_cast<TSymbolCellDelegate*>(this);
    emit self->commitData(editor);
    emit self->EditTextChanged();
  });
  return editor;
}

namespace {

// Insert or Delete on its own; with Shift or Ctrl they are the clipboard keys.
bool IsPlainInsertOrDelete(const QKeyEvent* event) {
  const int key = event->key();
  return (key == Qt::Key_Insert || key == Qt::Key_Delete) &&
         (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

bool TSymbolCellDelegate::eventFilter(QObject* object, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    const int key = keyEvent->key();
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && IsPlainInsertOrDelete(keyEvent)) {
      emit commitData(editor);
      emit closeEditor(editor, NoHint);
      emit EditorKey(key);
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

// ---------------------------------------------------------------------------
// The grid

TSymbolTable::TSymbolTable(QWidget* parent) : QTableWidget(parent) {
  setColumnCount(2);
  setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("Символ")});
  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(RowHeight);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  setColumnWidth(NumberColumn, 30);
  setColumnWidth(SymbolColumn, 58);
  setSelectionMode(SingleSelection);
  setSelectionBehavior(SelectItems);
  setEditTriggers(AnyKeyPressed | DoubleClicked | EditKeyPressed | SelectedClicked);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setWordWrap(false);
  setTabKeyNavigation(false);

  auto* delegate = new TSymbolCellDelegate(this);
  setItemDelegate(delegate);
  connect(delegate, &TSymbolCellDelegate::EditTextChanged, this, &TSymbolTable::SymbolEdited);
  connect(delegate, &TSymbolCellDelegate::EditorKey, this, [this](int key) {
    if (key == Qt::Key_Insert) emit InsertKey();
    else emit DeleteKey();
  });
  // The number column is fixed: the cursor stays in the symbol column.
  connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
    if (row >= 0 && column == NumberColumn) setCurrentCell(row, SymbolColumn);
  });

  // Wide enough for both columns and the scroll bar, no more.
  setFixedWidth(30 + 58 + 2 * frameWidth() + verticalScrollBar()->sizeHint().width());
}

QString TSymbolTable::Symbol(int k) const {
  const QTableWidgetItem* cell = (k >= 1 && k <= rowCount()) ? item(k - 1, SymbolColumn) : nullptr;
  return cell ? cell->text() : QString();
}

void TSymbolTable::SetSymbol(int k, const QString& text) {
  if (k < 1 || k > rowCount()) return;
  if (QTableWidgetItem* cell = item(k - 1, SymbolColumn)) cell->setText(text);
}

void TSymbolTable::MakeRow(int row) {
  auto* number = new QTableWidgetItem(QString::number(row + 1));
  number->setFlags(Qt::ItemIsEnabled);
  setItem(row, NumberColumn, number);
  setItem(row, SymbolColumn, new QTableWidgetItem(QString()));
}

void TSymbolTable::SetSymbolCount(int n) {
  const int old = rowCount();
  if (n < 0) n = 0;
  setRowCount(n);
  for (int row = old; row < n; ++row) MakeRow(row);
  if (n > 0 && currentRow() < 0) SetCurrentSymbol(1);
}

void TSymbolTable::Renumber() {
  for (int row = 0; row < rowCount(); ++row) {
    if (QTableWidgetItem* number = item(row, NumberColumn)) number->setText(QString::number(row + 1));
  }
}

void TSymbolTable::SetSymbols(const QStringList& symbols) {
  CloseEditor();
  SetSymbolCount(symbols.size());
  for (int k = 1; k <= symbols.size(); ++k) SetSymbol(k, symbols[k - 1]);
  Renumber();
  SetCurrentSymbol(1);
}

int TSymbolTable::CurrentSymbol() const {
  const int row = currentRow();
  return row < 0 ? 1 : row + 1;
}

void TSymbolTable::SetCurrentSymbol(int k) {
  if (rowCount() == 0) return;
  setCurrentCell(qBound(1, k, rowCount()) - 1, SymbolColumn);
}

void TSymbolTable::CloseEditor() {
  if (!IsEditing()) return;
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void TSymbolTable::AppendSymbol() {
  CloseEditor();
  const int n = rowCount();
  SetSymbolCount(n + 1);
  Renumber();
  SetSymbol(n + 1, QString());
  SetCurrentSymbol(n + 1);
}

void TSymbolTable::InsertSymbol() {
  CloseEditor();
  const int r = CurrentSymbol();
  const int n = rowCount();
  SetSymbolCount(n + 1);
  Renumber();
  for (int k = n; k >= r; --k) SetSymbol(k + 1, Symbol(k));
  SetSymbol(r, QString());
  SetCurrentSymbol(r);
}

void TSymbolTable::RemoveSymbol() {
  CloseEditor();
  const int r = CurrentSymbol();
  const int n = rowCount();
  if (n <= 2) {
    SetSymbol(r, QString());
    return;
  }
  for (int k = r; k < n; ++k) SetSymbol(k, Symbol(k + 1));
  SetSymbolCount(n - 1);
  SetCurrentSymbol(qMin(r, n - 1));
}

void TSymbolTable::keyPressEvent(QKeyEvent* event) {
  if (!IsPlainInsertOrDelete(event) &&
      (event->key() == Qt::Key_Insert || event->key() == Qt::Key_Delete)) {
    QTableWidget::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Insert:
      emit InsertKey();
      event->accept();
      return;
    case Qt::Key_Delete:
      emit DeleteKey();
      event->accept();
      return;
    case Qt::Key_Home:
      SetCurrentSymbol(1);
      event->accept();
      return;
    case Qt::Key_End:
      SetCurrentSymbol(rowCount());
      event->accept();
      return;
    default:
      QTableWidget::keyPressEvent(event);
  }
}
