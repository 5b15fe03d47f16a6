#include "files/TapeFile.h"

#include <QFile>
#include <string>

#include "inifile/Cp1251.h"

namespace {

// The first character of text that cp1251 cannot hold, or an empty string.
QString FirstUnrepresentable(const QString& text) {
  const QList<uint> codes = text.toUcs4();
  for (uint c : codes)
    if (!IsCp1251Representable(static_cast<char32_t>(c)))
      return QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
  return QString();
}

}  // namespace

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

  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
    outcome.Result = TTapeFileResult::CannotOpen;
    return outcome;
  }
  const qint64 oldSize = file.size();
  const qint64 written = file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  bool ok = written == static_cast<qint64>(bytes.size()) && file.flush();
  if (!ok && file.isSequential() == false && file.size() != oldSize) {
    // Leave no half-written tape behind.
    file.resize(oldSize);
  }
  file.close();
  if (ok && file.error() != QFileDevice::NoError) ok = false;
  if (!ok) outcome.Result = TTapeFileResult::WriteFailed;
  return outcome;
}
