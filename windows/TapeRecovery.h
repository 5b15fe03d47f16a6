#pragma once
// A copy of the tape in the file "tape.recovery" beside the settings file,
// kept at every change of the tape, so that a crash, a logout or a power cut
// loses nothing the operator spelled. The file holds the tape's text as
// UTF-8, lines separated by line feeds; an empty file means nothing is
// unsaved. Each write goes to a temporary file that replaces the old one
// only when complete, so the file always holds either the old or the new
// text. Changes that come close together are written together, at most one
// write per MinGapMs; the last change is written at the latest when the
// object goes.

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <functional>

class QPlainTextEdit;

class TTapeRecovery {
public:
  // Receives a message for the user (Russian) when the copy cannot be written.
  using TReport = std::function<void(const QString&)>;

  // Keeps the text of tape in path from now on.
  TTapeRecovery(QPlainTextEdit* tape, const QString& path, TReport report = {});
  // Writes a change that is not written yet.
  ~TTapeRecovery();

  // When the file holds text left from an earlier run, puts it into the
  // (empty) tape; true then.
  bool Restore();
  // Writes a change that is not written yet, now.
  void WriteNow();
  // No change waits to be written.
  bool UpToDate() const { return !pending_; }

  // The tape's text as held: no-break spaces stay as they are, lines are
  // separated by line feeds.
  static QString RawText(const QPlainTextEdit* tape);
  // The name of the file in the data folder.
  static QString FileName() { return QStringLiteral("tape.recovery"); }

  static constexpr int MinGapMs = 200;
  static constexpr int RetryMs = 2000;

private:
  void Changed();
  bool Write(const QString& text);

  QPlainTextEdit* tape_;
  QString path_;
  TReport report_;
  QTimer timer_;
  QElapsedTimer sinceWrite_;
  bool pending_ = false;
  bool failureReported_ = false;
};
