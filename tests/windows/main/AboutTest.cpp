// What the program tells about itself: the About box that F1 opens in any of
// its windows, and the identity the running windows carry.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>

#include "MainFixture.h"
#include "app/AboutBox.h"
#include "app/ProgramIdentity.h"
#include "app/ProgramInfo.h"
#include "windows/Graph.h"
#include "windows/Main.h"
#include "windows/Settings.h"

namespace {

using About = MainFixture;

QList<QMessageBox*> AboutBoxes() {
  QList<QMessageBox*> boxes;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QStringLiteral("AboutBox") && w->isVisible())
      boxes << qobject_cast<QMessageBox*>(w);
  return boxes;
}

void PressF1(QWidget* w) {
  QKeyEvent down(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
  QApplication::sendEvent(w, &down);
}

TEST(AboutText, NamesTheVersionTheLicenceAndTheRunningLibraries) {
  EXPECT_EQ(ProgramVersion(), QStringLiteral(QUILLORA_TEST_VERSION));
  const QString text = AboutText();
  EXPECT_TRUE(text.contains(QStringLiteral("Quillora " QUILLORA_TEST_VERSION)));
  EXPECT_TRUE(text.contains(QStringLiteral("GPL-3.0-or-later")));
  const QList<TLibraryInfo> libs = UsedLibraries();
  ASSERT_FALSE(libs.isEmpty());
  EXPECT_EQ(libs.first().Version, QString::fromLatin1(qVersion()));
#ifdef __linux__
  QStringList names;
  for (const TLibraryInfo& lib : libs) {
    names << lib.Name;
    EXPECT_FALSE(lib.Version.isEmpty()) << lib.Name.toStdString();
    EXPECT_TRUE(text.contains(lib.Name + QLatin1Char(' ') + lib.Version)) << lib.Name.toStdString();
  }
  EXPECT_EQ(names, (QStringList{QStringLiteral("Qt"), QStringLiteral("libpulse"),
                                QStringLiteral("espeak-ng")}));
#endif
}

TEST(AboutText, VersionAndHelpInTheUsersLanguage) {
  EXPECT_TRUE(
      VersionText(false).startsWith(QStringLiteral("Quillora " QUILLORA_TEST_VERSION "\n")));
  EXPECT_TRUE(VersionText(false).contains(QStringLiteral("GPL-3.0-or-later")));
  EXPECT_TRUE(VersionText(true).contains(QStringLiteral("Лицензия")));
  EXPECT_TRUE(HelpText(false).contains(QStringLiteral("--version")));
  EXPECT_TRUE(HelpText(true).contains(QStringLiteral("показать версию")));
}

TEST_F(About, F1InAnyWindowOpensOneBoxAndTypesNothing) {
  Launch();
  PressF1(FMain->MTape);
  ASSERT_EQ(AboutBoxes().size(), 1);
  EXPECT_EQ(AboutBoxes().first()->windowTitle(), QStringLiteral("О программе"));
  EXPECT_FALSE(AboutBoxes().first()->isModal()) << "the box must not stop a session";
  PressF1(FGraph);
  PressF1(FSettings);
  EXPECT_EQ(AboutBoxes().size(), 1) << "a second F1 raises the box already open";
  EXPECT_TRUE(Tape().isEmpty());
  AboutBoxes().first()->close();
  QApplication::processEvents();
  EXPECT_TRUE(AboutBoxes().isEmpty());
}

TEST_F(About, TheOpenBoxPassesASessionsKeysOn) {
  Launch();
  const int space = FSettings->DDSelectKey->findData(QStringLiteral("Space"));
  ASSERT_GE(space, 0);
  FSettings->DDSelectKey->setCurrentIndex(space);
  Start(QStringLiteral("1"));
  Poll(0.0);
  PressF1(FMain);
  ASSERT_EQ(AboutBoxes().size(), 1);
  QAbstractButton* ok = AboutBoxes().first()->button(QMessageBox::Ok);
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(ok, &down);
  QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(ok, &up);
  EXPECT_EQ(Tape(), QStringList{QStringLiteral("- A")}) << "the switch selects";
  EXPECT_EQ(AboutBoxes().size(), 1) << "and does not press the box's button";
  AboutBoxes().first()->close();
}

TEST(ProgramIdentity, WindowsCarryTheMenuEntrysNameAndIcon) {
  ApplyProgramIdentity(*qApp);
  EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.quillora.Quillora"));
  EXPECT_EQ(QCoreApplication::applicationVersion(), ProgramVersion());
  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.availableSizes().size(), 7);
  EXPECT_FALSE(icon.pixmap(48, 48).toImage().isNull());
}

}  // namespace
