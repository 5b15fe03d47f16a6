#pragma once
// Appending the tape's lines to a text file: each line in cp1251, followed
// by CR LF; the file's existing content stays in front.

#include <QString>
#include <QStringList>

enum class TTapeFileResult {
  Saved,
  NotRepresentable,  // a line holds a character cp1251 cannot hold; nothing written
  CannotOpen,        // the file could not be opened or created
  WriteFailed        // writing or closing failed; the file was cut back to its old length
};

struct TTapeFileOutcome {
  TTapeFileResult Result = TTapeFileResult::Saved;
  // With NotRepresentable: the first character that cp1251 cannot hold.
  QString BadCharacter;
};

TTapeFileOutcome AppendLinesToFile(const QString& path, const QStringList& lines);
