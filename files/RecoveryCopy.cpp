#include "files/RecoveryCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <string>

#include "inifile/WholeFile.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cstdio>
#endif

namespace {

// Renames from to to; false when to exists.
bool RenameNoReplace(const QString& from, const QString& to) {
#ifdef _WIN32
  // Without MOVEFILE_REPLACE_EXISTING an existing target is refused.
  return MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                     reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                     0) != 0;
#else
  // rename() would replace the target; the free name was checked just
  // before, in the program's own folder.
  const QFileInfo target(to);
  if (target.exists() || target.isSymLink()) return false;
  return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

}  // namespace

TCopyRead ReadCopy(const QString& path, qint64 maxBytes, QString& text) {
  text.clear();
  std::string bytes;
  std::string detail;
  // Non-blocking and for regular files only: a FIFO cannot hold up the start.
  switch (ReadWholeFile(path.toStdString(), bytes, detail)) {
    case TReadStatus::Missing:
      return TCopyRead::Missing;
    case TReadStatus::Ok:
      break;
    default: {
      // Only the wording of the report depends on why.
      const QFileInfo info(path);
      if (!info.isFile()) return TCopyRead::NotRegular;
      if (info.size() > maxBytes || info.size() > qint64(MaxWholeFileBytes))
        return TCopyRead::TooLarge;
      return TCopyRead::Unreadable;
    }
  }
  if (qint64(bytes.size()) > maxBytes) return TCopyRead::TooLarge;
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString decoded = utf8(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
  if (utf8.hasError()) return TCopyRead::NotUtf8;
  text = decoded;
  return TCopyRead::Text;
}

QString SetFileAside(const QString& path) {
  for (int n = 1; n <= 100; ++n) {
    const QString aside =
        path + QStringLiteral(".kept") + (n == 1 ? QString() : QString::number(n));
    const QFileInfo target(aside);
    if (target.exists() || target.isSymLink()) continue;
    if (RenameNoReplace(path, aside)) return aside;
    // Taken in the meantime: the next name.
    if (!QFileInfo(aside).exists()) return QString();
  }
  return QString();
}
