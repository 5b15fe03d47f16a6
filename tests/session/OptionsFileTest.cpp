// The settings file mapper without any window: every group back as written,
// a missing key keeping the value in force, the held ranges, and a refused
// write leaving the file as it was.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "session/OptionsFile.h"
#include "session/SwitchKeys.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

// Every option away from its design value.
TOptions Changed() {
  TOptions o;
  o.Session.LevelText = QStringLiteral("2,5");
  o.Session.SymbolPeriodText = QStringLiteral(" 0.75 ");
  o.Session.Symbols = {QStringLiteral("А"), QStringLiteral("\"q\""), QStringLiteral("  "), QStringLiteral(".")};
  o.Session.FixedSelected = true;
  o.Session.FastSlowMode = true;
  o.Session.FastSymbol = QStringLiteral("Б");
  o.Session.StopSymbols = QStringLiteral(".;!");
  o.Session.BackspaceSymbol = QStringLiteral("<<");
  o.Session.OnLevel = QStringLiteral("30,5");
  o.Session.OffLevel = QStringLiteral("abc");
  o.Session.NoSensorMode = true;
  o.Session.OperatorLogo = QStringLiteral("  Оп:  ");
  o.Session.SpiritLogo = QStringLiteral("'Дух'");
  o.Signal = {QStringLiteral("2000"), QStringLiteral("x"), false};
  o.Needle = {QStringLiteral("2,5"), QStringLiteral("0.3"), true, QStringLiteral("250")};
  o.Speech.ReadLines = true;
  o.Speech.BlockSensor = false;
  o.Speech.Cue = {55, 300};
  o.Speech.Main = {0, 450};
  o.Speech.OpenTime = true;
  o.Speech.EchoMs = 75;
  o.Speed = {true, true, 7, false, true};
  o.Keys = {QStringLiteral("Space"), QStringLiteral("F12"), QStringLiteral("Return")};
  o.Capture.Device = QStringLiteral("usb-вход");
  o.Tape.FontSize = 20;
  o.Switch = {200, 120, 1500, 3, 12000};
  return o;
}

void ExpectSame(const TOptions& a, const TOptions& b) {
  EXPECT_TRUE(a.Session == b.Session);
  EXPECT_EQ(a.Session.Symbols, b.Session.Symbols);
  EXPECT_TRUE(a.Signal == b.Signal);
  EXPECT_TRUE(a.Needle == b.Needle);
  EXPECT_TRUE(a.Speech == b.Speech);
  EXPECT_TRUE(a.Speed == b.Speed);
  EXPECT_TRUE(a.Keys == b.Keys);
  EXPECT_TRUE(a.Capture == b.Capture);
  EXPECT_TRUE(a.Tape == b.Tape);
  EXPECT_TRUE(a.Switch == b.Switch);
}

class OptionsFile : public ::testing::Test {
protected:
  QString Path(const char* name) const { return Dir.filePath(QLatin1String(name)); }
  QTemporaryDir Dir;
};

TEST_F(OptionsFile, EveryGroupAndTheBoundsComeBackAsWritten) {
  const TOptions written = Changed();
  const TBounds bounds{-20, 40, 700, 500};
  TOptionsWriter w(Path("all.ini"));
  w.Bounds(MainWindowBounds, bounds);
  w.MainWindow(true, written.Session);
  w.Settings(written, true);
  ASSERT_TRUE(w.Finish()) << w.Error().toStdString();

  TOptions read;
  ReadOptions(Path("all.ini"), read);
  ExpectSame(read, written);
  TBounds back;
  ASSERT_TRUE(ReadBounds(Path("all.ini"), MainWindowBounds, back));
  EXPECT_EQ(back, bounds);
  EXPECT_TRUE(ReadMainMaximized(Path("all.ini")));
}

TEST_F(OptionsFile, MissingKeysKeepTheValuesInForce) {
  WriteAll(Path("one.ini"), "[General Options]\r\nOn Level=45\r\n[Graph Window]\r\nPosition Top=9\r\n");
  const TOptions before = Changed();
  TOptions read = before;
  ReadOptions(Path("one.ini"), read);
  TOptions expected = before;
  expected.Session.OnLevel = QStringLiteral("45");
  // The symbol table alone has file defaults: 28 symbols, "A" to "Z", " ", ".".
  expected.Session.Symbols = TSessionOptions::DesignSymbols();
  ExpectSame(read, expected);

  TBounds bounds{1, 2, 3, 4};
  EXPECT_FALSE(ReadBounds(Path("one.ini"), DisplayWindowBounds, bounds));
  EXPECT_EQ(bounds, (TBounds{1, 2, 3, 4}));
  EXPECT_TRUE(ReadBounds(Path("one.ini"), GraphWindowBounds, bounds));
  EXPECT_EQ(bounds, (TBounds{1, 9, 3, 4}));
  EXPECT_FALSE(ReadMainMaximized(Path("one.ini")));
  TOptions none = before;
  ReadOptions(Path("missing.ini"), none);
  EXPECT_EQ(none.Session.Symbols, TSessionOptions::DesignSymbols());
  EXPECT_EQ(none.Session.OnLevel, before.Session.OnLevel);
}

TEST_F(OptionsFile, NumbersAreHeldToTheirRangesAndUnknownKeysReadAsNone) {
  WriteAll(Path("odd.ini"),
           "[Keys]\r\nSelect Key=Banana\r\nStart Key=F9\r\nStop Key=F2\r\n"
           "[Tape]\r\nFont Size=500\r\n[Speech]\r\nCue Rate=10\r\nMain Volume=-5\r\n"
           "[Speed]\r\nUndo Place=99\r\n[Cue Timing]\r\nEcho Ms=5000\r\n");
  TOptions o = Changed();
  ReadOptions(Path("odd.ini"), o);
  EXPECT_EQ(o.Keys.SelectKey, QString());
  EXPECT_EQ(o.Keys.StartKey, QString()) << "F9 selects anyway and is not offered";
  EXPECT_EQ(o.Keys.StopKey, QStringLiteral("F2"));
  EXPECT_EQ(o.Tape.FontSize, TTapeOptions::MaxFontSize);
  EXPECT_EQ(o.Speech.Cue.Rate, TSpeechOptions::MinRate);
  EXPECT_EQ(o.Speech.Main.Volume, TSpeechOptions::MinVolume);
  EXPECT_EQ(o.Speed.UndoPlace, TSpeedOptions::MaxUndoPlace);
  EXPECT_EQ(o.Speech.EchoMs, TSpeechOptions::MaxEchoMs);

  EXPECT_EQ(SwitchKeyOfName(QStringLiteral("F12")), Qt::Key_F12);
  EXPECT_EQ(SwitchKeyOfName(QStringLiteral("Return")), Qt::Key_Return);
  EXPECT_EQ(SwitchKeyOfName(QStringLiteral("2")), Qt::Key_2);
  EXPECT_EQ(SwitchKeyOfName(QStringLiteral("F9")), 0);
  EXPECT_TRUE(IsSwitchKey(Qt::Key_Enter, Qt::Key_Return));
}

TEST_F(OptionsFile, TheSwitchSectionAppearsOnceAnOptionIsOnAndIsHeldToItsRanges) {
  TOptionsWriter design(Path("design.ini"));
  design.Settings(TOptions(), false);
  ASSERT_TRUE(design.Finish());
  EXPECT_FALSE(ReadAll(Path("design.ini")).contains("[Switch]"));

  TOptions o;
  o.Switch.ScanLoops = 2;
  TOptionsWriter w(Path("switch.ini"));
  w.Settings(o, false);
  ASSERT_TRUE(w.Finish());
  EXPECT_TRUE(ReadAll(Path("switch.ini"))
                  .contains("[Switch]\r\nAcceptance Time=0\r\nRelease Time=0\r\nFirst Rest Extra=0\r\n"
                            "Scan Loops=2\r\nMaximum Hold=0\r\n"));

  WriteAll(Path("odd.ini"), "[Switch]\r\nAcceptance Time=-40\r\nRelease Time=99999\r\n"
                            "Scan Loops=x\r\nMaximum Hold=600000\r\n");
  TOptions read;
  read.Switch.ScanLoops = 4;
  ReadOptions(Path("odd.ini"), read);
  EXPECT_EQ(read.Switch.AcceptanceMs, 0);
  EXPECT_EQ(read.Switch.ReleaseMs, TSwitchOptions::MaxTimeMs);
  EXPECT_EQ(read.Switch.ScanLoops, 4) << "not a number keeps the value in force";
  EXPECT_EQ(read.Switch.MaxHoldMs, TSwitchOptions::MaxHoldLimitMs);
}

TEST_F(OptionsFile, ARefusedWriteLeavesTheFileAsItWasUnlessThePassKeepsGoing) {
  const QByteArray before = "[Symbol Table]\r\nCount=3\r\n";
  WriteAll(Path("kept.ini"), before);
  TOptions o;
  o.Session.OnLevel = QStringLiteral("30 ✓");  // not in cp1251
  TOptionsWriter w(Path("kept.ini"));
  w.Settings(o, false);
  EXPECT_FALSE(w.Finish());
  EXPECT_EQ(w.Error(), QStringLiteral("Unable to write to ") + Path("kept.ini"));
  EXPECT_EQ(ReadAll(Path("kept.ini")), before);

  o.Needle.Gain = QStringLiteral("100 ✓");
  TOptionsWriter panel(Path("panel.ini"), TOptionsWriter::KeepGoing);
  panel.Gain(o.Needle);
  panel.Bounds(DisplayWindowBounds, {5, 6, 7, 8});
  EXPECT_FALSE(panel.Finish());
  TBounds b;
  ASSERT_TRUE(ReadBounds(Path("panel.ini"), DisplayWindowBounds, b));
  EXPECT_EQ(b, (TBounds{5, 6, 7, 8}));
}

}  // namespace

namespace {

// The accepted calibration's section: absent until one was accepted, then
// back as written; a mode or rest level that is not one reads as none.
TEST_F(OptionsFile, TheCalibrationSectionAppearsOnlyOnceACalibrationWasAccepted) {
  TOptionsWriter none(Path("cal.ini"));
  none.Gain(TNeedleOptions());
  none.Calibration(TCalibrationOptions());
  ASSERT_TRUE(none.Finish());
  EXPECT_FALSE(ReadAll(Path("cal.ini")).contains("[Calibration]"));

  TCalibrationOptions accepted;
  accepted.LevelMode = 2;
  accepted.RestLevel = QStringLiteral("0.078");
  TOptionsWriter w(Path("cal.ini"));
  w.Calibration(accepted);
  ASSERT_TRUE(w.Finish());
  EXPECT_TRUE(
      ReadAll(Path("cal.ini")).contains("[Calibration]\r\nLevel Mode=2\r\nRest Level=0.078\r\n"));
  TOptions read;
  ReadOptions(Path("cal.ini"), read);
  EXPECT_TRUE(read.Calibration == accepted);

  WriteAll(Path("odd.ini"), "[Calibration]\r\nLevel Mode=7\r\nRest Level=plenty\r\n");
  TOptions odd;
  odd.Calibration = accepted;
  ReadOptions(Path("odd.ini"), odd);
  EXPECT_FALSE(odd.Calibration.Accepted());
  EXPECT_EQ(odd.Calibration.RestLevel, QString());
}

}  // namespace
