#pragma once
// Writes readings to a text file: the header "Time\tTemp" and an empty line,
// then one line per record with the seconds since the first record and the
// record's Sensor value, both "%1.7lg" with a point, lines ending in CRLF.
//
// Times of records are times of day; when a record's time falls below the
// one before it, midnight has passed and the seconds go on counting from the
// day before, so the first column never runs backwards.

#include <QString>
#include <functional>

#include "sensor/InstData.h"

enum class TExportResult {
  Written,       // every record is in the file
  CannotCreate,  // the file could not be created; nothing was touched
  WriteFailed,   // a write or the close failed; the file is incomplete
  ReadFailed,    // a record could not be read; the partial file was removed
  Cancelled,     // the user stopped it; the partial file was removed
};

class TReadingsExport {
public:
  // Fills record with record i (0, 1, ... in order); false when it cannot.
  using TSource = std::function<bool(int i, TInstData& record)>;

  // Told the number of records written so far; false cancels the export.
  using TAdvance = std::function<bool(int done)>;

  // Writes count records from source to path. advance, when set, is called
  // every ProgressStep records and may cancel.
  static TExportResult Write(const QString& path, int count, const TSource& source,
                             const TAdvance& advance = {});

  static constexpr int ProgressStep = 4096;
};
