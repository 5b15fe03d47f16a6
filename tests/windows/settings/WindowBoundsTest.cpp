// Window bounds from the settings file fitted to the screens, and the writes
// of all four windows at exit reported once.
#include "inifile/IniFile.h"
#include "support/ScriptedDialogs.h"
#include "files/AppFolder.h"
#include "app/AppWindows.h"
#include "windows/Main.h"
#include "windows/WindowBounds.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <climits>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QRect Screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }

TEST(WindowBoundsFit, AbsurdSizesFallBackToTheDesignSize) {
  const TBounds design{100, 50, 400, 300};
  const QRect area = Screen();
  // A huge size far away: the design size, centred on the primary screen.
  const TBounds far = TWindowBounds::Fitted({INT_MAX - 10, INT_MAX - 10, INT_MAX, INT_MAX}, design);
  EXPECT_EQ(far, (TBounds{area.left() + (area.width() - 400) / 2,
                          area.top() + (area.height() - 300) / 2, 400, 300}));
  EXPECT_EQ(TWindowBounds::Fitted({10, 20, 30000, 30000}, design), (TBounds{10, 20, 400, 300}));
  EXPECT_EQ(TWindowBounds::Fitted({10, 20, 0, -5}, design), (TBounds{10, 20, 400, 300}));
  // Sane bounds stay as they are, also when they reach past the screen's edge.
  EXPECT_EQ(TWindowBounds::Fitted({10, 20, 300, 200}, design), (TBounds{10, 20, 300, 200}));
  const TBounds overhanging{area.right() - 50, 20, 300, 200};
  EXPECT_EQ(TWindowBounds::Fitted(overhanging, design), overhanging);
}

TEST(WindowBoundsFit, AWindowIsNeverLargerThanItsScreen) {
  const QRect area = Screen();
  // A design larger than the screen (as on a small monitor): made to fit and
  // moved onto the screen.
  const TBounds design{0, 0, area.width() + 200, area.height() + 100};
  EXPECT_EQ(TWindowBounds::Fitted({50, 60, 30000, 30000}, design),
            (TBounds{area.left(), area.top(), area.width(), area.height()}));

  // Through the settings file, as a window reads it at creation.
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Quillora.ini"));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Graph Window]\r\nPosition Left=2000000000\r\nPosition Top=2000000000\r\n"
          "Window Width=2147483647\r\nWindow Height=2147483647\r\n");
  f.close();
  QWidget w;
  w.move(20, 30);
  w.resize(320, 240);
  TWindowBounds bounds(&w);
  bounds.Load(path, {"Graph Window"});
  EXPECT_EQ(w.size(), QSize(320, 240));
  EXPECT_TRUE(area.contains(QRect(w.pos(), w.size())));
}

TEST(WindowBoundsExit, AnUnwritableFileIsReportedOnceForAllWindows) {
  QTemporaryDir dir;
  SetAppDataFolder(dir.path());
  const QString path = SettingsFilePath();
  const QByteArray old = "[Main]\r\nPosition Left=207\r\n";
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(old);
  }
  ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
  TScriptedDialogs dialogs;
  CreateAppWindows();
  DestroyAppWindows();
  SetAppDataFolder(QString());
  EXPECT_EQ(dialogs.Messages, QStringList{QStringLiteral("Unable to write to ") + path});
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), old);
}

} // namespace
