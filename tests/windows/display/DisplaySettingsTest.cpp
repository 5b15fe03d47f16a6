// What the panel reads from and writes to the settings file.
#include "DisplayFixture.h"

#include "inifile/IniFile.h"
#include "windows/WindowBounds.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>

namespace {

class DisplaySettingsTest : public DisplayTest {
protected:
  void WriteBounds(int left, int top, int width, int height) {
    TIniFile ini(IniPath().toStdString());
    ini.WriteInteger("Display Window", "Position Left", left);
    ini.WriteInteger("Display Window", "Position Top", top);
    ini.WriteInteger("Display Window", "Window Width", width);
    ini.WriteInteger("Display Window", "Window Height", height);
    ASSERT_TRUE(ini.UpdateFile());
  }
  TBounds ReadBounds() const {
    const TIniFile ini(IniPath().toStdString());
    return {ini.ReadInteger("Display Window", "Position Left", -1),
            ini.ReadInteger("Display Window", "Position Top", -1),
            ini.ReadInteger("Display Window", "Window Width", -1),
            ini.ReadInteger("Display Window", "Window Height", -1)};
  }
  static void Shown(QWidget& w) {
    w.show();
    QCoreApplication::processEvents();
  }
  std::string ReadGain() const {
    const TIniFile ini(IniPath().toStdString());
    return ini.ReadString("Display Options", "Gauge Amp", "<none>");
  }
};

} // namespace

TEST_F(DisplaySettingsTest, WithoutASettingsFileTheDesignBoundsAreUsed) {
  TFDisplay& d = MakeDisplay();
  EXPECT_EQ(d.pos(), QPoint(248, 132));
  EXPECT_EQ(d.size(), QSize(801, 417));
  EXPECT_EQ(d.Bounds->Saved, (TBounds{248, 132, 801, 417}));
  EXPECT_EQ(d.SettingsFile, IniPath());
}

TEST_F(DisplaySettingsTest, BoundsAreReadAtCreationAndWrittenAtDestruction) {
  WriteBounds(300, 200, 700, 450);
  TFDisplay& d = MakeDisplay();
  EXPECT_EQ(d.pos(), QPoint(300, 200));
  EXPECT_EQ(d.size(), QSize(700, 450));
  // The bounds before a resize are the ones kept.
  Shown(d);
  d.resize(720, 460);
  QCoreApplication::processEvents();
  d.resize(740, 470);
  QCoreApplication::processEvents();
  Display.reset();
  EXPECT_EQ(ReadBounds(), (TBounds{300, 200, 720, 460}));
  EXPECT_TRUE(Dialogs.Messages.isEmpty());
}

TEST_F(DisplaySettingsTest, AWindowAtTheScreenCornerKeepsTheEarlierBounds) {
  TFDisplay& d = MakeDisplay();
  Shown(d);
  d.resize(820, 430);  // records 248, 132, 801, 417
  QCoreApplication::processEvents();
  d.move(0, 0);
  QCoreApplication::processEvents();
  d.resize(900, 500);  // at the corner: nothing recorded
  QCoreApplication::processEvents();
  Display.reset();
  EXPECT_EQ(ReadBounds(), (TBounds{248, 132, 801, 417}));
}

TEST_F(DisplaySettingsTest, GainTextIsWrittenAsTyped) {
  AttachChain();
  TFDisplay& d = MakeDisplay();
  d.EGaugeAmp->setText(QStringLiteral("5000"));
  EXPECT_DOUBLE_EQ(Chain.Model.Gain(), 1000);
  Display.reset();
  EXPECT_EQ(ReadGain(), "5000");

  TFDisplay& again = MakeDisplay();
  again.EGaugeAmp->setText(QStringLiteral(" 2,5 "));
  Display.reset();
  EXPECT_EQ(ReadGain(), " 2,5 ");
}

TEST_F(DisplaySettingsTest, OtherSectionsOfTheFileAreKept) {
  {
    TIniFile ini(IniPath().toStdString());
    ini.WriteString("General Options", "Symbol Period", "1500");
    ASSERT_TRUE(ini.UpdateFile());
  }
  MakeDisplay();
  Display.reset();
  const TIniFile ini(IniPath().toStdString());
  EXPECT_EQ(ini.ReadString("General Options", "Symbol Period", ""), "1500");
}

TEST_F(DisplaySettingsTest, RefusedSaveIsReported) {
  // A folder in the settings file's place cannot be replaced.
  ASSERT_TRUE(QDir(Folder.path()).mkdir(QStringLiteral("Quillora.ini")));
  MakeDisplay();
  Display.reset();
  ASSERT_EQ(Dialogs.Messages.size(), 1);
  EXPECT_EQ(Dialogs.Messages.front(), QStringLiteral("Unable to write to ") + IniPath());
}

TEST_F(DisplaySettingsTest, GainTextTheFileCannotHoldIsReportedAndTheBoundsStillSaved) {
  TFDisplay& d = MakeDisplay();
  d.EGaugeAmp->setText(QStringLiteral("100 ✓"));
  Display.reset();
  ASSERT_EQ(Dialogs.Messages.size(), 1);
  EXPECT_EQ(Dialogs.Messages.front(), QStringLiteral("Unable to write to ") + IniPath());
  EXPECT_EQ(ReadBounds(), (TBounds{248, 132, 801, 417}));
  EXPECT_EQ(ReadGain(), "<none>");
}
