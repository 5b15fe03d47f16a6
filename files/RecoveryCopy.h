#pragma once
// Reading back a copy that an earlier run kept (the tape's recovery copy)
// without ever blocking or taking in an absurd amount, and setting one aside
// that cannot be used as it is, so that it is neither lost nor overwritten.

#include <QString>

enum class TCopyRead {
  Missing,     // there is no copy
  Text,        // the copy's text, decoded from UTF-8
  NotRegular,  // a folder, a FIFO, a device: never opened for reading
  TooLarge,    // larger than the bound: not read
  Unreadable,  // it exists but cannot be read
  NotUtf8      // its bytes are not UTF-8 text
};

// Reads the copy at path, of at most maxBytes (no more than
// MaxWholeFileBytes), into text.
TCopyRead ReadCopy(const QString& path, qint64 maxBytes, QString& text);

// Renames the file (of whatever kind) at path to a free name beside it:
// path + ".kept", else ".kept2", ".kept3" ...; an existing file is never
// replaced. The new path, or an empty text when it cannot be renamed.
QString SetFileAside(const QString& path);
