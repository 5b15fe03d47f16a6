#include "TapeRecovery.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <string>

#include "files/RecoveryCopy.h"
#include "inifile/WholeFile.h"
#include "SessionRules.h"

TTapeRecovery::TTapeRecovery(const QString& path, TReport report)
    : path_(path), report_(std::move(report)) {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { WriteNow(); });
}

TTapeRecovery::~TTapeRecovery() { WriteNow(); }

void TTapeRecovery::SetSource(TSource source) {
  WriteNow();
  source_ = std::move(source);
}

QString TTapeRecovery::Restore() {
  QString text;
  switch (ReadCopy(path_, MaxBytes, text)) {
    case TCopyRead::Missing:
      return {};
    case TCopyRead::Text:
      break;
    case TCopyRead::NotRegular:
      SetAside(QStringLiteral("это не обычный файл"));
      return {};
    case TCopyRead::TooLarge:
      SetAside(QStringLiteral("файл больше %1 МБ").arg(MaxBytes >> 20));
      return {};
    case TCopyRead::Unreadable:
      SetAside(QStringLiteral("файл не удается прочитать"));
      return {};
    case TCopyRead::NotUtf8:
      SetAside(QStringLiteral("текст не в кодировке UTF-8"));
      return {};
  }
  if (TrimBlanks(text).isEmpty()) return {};
  // The tape's lines are blocks: a carriage return left from another editor
  // would become part of a line.
  text.remove(QLatin1Char('\r'));
  return text;
}

void TTapeRecovery::SetAside(const QString& why) {
  QString notice = QStringLiteral("Копия записи прошлого запуска %1 не восстановлена: %2.")
                       .arg(QDir::toNativeSeparators(path_), why);
  const QString kept = SetFileAside(path_);
  if (kept.isEmpty()) {
    stopped_ = true;
    notice += QStringLiteral(
        " Переименовать ее не удается, поэтому в этом запуске копия записи не ведется.");
  } else {
    notice += QStringLiteral(" Она сохранена без изменений в файле %1.")
                  .arg(QDir::toNativeSeparators(kept));
  }
  if (report_) report_(notice);
}

void TTapeRecovery::Drop() {
  timer_.stop();
  pending_ = false;
  if (stopped_) return;
  stopped_ = true;
  // Emptied rather than removed, as after a save; a full disk may refuse
  // even that, and then the copy goes.
  std::string detail;
  if (!ReplaceWholeFile(path_.toStdString(), std::string(), detail)) QFile::remove(path_);
}

void TTapeRecovery::Changed() {
  if (stopped_) return;
  pending_ = true;
  if (timer_.isActive()) return;
  const qint64 since = sinceWrite_.isValid() ? sinceWrite_.elapsed() : MinGapMs;
  timer_.start(static_cast<int>(std::max<qint64>(0, MinGapMs - since)));
}

void TTapeRecovery::WriteNow() {
  timer_.stop();
  if (!pending_ || stopped_ || !source_) return;
  pending_ = false;
  sinceWrite_.start();
  if (Write(source_())) {
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
  std::string detail;
  return ReplaceWholeFile(path_.toStdString(), text.toUtf8().toStdString(), detail);
}
