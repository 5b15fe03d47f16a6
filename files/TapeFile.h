#pragma once
// Appending the tape's lines to a text file: each line in cp1251, followed
// by CR LF; the file's existing content stays in front. A save that fails
// leaves the file exactly as it was.

#include <QString>
#include <QStringList>

enum class TTapeFileResult {
  Saved,
  NotRepresentable,  // a line holds a character cp1251 cannot hold; nothing written
  CannotOpen,        // the file could not be opened or created
  WriteFailed        // writing, flushing or closing failed; the file keeps its old bytes
};

struct TTapeFileOutcome {
  TTapeFileResult Result = TTapeFileResult::Saved;
  // With NotRepresentable: the first character that cp1251 cannot hold.
  QString BadCharacter;
};

TTapeFileOutcome AppendLinesToFile(const QString& path, const QStringList& lines);

// For tests: the step of the next appends that is taken as failed after it
// ran (its bytes may be in the file), as a device error there would be.
enum class TTapeFileStep { None, Write, Flush, Close };
void SetTapeFileFailure(TTapeFileStep step);
