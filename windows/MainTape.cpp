// The tape of the main window: its lines, the time stamp, clearing and
// saving by appending to a text file.
#include <QDate>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTime>

#include "Main.h"
#include "session/SessionRules.h"
#include "files/TapeFile.h"
#include "seams/UserDialogs.h"
#include "session/TapeRecovery.h"
#include "indicators/LocaleFormats.h"
#include "sensor/Utils.h"

namespace {

// The time part of a time stamp: the locale's long time format without a
// time zone, as the graph shows times of day.
QString LongTimeText(const QLocale& locale, const QTime& time) {
  return locale.toString(time, TimeOfDayFormat(locale));
}

}  // namespace

QString TFMain::TapeText() const {
  // toPlainText() would turn no-break spaces into blanks.
  QString text = MTape->document()->toRawText();
  for (QChar& c : text)
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QLatin1Char('\n');
  return text;
}

QStringList TFMain::TapeLines() {
  // As held: a no-break space stays one (toPlainText() makes it a blank).
  const QString text = TapeText();
  if (text.isEmpty()) return {};
  return text.split(QLatin1Char('\n'));
}

bool TFMain::TapeHoldsText() const { return !TrimBlanks(MTape->toPlainText()).isEmpty(); }

void TFMain::AddTapeLine(const QString& line) {
  if (MTape->document()->isEmpty()) {
    QTextCursor c(MTape->document());
    c.insertText(line);
  } else {
    QTextCursor c(MTape->document());
    c.movePosition(QTextCursor::End);
    c.insertBlock();
    c.insertText(line);
  }
  MTape->verticalScrollBar()->setValue(MTape->verticalScrollBar()->maximum());
  ShowTapeEnd();
}

void TFMain::ReplaceLastTapeLine(const QString& line) {
  QTextCursor c(MTape->document());
  c.movePosition(QTextCursor::End);
  c.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
  c.insertText(line);
  ShowTapeEnd();
}

void TFMain::ShowTapeEnd() {
  // Lines do not wrap: a long line would grow past the right edge while the
  // view stayed at its start.
  MTape->moveCursor(QTextCursor::End);
  MTape->ensureCursorVisible();
}

void TFMain::SetTapeFontSize(int pixels) {
  QFont f = MTape->font();
  f.setPixelSize(pixels);
  MTape->setFont(f);
  ShowTapeEnd();
}

void TFMain::BClearClick() {
  if (TapeHoldsText() && !Dialogs().Confirm(this, QStringLiteral("Стереть запись?"))) return;
  MTape->clear();
  if (TapeRecovery()) TapeRecovery()->WriteNow();
}

void TFMain::BTimeStampClick() {
  const TLocalDateTime t = Clock().Now();
  const QDate date(t.Year, t.Month, t.Day);
  const QTime time(t.Hour, t.Minute, t.Second, t.Millisecond);
  const QLocale locale;
  AddTapeLine(QStringLiteral("---  ") + locale.toString(date, QLocale::ShortFormat) +
              QLatin1Char(' ') + LongTimeText(locale, time) + QStringLiteral("  ---"));
}

void TFMain::BSaveTapeClick() {
  if (TapeFileName.isEmpty())
    BSaveTapeToFileClick();
  else
    AppendTapeToFile();
}

void TFMain::BSaveTapeToFileClick() {
  TFileDialogRequest request;
  request.InitialDir = TapeInitialDir;
  request.FileName.clear();
  request.DefaultExtension = QStringLiteral("txt");
  request.Filters = QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("AllFiles (*.*)")};
  request.PathMustExist = true;
  request.NoReadOnly = true;
  request.OverwritePrompt = false;
  const QString path = Dialogs().SaveFile(this, request);
  if (path.isEmpty()) return;
  TapeInitialDir.clear();
  TapeFileName = path;
  AppendTapeToFile();
}

void TFMain::AppendTapeToFile() {
  if (!TapeHoldsText()) return;
  const TTapeFileOutcome outcome = AppendLinesToFile(TapeFileName, TapeLines());
  switch (outcome.Result) {
    case TTapeFileResult::Saved:
      MTape->clear();
      if (TapeRecovery()) TapeRecovery()->WriteNow();
      break;
    case TTapeFileResult::NotRepresentable:
      Dialogs().Message(this, QStringLiteral("Запись содержит знак «%1», которого нет в кодировке "
                                             "Windows-1251. Файл не записан; исправьте запись.")
                                  .arg(outcome.BadCharacter));
      break;
    case TTapeFileResult::CannotOpen:
    case TTapeFileResult::WriteFailed:
      Dialogs().Message(this, QStringLiteral("Ошибка записи в файл ") + TapeFileName);
      break;
  }
}
