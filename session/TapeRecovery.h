#pragma once
// A copy of the tape in the file "tape.recovery" beside the settings file,
// kept at every change of the tape, so that a crash, a logout or a power cut
// loses nothing the operator spelled. The file holds the tape's text as
// UTF-8, lines separated by line feeds; an empty file means nothing is
// unsaved. Each write goes to a temporary file that replaces the old one
// only when complete and on the disk, so the file always holds either the
// old or the new text. Changes that come close together are written
// together, at most one write per MinGapMs; the last change is written at
// the latest when the object goes.
//
// A copy left by an earlier run that cannot be put on the tape as it is (not
// a regular file, larger than MaxBytes, unreadable, not UTF-8) is renamed
// aside, untouched, and the user is told where it is; the tape is kept in a
// new copy from then on. If it cannot be renamed, no copy is kept in this
// run, so that it is never overwritten.

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <functional>

class TTapeRecovery {
public:
  // Receives a message for the user (Russian) when the copy cannot be
  // written, or one left by an earlier run cannot be restored.
  using TReport = std::function<void(const QString&)>;

  // The tape's text as held: no-break spaces as they are, lines separated by
  // line feeds.
  using TSource = std::function<QString()>;

  // Keeps the copy in path; nothing is written until a source is set.
  explicit TTapeRecovery(const QString& path, TReport report = {});
  // Writes a change that is not written yet.
  ~TTapeRecovery();

  // The tape whose text is kept; an empty source (the tape is gone) first
  // writes a change still waiting.
  void SetSource(TSource source);
  // The tape changed: written within MinGapMs.
  void Changed();
  // The text an earlier run left in the copy when it can be put on the tape
  // as it is; empty when there is none (or it was set aside, and said so).
  QString Restore();
  // The tape is given up (the user chose to quit without saving it): the
  // copy is emptied now, and nothing is written any more, not even a change
  // still waiting.
  void Drop();
  // Writes a change that is not written yet, now.
  void WriteNow();
  // No change waits to be written.
  bool UpToDate() const { return !pending_; }

  // The name of the file in the data folder.
  static QString FileName() { return QStringLiteral("tape.recovery"); }

  // The largest copy that is restored: far more than any spelled tape, and
  // still put on the tape in well under a second.
  static constexpr qint64 MaxBytes = 1 << 20;

  static constexpr int MinGapMs = 200;
  static constexpr int RetryMs = 2000;

private:
  bool Write(const QString& text);
  // Renames the copy of an earlier run aside and says so; why: the reason.
  void SetAside(const QString& why);

  TSource source_;
  QString path_;
  TReport report_;
  QTimer timer_;
  QElapsedTimer sinceWrite_;
  bool pending_ = false;
  bool failureReported_ = false;
  // Nothing is written: the copy was dropped, or one that could not be
  // restored is still in its place.
  bool stopped_ = false;
};
