#include "recording/Instrecord.h"

#include "inifile/WidePath.h"
#include "sensor/Utils.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iostream>
#include <iterator>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {

constexpr int64_t kHeaderBytes = 8;
constexpr int64_t kRecordBytes = static_cast<int64_t>(sizeof(TInstData));
const unsigned char kHeader[kHeaderBytes] = {0, 0, 0, 0, 1, 0, 0, 0};

std::FILE* OpenFile(const std::string& path, const char* mode) {
#ifdef _WIN32
  // Paths are UTF-8; the narrow fopen would take them as the ANSI code page.
  std::wstring wpath, wmode;
  if (!WideFromUtf8(path, wpath) || !WideFromUtf8(mode, wmode)) return nullptr;
  return _wfopen(wpath.c_str(), wmode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

bool SeekTo(std::FILE* f, int64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(f, offset, origin) == 0;
#else
  return fseeko(f, static_cast<off_t>(offset), origin) == 0;
#endif
}

int64_t Tell(std::FILE* f) {
#ifdef _WIN32
  return _ftelli64(f);
#else
  return static_cast<int64_t>(ftello(f));
#endif
}

int64_t RecordOffset(int index) { return kHeaderBytes + kRecordBytes * index; }

}  // namespace

TInstDataRecorder::TInstDataRecorder(const std::string& fileName, int pageSize, bool keep,
                                     TReport report)
    : report_(std::move(report)) {
  Open(fileName, keep, pageSize);
}

TInstDataRecorder::~TInstDataRecorder() { Close(); }

int TInstDataRecorder::PageSize() const { return static_cast<int>(page_.size()); }

int TInstDataRecorder::PageStart() const {
  const int p = PageSize();
  return cursor_ / p * p;
}

int TInstDataRecorder::PageRecords() const {
  const int s = PageStart();
  return std::max(0, std::min(PageSize(), count_ - s));
}

void TInstDataRecorder::SetPageSize(int n) {
  n = std::max(n, 1);
  if (n == PageSize()) return;
  FlushPage();
  page_.resize(static_cast<std::size_t>(n));
  slotRecord_.resize(static_cast<std::size_t>(n), -1);
  LoadPage();
}

void TInstDataRecorder::Seek(int index) {
  index = std::clamp(index, 0, count_);
  const int p = PageSize();
  if (cursor_ / p == index / p) {
    cursor_ = index;
    return;
  }
  FlushPage();
  cursor_ = index;
  LoadPage();
}

void TInstDataRecorder::FlushPage() {
  if (!file_ || !dirty_) return;
  const int s = PageStart();
  const int n = PageRecords();
  bool ok = SeekTo(file_, RecordOffset(s), SEEK_SET);
  if (ok && n > 0) {
    ok = std::fwrite(page_.data(), static_cast<std::size_t>(kRecordBytes), static_cast<std::size_t>(n),
                     file_) == static_cast<std::size_t>(n);
    // Pushed to the system now, so a full disk shows up here and not later.
    ok = std::fflush(file_) == 0 && ok;
  }
  dirty_ = false;
  if (ok) {
    // Slots that hold no record of their own (a page that came back short
    // from the file) stay lost although the page was written.
    MarkKept(s, s + n);
    for (int k = 0; k < n; ++k) {
      int e = k;
      while (e < n && slotRecord_[static_cast<std::size_t>(e)] != s + e) ++e;
      if (e > k) MarkLost(s + k, s + e);
      k = e;
    }
  } else {
    MarkLost(s, s + n);
  }
  if (!ok && !writeFailureReported_) {
    writeFailureReported_ = true;
    Report("Не удалось записать данные в файл записи: " + fileName_);
  }
}

void TInstDataRecorder::LoadPage() {
  if (!file_) return;
  const int s = PageStart();
  const int n = PageRecords();
  if (SeekTo(file_, RecordOffset(s), SEEK_SET) && n > 0) {
    const std::size_t got = std::fread(page_.data(), static_cast<std::size_t>(kRecordBytes),
                                       static_cast<std::size_t>(n), file_);
    // What the file holds in place of a lost record is not that record.
    for (std::size_t k = 0; k < got; ++k) {
      const int32_t i = s + static_cast<int32_t>(k);
      slotRecord_[k] = IsLost(i) ? -1 : i;
    }
    // A short read leaves a partly read record: it is not that record.
    if (got < static_cast<std::size_t>(n)) slotRecord_[got] = -1;
    std::clearerr(file_);
  }
  dirty_ = false;
}

bool TInstDataRecorder::Open(const std::string& fileName, bool keep, int pageSize) {
  if (file_) Close();
  fileName_ = fileName;
  writeFailureReported_ = false;
  lost_.clear();

  // A fresh page is all zeros, so unused bytes written to the file are zeros.
  const std::size_t p = static_cast<std::size_t>(std::max(pageSize, 1));
  page_.assign(p, TInstData());
  slotRecord_.assign(p, -1);

  file_ = OpenFile(fileName, "r+b");
  if (!file_) file_ = OpenFile(fileName, "w+b");

  int64_t records = 0;
  if (file_) {
    SeekTo(file_, 0, SEEK_END);
    const int64_t size = Tell(file_);
    if (size < kHeaderBytes) {
      SeekTo(file_, 0, SEEK_SET);
      if (std::fwrite(kHeader, 1, sizeof kHeader, file_) != sizeof kHeader || std::fflush(file_) != 0) {
        writeFailureReported_ = true;
        Report("Не удалось записать данные в файл записи: " + fileName_);
      }
    } else if (keep) {
      records = (size - kHeaderBytes) / kRecordBytes;
    }
  } else {
    Report("Не удалось открыть файл записи: " + fileName_);
  }
  count_ = static_cast<int32_t>(std::min<int64_t>(records, INT_MAX));
  cursor_ = keep ? count_ : 0;
  startTime_ = 0.0;
  endTime_ = 0.0;
  dirty_ = false;
  LoadPage();
  return IsOpen();
}

bool TInstDataRecorder::IsOpen() const { return file_ != nullptr; }

void TInstDataRecorder::Clear() {
  lost_.clear();
  count_ = 0;
  cursor_ = 0;
  startTime_ = 0.0;
  endTime_ = 0.0;
  dirty_ = false;
}

void TInstDataRecorder::Close() {
  if (!file_) return;
  FlushPage();
  std::fclose(file_);
  file_ = nullptr;
}

double TInstDataRecorder::ElapsedSeconds() const {
  double days = DaysBetween(startTime_, endTime_);
  if (!(days >= 0.0)) days = 0.0;
  return days * 86400.0;
}

bool TInstDataRecorder::ReadNext(TInstData& record) {
  while (cursor_ < count_ && IsLost(cursor_)) {
    const auto range = std::prev(lost_.upper_bound(cursor_));
    Seek(std::min(range->second, count_));
  }
  if (cursor_ >= count_) return false;
  const std::size_t slot = static_cast<std::size_t>(cursor_ % PageSize());
  if (slotRecord_[slot] != cursor_) return false;
  std::memcpy(static_cast<void*>(&record), &page_[slot], TInstData::FieldBytes);
  Seek(cursor_ + 1);
  return true;
}

bool TInstDataRecorder::Write(const TInstData& record) {
  if (cursor_ == 0) startTime_ = record.Time;
  if (cursor_ == count_) endTime_ = record.Time;
  if (cursor_ > count_) return false;
  if (cursor_ == count_) ++count_;
  const std::size_t slot = static_cast<std::size_t>(cursor_ % PageSize());
  std::memcpy(static_cast<void*>(&page_[slot]), &record, TInstData::FieldBytes);
  slotRecord_[slot] = cursor_;
  if (!lost_.empty()) MarkKept(cursor_, cursor_ + 1);
  dirty_ = true;
  Seek(cursor_ + 1);
  return true;
}

bool TInstDataRecorder::IsLost(int index) const {
  auto it = lost_.upper_bound(index);
  if (it == lost_.begin()) return false;
  --it;
  return index < it->second;
}

int TInstDataRecorder::LostCount() const {
  int64_t n = 0;
  for (const auto& [first, end] : lost_)
    if (first < count_) n += std::min(end, count_) - first;
  return static_cast<int>(n);
}

void TInstDataRecorder::MarkKept(int32_t from, int32_t to) {
  auto it = lost_.upper_bound(from);
  if (it != lost_.begin()) --it;
  while (it != lost_.end() && it->first < to) {
    const int32_t first = it->first;
    const int32_t end = it->second;
    if (end <= from) {
      ++it;
      continue;
    }
    it = lost_.erase(it);
    if (first < from) lost_[first] = from;
    if (end > to) lost_[to] = end;
  }
}

void TInstDataRecorder::MarkLost(int32_t from, int32_t to) {
  if (from >= to) return;
  MarkKept(from, to);
  lost_[from] = to;
}

void TInstDataRecorder::ReportToStderr(const std::string& message) {
  std::cerr << message << std::endl;
}

void TInstDataRecorder::Report(const std::string& message) {
  if (report_)
    report_(message);
  else
    ReportToStderr(message);
}
