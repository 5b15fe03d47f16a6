// Renders the main window off screen at its design size, idle and during a
// session. With QUILLORA_SHOTS set to a folder the pictures are saved there
// as main.png and session.png.
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QPlainTextEdit>

#include "MainFixture.h"
#include "windows/Main.h"

namespace {

class Screens : public MainFixture {
protected:
  void Save(const QImage& image, const char* name) {
    const QByteArray folder = qgetenv("QUILLORA_SHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(QString::fromLocal8Bit(folder));
    EXPECT_TRUE(image.save(QDir(QString::fromLocal8Bit(folder)).filePath(QLatin1String(name))));
  }
};

TEST_F(Screens, MainWindowIdleAndInSession) {
  Launch(false);
  FMain->show();
  FMain->FormActivate();
  FMain->resize(633, 553);
  const QImage idle = FMain->grab().toImage();
  ASSERT_EQ(idle.size() / idle.devicePixelRatio(), QSize(633, 553));
  Save(idle, "main.png");

  HoldLevel();
  Start(QStringLiteral("1"));
  for (const QString& s : {QStringLiteral("H"), QStringLiteral("E"), QStringLiteral("L")}) {
    MoveTo(s);
    Fire();
  }
  FMain->BTimeStampClick();
  NextSymbol();
  NextSymbol();
  FMain->RunTimerTimer();
  FMain->RunTimerTimer();  // moving, two fifths on
  ASSERT_EQ(FMain->TapeLines().value(0), QStringLiteral("- HEL"));
  const QImage session = FMain->grab().toImage();
  EXPECT_NE(session, idle);
  Save(session, "session.png");
}

}  // namespace
