#include "files/TapeFile.h"

#include <QFile>
#include <string>

#include "inifile/Cp1251.h"

namespace {

TTapeFileStep failingStep = TTapeFileStep::None;

bool Fails(TTapeFileStep step) { return failingStep == step; }

// The first character of text that cp1251 cannot hold, or an empty string.
QString FirstUnrepresentable(const QString& text) {
  const QList<uint> codes = text.toUcs4();
  for (uint c : codes)
    if (!IsCp1251Representable(static_cast<char32_t>(c)))
      return QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
  return QString();
}

bool WriteAll(QFile& file, const std::string& bytes) {
  const char* data = bytes.data();
  qint64 left = static_cast<qint64>(bytes.size());
  while (left > 0) {
    const qint64 n = file.write(data, left);
    if (n <= 0) return false;
    data += n;
    left -= n;
  }
  return true;
}

}  // namespace

void SetTapeFileFailure(TTapeFileStep step) { failingStep = step; }

TTapeFileOutcome AppendLinesToFile(const QString& path, const QStringList& lines) {
  TTapeFileOutcome outcome;

  // The whole text is converted before the file is touched, so a character
  // that cannot be stored leaves the file as it was.
  std::string bytes;
  for (const QString& line : lines) {
    std::string converted;
    if (!Utf8ToCp1251(line.toStdString(), converted)) {
      outcome.Result = TTapeFileResult::NotRepresentable;
      outcome.BadCharacter = FirstUnrepresentable(line);
      return outcome;
    }
    bytes += converted;
    bytes += "\r\n";
  }

  // Unbuffered: every byte goes to the system at write(), so nothing is left
  // in a buffer for close() to push out after a failure was found.
  QFile file(path);
  const bool existed = file.exists();
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
    outcome.Result = TTapeFileResult::CannotOpen;
    return outcome;
  }
  const qint64 oldSize = file.size();
  const bool sequential = file.isSequential();
  bool ok = WriteAll(file, bytes) && !Fails(TTapeFileStep::Write);
  ok = ok && file.flush() && !Fails(TTapeFileStep::Flush);
  file.close();
  ok = ok && file.error() == QFileDevice::NoError && !Fails(TTapeFileStep::Close);
  if (!ok) {
    // Cut back only once the file is closed: whatever reached it in the
    // meantime goes as well, and the old bytes are all that is left.
    // A file this append created goes again: a failed save leaves the
    // folder as it was.
    if (!sequential) {
      if (existed)
        QFile::resize(path, oldSize);
      else
        QFile::remove(path);
    }
    outcome.Result = TTapeFileResult::WriteFailed;
  }
  return outcome;
}
