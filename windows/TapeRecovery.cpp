#include "TapeRecovery.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextDocument>
#include <algorithm>

#include "session/SessionRules.h"

TTapeRecovery::TTapeRecovery(QPlainTextEdit* tape, const QString& path, TReport report)
    : tape_(tape), path_(path), report_(std::move(report)) {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { WriteNow(); });
  QObject::connect(tape_->document(), &QTextDocument::contentsChanged, &timer_,
                   [this] { Changed(); });
}

TTapeRecovery::~TTapeRecovery() { WriteNow(); }

QString TTapeRecovery::RawText(const QPlainTextEdit* tape) {
  // toPlainText() would turn no-break spaces into blanks.
  QString text = tape->document()->toRawText();
  for (QChar& c : text)
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QLatin1Char('\n');
  return text;
}

bool TTapeRecovery::Restore() {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return false;
  QString text = QString::fromUtf8(file.readAll());
  if (TrimBlanks(text).isEmpty() || !tape_->document()->isEmpty()) return false;
  // The tape's lines are blocks: a carriage return left from another editor
  // would become part of a line.
  text.remove(QLatin1Char('\r'));
  tape_->setPlainText(text);
  return true;
}

void TTapeRecovery::Changed() {
  pending_ = true;
  if (timer_.isActive()) return;
  const qint64 since = sinceWrite_.isValid() ? sinceWrite_.elapsed() : MinGapMs;
  timer_.start(static_cast<int>(std::max<qint64>(0, MinGapMs - since)));
}

void TTapeRecovery::WriteNow() {
  timer_.stop();
  if (!pending_) return;
  pending_ = false;
  sinceWrite_.start();
  if (Write(RawText(tape_))) {
    failureReported_ = false;
    return;
  }
  // Tried again a little later, and at every change.
  pending_ = true;
  timer_.start(RetryMs);
  if (!failureReported_ && report_) {
    failureReported_ = true;
    report_(QStringLiteral("Не удается записать копию записи в файл ") + path_);
  }
}

bool TTapeRecovery::Write(const QString& text) {
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = text.toUtf8();
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}
