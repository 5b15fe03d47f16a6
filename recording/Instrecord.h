#pragma once

// The data recorder: every reading record of the run, in order, paged through
// a file of 48-byte records behind an 8-byte header. One page is in memory.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sensor/InstData.h"

class TInstDataRecorder {
public:
  // Receives a message for the user (Russian, with the file's path).
  using TReport = std::function<void(const std::string&)>;

  // Opens fileName (see Open). Problems go to report; none given: stderr.
  TInstDataRecorder(const std::string& fileName, int pageSize, bool keep,
                    TReport report = {});
  // Writes the page in memory and closes the file.
  virtual ~TInstDataRecorder();

  virtual int PageSize() const;
  // Writes the page, resizes the buffer (surviving slots kept), reloads.
  virtual void SetPageSize(int n);
  // Cursor = index clamped to 0..Count(); pages change as needed.
  virtual void Seek(int index);
  // Writes the page in memory when it holds unwritten records.
  virtual void FlushPage();
  // Reads the cursor's page from the file.
  virtual void LoadPage();
  // Opens fileName, creating it with its header when missing or shorter than
  // the header. keep: its records count and the cursor goes to the end;
  // otherwise the recorder starts empty. True when a file is open. A file
  // that cannot be opened is reported once.
  virtual bool Open(const std::string& fileName, bool keep, int pageSize);
  virtual bool IsOpen() const;
  // Empties the recorder; the file and the page buffer are left as they are.
  virtual void Clear();
  // Writes the page and closes the file.
  virtual void Close();
  // Duration from the first to the last record; a recording that passed
  // midnight counts the day. Never negative.
  virtual double ElapsedSeconds() const;
  // The record at the cursor, then the cursor advances. Records lost to a
  // failed page write are skipped: the next record that is still there is
  // returned. False (record and cursor untouched) at the end, or when the
  // record is not available: not in memory and no file to read it from.
  virtual bool ReadNext(TInstData& record);
  // Writes the record at the cursor (appends at the end) and advances.
  virtual bool Write(const TInstData& record);

  int Count() const { return count_; }
  int Cursor() const { return cursor_; }
  double StartTime() const { return startTime_; }
  double EndTime() const { return endTime_; }
  const std::string& FileName() const { return fileName_; }
  // Records below Count() whose page could not be written to the file: they
  // exist nowhere any more and ReadNext passes over them.
  int LostCount() const;
  bool IsLost(int index) const;

  static void ReportToStderr(const std::string& message);

private:
  int PageStart() const;
  int PageRecords() const;
  void Report(const std::string& message);
  void MarkLost(int32_t from, int32_t to);
  void MarkKept(int32_t from, int32_t to);

  std::vector<TInstData> page_;
  // Record index each slot holds (-1: none), so a slot is never read back as
  // another record.
  std::vector<int32_t> slotRecord_;
  int32_t count_ = 0;
  int32_t cursor_ = 0;
  std::FILE* file_ = nullptr;
  bool dirty_ = false;
  double startTime_ = 0.0;
  double endTime_ = 0.0;
  std::string fileName_;
  TReport report_;
  bool writeFailureReported_ = false;
  // Lost records as ranges [first, end), keyed by first; disjoint.
  std::map<int32_t, int32_t> lost_;
};
