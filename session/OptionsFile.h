#pragma once
// The options in the settings file "Quillora.ini" (cp1251, INI): reading
// every group, and writing each window's part with its keys in their order.
// A missing key keeps the value passed in, which is the one in force.

#include <QString>

#include <memory>

#include "Options.h"
#include "StoredBounds.h"

class TIniFile;

// Every group. The symbol table is the exception to "missing keeps": its
// count defaults to 28 and a missing symbol k of n to the cp1251 character
// 64 + k, the last two to a blank and a full stop. Numbers of spin boxes
// (tape size, voices) are held to their ranges; an unknown key name reads
// as no key.
void ReadOptions(const QString& path, TOptions& options);

// A window's bounds, a missing key keeping the value in bounds. False, with
// bounds untouched, when the file holds none of the window's keys.
bool ReadBounds(const QString& path, const TBoundsKeys& keys, TBounds& bounds);
// "Main Window Maximized" of "Main", false when missing or not an integer.
bool ReadMainMaximized(const QString& path);

// The main window's bounds and size keys.
extern const TBoundsKeys MainWindowBounds;
extern const TBoundsKeys SettingsWindowBounds;
extern const TBoundsKeys DisplayWindowBounds;
extern const TBoundsKeys GraphWindowBounds;

// One pass of writes into a settings file. By default the first refused
// write ends the pass: the writes after it are skipped and Finish() leaves
// the file on disk as it was, so a failed pass never leaves half a symbol
// table behind. A pass that keeps going leaves out only the refused writes
// (the panel's bounds are saved even when its gain text cannot be).
class TOptionsWriter {
public:
  enum TOnRefusal { SkipRest, KeepGoing };
  explicit TOptionsWriter(const QString& path, TOnRefusal onRefusal = SkipRest);
  ~TOptionsWriter();
  TOptionsWriter(const TOptionsWriter&) = delete;
  TOptionsWriter& operator=(const TOptionsWriter&) = delete;

  void Bounds(const TBoundsKeys& keys, const TBounds& bounds);
  // The rest of the main window's part: "Main Window Maximized", then
  // "V Level" and "Char Period".
  void MainWindow(bool maximized, const TSessionOptions& session);
  // The panel's "Gauge Amp" in "Display Options".
  void Gain(const TNeedleOptions& needle);
  // The panel's "Calibration" section ("Level Mode", "Rest Level"), written
  // only once a calibration was accepted or the file holds the section.
  void Calibration(const TCalibrationOptions& calibration);
  // The settings window's keys; with includeOthers also "V Level", "Char
  // Period" and "Gauge Amp" first. The symbol table section is rewritten
  // whole. The sections of this program's own options ("Keys", "Tape",
  // "Capture", "Speed", "Speech", "Switch") appear only once a value differs from its
  // design default or the file holds the section already.
  void Settings(const TOptions& options, bool includeOthers);

  // Writes the file; false when a write of the pass was refused or the file
  // could not be written.
  bool Finish();
  // "Unable to write to <path>" after a failure: the first one of the pass.
  QString Error() const;

private:
  void String(const char* section, const std::string& key, const QString& value);
  void Integer(const char* section, const char* key, int value);
  void Bool(const char* section, const char* key, bool value);
  bool Exists(const char* section) const;
  // "Cue Timing": the speech group's cue timing, once it differs from the
  // design or the file holds the section.
  void CueTiming(const TSpeechOptions& speech);
  // "Hands Free": the hands-free symbols, once one is set or the file holds
  // the section.
  void HandsFree(const THandsFreeOptions& handsFree);
  void Fail();
  bool Skipping() const { return Failed && OnRefusal == SkipRest; }

  std::unique_ptr<TIniFile> Ini;
  TOnRefusal OnRefusal;
  bool Failed = false;
  QString Failure;
};
