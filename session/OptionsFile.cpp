#include "OptionsFile.h"

#include <QtGlobal>

#include "SwitchKeys.h"
#include "inifile/Cp1251.h"
#include "inifile/IniFile.h"

const TBoundsKeys MainWindowBounds{"Main", "Main Window Width", "Main Window Height"};
const TBoundsKeys SettingsWindowBounds{"Settings Window"};
const TBoundsKeys DisplayWindowBounds{"Display Window"};
const TBoundsKeys GraphWindowBounds{"Graph Window"};

namespace {

const char* const MainSection = "Main";
const char* const General = "General Options";
const char* const DisplayOptions = "Display Options";
const char* const SymbolSection = "Symbol Table";
const char* const KeysSection = "Keys";
const char* const TapeSection = "Tape";
const char* const CaptureSection = "Capture";
const char* const SpeedSection = "Speed";
const char* const SpeechSection = "Speech";
const char* const SwitchSection = "Switch";
const char* const CalibrationSection = "Calibration";
const char* const CueTimingSection = "Cue Timing";
const char* const HandsFreeSection = "Hands Free";

constexpr int DefaultSymbolCount = 28;

std::string SymbolKey(int k) { return "Symbol " + std::to_string(k); }

// The symbol a table without a key for symbol k (of n) gets: the cp1251
// character 64 + k ("A" for 1 ... "Z" for 26, then "[", "\", ...), then a
// space and a full stop for the last two.
QString DefaultSymbol(int k, int n) {
  if (k == n) return QStringLiteral(".");
  if (k == n - 1) return QStringLiteral(" ");
  const char32_t c = Cp1251ToUnicode(static_cast<unsigned char>(64 + k));
  return QString::fromUcs4(&c, 1);
}

class TReader {
public:
  explicit TReader(const QString& path) : Ini(path.toStdString()) {}
  void String(const char* section, const std::string& key, QString& value) const {
    value = QString::fromStdString(Ini.ReadString(section, key, value.toStdString()));
  }
  void Bool(const char* section, const char* key, bool& value) const {
    value = Ini.ReadBool(section, key, value);
  }
  void Integer(const char* section, const char* key, int& value, int min, int max) const {
    value = qBound(min, Ini.ReadInteger(section, key, value), max);
  }
  void Key(const char* key, QString& name) const {
    String(KeysSection, key, name);
    if (!SwitchKeyNames().contains(name)) name.clear();
  }
  const TIniFile Ini;
};

void ReadSession(const TReader& r, TSessionOptions& s) {
  r.String(General, "V Level", s.LevelText);
  r.String(General, "Char Period", s.SymbolPeriodText);
  r.Bool(General, "Fixed Selected", s.FixedSelected);
  r.Bool(General, "Fast Slow Mode", s.FastSlowMode);
  r.String(General, "Fast Symbol", s.FastSymbol);
  r.String(General, "Stop Symbol", s.StopSymbols);
  r.String(General, "Backspace Symbol", s.BackspaceSymbol);
  r.String(General, "On Level", s.OnLevel);
  r.String(General, "Off Level", s.OffLevel);
  r.Bool(General, "No Sensor Mode", s.NoSensorMode);
  const int n = qBound(TSessionOptions::MinSymbols,
                       r.Ini.ReadInteger(SymbolSection, "Count", DefaultSymbolCount),
                       TSessionOptions::MaxSymbols);
  s.Symbols.clear();
  for (int k = 1; k <= n; ++k) {
    QString symbol = DefaultSymbol(k, n);
    r.String(SymbolSection, SymbolKey(k), symbol);
    s.Symbols << symbol;
  }
  r.String(General, "Operator Logo", s.OperatorLogo);
  r.String(General, "Spirit Logo", s.SpiritLogo);
}

void ReadSpeech(const TReader& r, TSpeechOptions& s) {
  r.Bool(SpeechSection, "Auditory Scanning", s.AuditoryScanning);
  r.Bool(SpeechSection, "Say Selected Symbol", s.SaySelected);
  r.Bool(SpeechSection, "Read Finished Line", s.ReadLines);
  r.Bool(SpeechSection, "Ignore Sensor While Speaking", s.BlockSensor);
  const auto volume = [&r](const char* key, int& v) {
    r.Integer(SpeechSection, key, v, TSpeechOptions::MinVolume, TSpeechOptions::MaxVolume);
  };
  const auto rate = [&r](const char* key, int& v) {
    r.Integer(SpeechSection, key, v, TSpeechOptions::MinRate, TSpeechOptions::MaxRate);
  };
  volume("Cue Volume", s.Cue.Volume);
  rate("Cue Rate", s.Cue.Rate);
  volume("Main Volume", s.Main.Volume);
  rate("Main Rate", s.Main.Rate);
}

void ReadSwitch(const TReader& r, TSwitchOptions& s) {
  r.Integer(SwitchSection, "Acceptance Time", s.AcceptanceMs, 0, TSwitchOptions::MaxTimeMs);
  r.Integer(SwitchSection, "Release Time", s.ReleaseMs, 0, TSwitchOptions::MaxTimeMs);
  r.Integer(SwitchSection, "First Rest Extra", s.FirstRestExtraMs, 0,
            TSwitchOptions::MaxFirstRestExtraMs);
  r.Integer(SwitchSection, "Scan Loops", s.ScanLoops, 0, TSwitchOptions::MaxScanLoops);
  r.Integer(SwitchSection, "Maximum Hold", s.MaxHoldMs, 0, TSwitchOptions::MaxHoldLimitMs);
}

// A level mode out of range reads as none; the rest level is kept only
// when it is a number of the sensor's scale.
void ReadCalibration(const TReader& r, TCalibrationOptions& c) {
  const int mode = r.Ini.ReadInteger(CalibrationSection, "Level Mode", c.LevelMode);
  c.LevelMode = mode >= 0 && mode <= 2 ? mode : TCalibrationOptions::NoMode;
  QString rest = c.RestLevel;
  r.String(CalibrationSection, "Rest Level", rest);
  bool ok = false;
  const double level = rest.toDouble(&ok);
  c.RestLevel = ok && level >= 0.0 && level <= 1.0 ? rest : QString();
}

void ReadCueTiming(const TReader& r, TSpeechOptions& s) {
  r.Bool(CueTimingSection, "Open Time After Cue", s.OpenTime);
  r.Integer(CueTimingSection, "Echo Ms", s.EchoMs, TSpeechOptions::MinEchoMs, TSpeechOptions::MaxEchoMs);
}

void ReadHandsFree(const TReader& r, THandsFreeOptions& h) {
  r.Bool(HandsFreeSection, "Start By Reaction", h.StartByReaction);
  r.String(HandsFreeSection, "Pause Symbol", h.PauseSymbol);
  r.String(HandsFreeSection, "Call Symbol", h.CallSymbol);
  r.String(HandsFreeSection, "Read Line Symbol", h.ReadLineSymbol);
}

}  // namespace

void ReadOptions(const QString& path, TOptions& o) {
  const TReader r(path);
  ReadSession(r, o.Session);
  r.String(DisplayOptions, "Gauge Amp", o.Needle.Gain);
  r.String(General, "Data Acc Depth", o.Signal.DataAccDepth);
  r.String(General, "Level Acc Depth", o.Signal.LevelAccDepth);
  r.String(General, "Gauge Spring Dump", o.Needle.SpringDump);
  r.String(General, "Gauge Spring Speed", o.Needle.SpringSpeed);
  r.Bool(General, "Gauge Spring En", o.Needle.SpringEnabled);
  r.Bool(General, "Invert Sensor Data", o.Signal.InvertSensorData);
  r.Key("Select Key", o.Keys.SelectKey);
  r.Key("Start Key", o.Keys.StartKey);
  r.Key("Stop Key", o.Keys.StopKey);
  r.Integer(TapeSection, "Font Size", o.Tape.FontSize, TTapeOptions::MinFontSize,
            TTapeOptions::MaxFontSize);
  r.String(CaptureSection, "Device", o.Capture.Device);
  r.Bool(SpeedSection, "Restart After Selection", o.Speed.RestartAfterSelection);
  r.Bool(SpeedSection, "Predict Next Letter", o.Speed.PredictNextLetter);
  r.Integer(SpeedSection, "Undo Place", o.Speed.UndoPlace, 0, TSpeedOptions::MaxUndoPlace);
  r.Bool(SpeedSection, "Show Coming Order", o.Speed.ShowComingOrder);
  r.Bool(SpeedSection, "Group Scan", o.Speed.GroupScan);
  ReadSpeech(r, o.Speech);
  ReadSwitch(r, o.Switch);
  ReadCalibration(r, o.Calibration);
  ReadCueTiming(r, o.Speech);
  ReadHandsFree(r, o.HandsFree);
}

bool ReadBounds(const QString& path, const TBoundsKeys& keys, TBounds& b) {
  const TIniFile ini(path.toStdString());
  if (!ini.ValueExists(keys.Section, "Position Left") &&
      !ini.ValueExists(keys.Section, "Position Top") && !ini.ValueExists(keys.Section, keys.Width) &&
      !ini.ValueExists(keys.Section, keys.Height))
    return false;
  b.Left = ini.ReadInteger(keys.Section, "Position Left", b.Left);
  b.Top = ini.ReadInteger(keys.Section, "Position Top", b.Top);
  b.Width = ini.ReadInteger(keys.Section, keys.Width, b.Width);
  b.Height = ini.ReadInteger(keys.Section, keys.Height, b.Height);
  return true;
}

bool ReadMainMaximized(const QString& path) {
  return TIniFile(path.toStdString()).ReadBool(MainSection, "Main Window Maximized", false);
}

// ---------------------------------------------------------------------------

TOptionsWriter::TOptionsWriter(const QString& path, TOnRefusal onRefusal)
    : Ini(std::make_unique<TIniFile>(path.toStdString())), OnRefusal(onRefusal) {}

TOptionsWriter::~TOptionsWriter() = default;

void TOptionsWriter::Fail() {
  if (!Failed) Failure = QString::fromStdString(Ini->LastError());
  Failed = true;
}

void TOptionsWriter::String(const char* section, const std::string& key, const QString& value) {
  if (!Skipping() && !Ini->WriteString(section, key, value.toStdString())) Fail();
}

void TOptionsWriter::Integer(const char* section, const char* key, int value) {
  if (!Skipping() && !Ini->WriteInteger(section, key, value)) Fail();
}

void TOptionsWriter::Bool(const char* section, const char* key, bool value) {
  if (!Skipping() && !Ini->WriteBool(section, key, value)) Fail();
}

bool TOptionsWriter::Exists(const char* section) const { return Ini->SectionExists(section); }

bool TOptionsWriter::Finish() {
  if (!Skipping() && !Ini->UpdateFile()) Fail();
  return !Failed;
}

QString TOptionsWriter::Error() const { return Failure; }

void TOptionsWriter::Bounds(const TBoundsKeys& keys, const TBounds& b) {
  Integer(keys.Section, "Position Left", b.Left);
  Integer(keys.Section, "Position Top", b.Top);
  Integer(keys.Section, keys.Width, b.Width);
  Integer(keys.Section, keys.Height, b.Height);
}

void TOptionsWriter::MainWindow(bool maximized, const TSessionOptions& s) {
  Bool(MainSection, "Main Window Maximized", maximized);
  String(General, "V Level", s.LevelText);
  String(General, "Char Period", s.SymbolPeriodText);
}

void TOptionsWriter::Gain(const TNeedleOptions& needle) {
  String(DisplayOptions, "Gauge Amp", needle.Gain);
}

void TOptionsWriter::Calibration(const TCalibrationOptions& c) {
  if (!Exists(CalibrationSection) && c == TCalibrationOptions()) return;
  Integer(CalibrationSection, "Level Mode", c.LevelMode);
  String(CalibrationSection, "Rest Level", c.RestLevel);
}

void TOptionsWriter::Settings(const TOptions& o, bool includeOthers) {
  const TSessionOptions& s = o.Session;
  // Strings go out exactly as typed, blanks included.
  if (includeOthers) {
    String(General, "V Level", s.LevelText);
    String(General, "Char Period", s.SymbolPeriodText);
    Gain(o.Needle);
  }
  Bool(General, "Fixed Selected", s.FixedSelected);
  Bool(General, "Fast Slow Mode", s.FastSlowMode);
  String(General, "Fast Symbol", s.FastSymbol);
  String(General, "Stop Symbol", s.StopSymbols);
  String(General, "Backspace Symbol", s.BackspaceSymbol);
  String(General, "On Level", s.OnLevel);
  String(General, "Off Level", s.OffLevel);
  Bool(General, "No Sensor Mode", s.NoSensorMode);

  // Rewritten whole, so that no key of a removed symbol stays behind.
  if (!Skipping()) Ini->EraseSection(SymbolSection);
  Integer(SymbolSection, "Count", static_cast<int>(s.Symbols.size()));
  for (int k = 1; k <= s.Symbols.size(); ++k) String(SymbolSection, SymbolKey(k), s.Symbols[k - 1]);

  String(General, "Data Acc Depth", o.Signal.DataAccDepth);
  String(General, "Level Acc Depth", o.Signal.LevelAccDepth);
  String(General, "Gauge Spring Dump", o.Needle.SpringDump);
  String(General, "Gauge Spring Speed", o.Needle.SpringSpeed);
  Bool(General, "Gauge Spring En", o.Needle.SpringEnabled);
  Bool(General, "Invert Sensor Data", o.Signal.InvertSensorData);
  String(General, "Operator Logo", s.OperatorLogo);
  String(General, "Spirit Logo", s.SpiritLogo);

  const TKeyOptions& keys = o.Keys;
  if (Exists(KeysSection) || !(keys == TKeyOptions())) {
    String(KeysSection, "Select Key", keys.SelectKey);
    String(KeysSection, "Start Key", keys.StartKey);
    String(KeysSection, "Stop Key", keys.StopKey);
  }
  if (Exists(TapeSection) || o.Tape.FontSize != TTapeOptions::DesignFontSize)
    Integer(TapeSection, "Font Size", o.Tape.FontSize);
  // Only a chosen device is written: with the default the file stays as it
  // would be without this option.
  if (o.Capture.Device.isEmpty()) {
    if (!Skipping()) Ini->EraseSection(CaptureSection);
  } else {
    String(CaptureSection, "Device", o.Capture.Device);
  }
  if (Exists(SpeedSection) || !(o.Speed == TSpeedOptions())) {
    Bool(SpeedSection, "Restart After Selection", o.Speed.RestartAfterSelection);
    Bool(SpeedSection, "Predict Next Letter", o.Speed.PredictNextLetter);
    Integer(SpeedSection, "Undo Place", o.Speed.UndoPlace);
    Bool(SpeedSection, "Show Coming Order", o.Speed.ShowComingOrder);
    // Written once on or once in the file: files of before stay as they were.
    if (o.Speed.GroupScan || Ini->ValueExists(SpeedSection, "Group Scan"))
      Bool(SpeedSection, "Group Scan", o.Speed.GroupScan);
  }
  const TSpeechOptions& speech = o.Speech;
  if (speech.Speaks() || Exists(SpeechSection)) {
    Bool(SpeechSection, "Auditory Scanning", speech.AuditoryScanning);
    Bool(SpeechSection, "Say Selected Symbol", speech.SaySelected);
    Bool(SpeechSection, "Read Finished Line", speech.ReadLines);
    Bool(SpeechSection, "Ignore Sensor While Speaking", speech.BlockSensor);
    Integer(SpeechSection, "Cue Volume", speech.Cue.Volume);
    Integer(SpeechSection, "Cue Rate", speech.Cue.Rate);
    Integer(SpeechSection, "Main Volume", speech.Main.Volume);
    Integer(SpeechSection, "Main Rate", speech.Main.Rate);
  }
  const TSwitchOptions& sw = o.Switch;
  if (Exists(SwitchSection) || !(sw == TSwitchOptions())) {
    Integer(SwitchSection, "Acceptance Time", sw.AcceptanceMs);
    Integer(SwitchSection, "Release Time", sw.ReleaseMs);
    Integer(SwitchSection, "First Rest Extra", sw.FirstRestExtraMs);
    Integer(SwitchSection, "Scan Loops", sw.ScanLoops);
    Integer(SwitchSection, "Maximum Hold", sw.MaxHoldMs);
  }
  CueTiming(speech);
  HandsFree(o.HandsFree);
}

void TOptionsWriter::CueTiming(const TSpeechOptions& speech) {
  const TSpeechOptions design;
  if (Exists(CueTimingSection) || speech.OpenTime != design.OpenTime || speech.EchoMs != design.EchoMs) {
    Bool(CueTimingSection, "Open Time After Cue", speech.OpenTime);
    Integer(CueTimingSection, "Echo Ms", speech.EchoMs);
  }
}

void TOptionsWriter::HandsFree(const THandsFreeOptions& h) {
  if (!Exists(HandsFreeSection) && h == THandsFreeOptions()) return;
  Bool(HandsFreeSection, "Start By Reaction", h.StartByReaction);
  String(HandsFreeSection, "Pause Symbol", h.PauseSymbol);
  String(HandsFreeSection, "Call Symbol", h.CallSymbol);
  String(HandsFreeSection, "Read Line Symbol", h.ReadLineSymbol);
}
