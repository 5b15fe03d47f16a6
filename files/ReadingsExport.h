#pragma once
// Writes readings to a text file: the header "Time\tTemp" and an empty line,
// then one line per record with the seconds since the first record and the
// record's Sensor value, both "%1.7lg" with a point, lines ending in CRLF.
//
// Times of records are times of day; when a record's time falls back by more
// than half a day from the one before it, midnight has passed and the seconds
// go on counting from the day before. A smaller step back is the clock being
// set back, not midnight.
//
// A plain file is written beside the target and replaces it only when
// complete: whatever fails, an existing file keeps its old content.

#include <QString>
#include <functional>

#include "sensor/InstData.h"

enum class TExportResult {
  Written,       // every record is in the file
  CannotCreate,  // the file could not be created; nothing was touched
  WriteFailed,   // a write or the final replacement failed; nothing was touched
  ReadFailed,    // a record could not be read; nothing was touched
  Cancelled,     // the user stopped it; nothing was touched
};

class TReadingsExport {
public:
  // Fills record with record i (0, 1, ... in order); false when it cannot.
  using TSource = std::function<bool(int i, TInstData& record)>;

  // Told the number of records written so far; false cancels the export.
  using TAdvance = std::function<bool(int done)>;

  // Called once the file is created, before the first record, with count;
  // returns how many records there are to write (at most count).
  using TStart = std::function<int(int count)>;

  // Writes count records from source to path. advance, when set, is called
  // every ProgressStep records and may cancel.
  static TExportResult Write(const QString& path, int count, const TSource& source,
                             const TAdvance& advance = {}, const TStart& start = {});

  static constexpr int ProgressStep = 4096;
};
