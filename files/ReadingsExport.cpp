#include "files/ReadingsExport.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <vector>

#include "inifile/FileReplacer.h"
#include "sensor/Utils.h"

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kLongestLine = 64;  // two numbers of %.7g, a tab, CRLF

// "%1.7lg" in the C locale whatever the process locale is.
char* PutNumber(char* at, char* end, double value) {
  return std::to_chars(at, end, value, std::chars_format::general, 7).ptr;
}

char* PutLine(char* at, char* end, double seconds, double sensor) {
  at = PutNumber(at, end, seconds);
  *at++ = '\t';
  at = PutNumber(at, end, sensor);
  *at++ = '\r';
  *at++ = '\n';
  return at;
}

// Writes the whole buffer; false on any shortfall.
bool WriteAll(QFile& file, const char* data, std::size_t size) {
  while (size > 0) {
    const qint64 n = file.write(data, static_cast<qint64>(size));
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

} // namespace

TExportResult TReadingsExport::Write(const QString& path, int count, const TSource& source,
                                     const TAdvance& advance, const TStart& start) {
  // A plain file is written beside the target and put in its place only when
  // complete, so an existing file is never left cut short. Anything else the
  // name may point to (a device, a pipe) is written to directly and never
  // replaced. Both are unbuffered, so every failing write is seen.
  const QFileInfo target(path);
  const bool direct = target.exists() && !target.isFile();
  TFileReplacer replacer;
  QFile plain(path);
  const bool opened =
      direct ? plain.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)
             : replacer.Open(path.toStdString());
  if (!opened) return TExportResult::CannotCreate;
  const auto put = [&](const char* data, std::size_t size) {
    return direct ? WriteAll(plain, data, size) : replacer.Write(data, size);
  };
  if (start) count = std::min(count, start(count));

  std::vector<char> chunk(kChunk + kLongestLine);
  char* const begin = chunk.data();
  char* const limit = begin + kChunk;
  char* const end = begin + chunk.size();
  static const char header[] = "Time\tTemp\r\n\r\n";
  std::copy(header, header + sizeof header - 1, begin);
  char* at = begin + sizeof header - 1;

  TExportResult result = TExportResult::Written;
  double t0 = 0.0;
  double previous = 0.0;
  double dayOffset = 0.0;
  TInstData record;
  for (int i = 0; i < count; ++i) {
    if (!source(i, record)) {
      result = TExportResult::ReadFailed;
      break;
    }
    if (i == 0) {
      t0 = record.Time;
    } else if (PassedMidnight(previous, record.Time)) {
      dayOffset += 1.0;
    }
    previous = record.Time;
    at = PutLine(at, end, (record.Time + dayOffset - t0) * kSecondsPerDay, record.Sensor);
    if (at >= limit) {
      if (!put(begin, static_cast<std::size_t>(at - begin))) {
        result = TExportResult::WriteFailed;
        break;
      }
      at = begin;
    }
    if (advance && (i + 1) % ProgressStep == 0 && !advance(i + 1)) {
      result = TExportResult::Cancelled;
      break;
    }
  }
  if (result == TExportResult::Written && at > begin &&
      !put(begin, static_cast<std::size_t>(at - begin)))
    result = TExportResult::WriteFailed;
  if (direct) {
    plain.close();
    if (result == TExportResult::Written && plain.error() != QFileDevice::NoError)
      result = TExportResult::WriteFailed;
  } else if (result == TExportResult::Written) {
    if (!replacer.Commit()) result = TExportResult::WriteFailed;
  } else {
    replacer.Cancel();
  }
  return result;
}
