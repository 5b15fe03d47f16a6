// The graph window: controls, markers with the mouse, zoom, counters,
// deletion, hover text and the window's bounds in the settings file.
#include "session/SessionModel.h"
#include "GraphTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QWindow>
#include <QScreen>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "inifile/IniFile.h"

namespace {

class GraphWindowTest : public GraphWindowFixture {};

// --- Controls --------------------------------------------------------------

TEST_F(GraphWindowTest, ControlsCarryTheirNamesCaptionsAndHints) {
  EXPECT_EQ(Graph->windowTitle(), QStringLiteral("График показаний Е-метра"));
  struct {
    const char* name;
    QString text;
    QString hint;
  } buttons[] = {
      {"BSaveWindow", "СО", "Сохранить показанную часть"},
      {"BSaveAll", "СВ", "Сохранить все данные с датчика"},
      {"BDeleteWindow", "УО", "Удалить/Очистить показанную часть"},
      {"BDeleteAll", "УВ", "Удалить/Очистить все данные с датчика"},
  };
  for (const auto& b : buttons) {
    auto* button = Graph->findChild<QPushButton*>(b.name);
    ASSERT_NE(button, nullptr) << b.name;
    EXPECT_EQ(button->text(), b.text);
    EXPECT_EQ(button->toolTip(), b.hint);
  }
  EXPECT_EQ(Graph->findChild<QCheckBox*>("CBEnTimeX")->toolTip(), "Разрешить масштаб времени");
  EXPECT_FALSE(Graph->CBEnTimeX->isChecked());
  EXPECT_EQ(Graph->findChild<QGroupBox*>("GroupBox1")->title(), "Маркеры");
  EXPECT_EQ(Graph->findChild<QLabel*>("Label2")->text(), "Масшт Врем");
  EXPECT_EQ(Graph->findChild<QLabel*>("Label6")->text(), "d-Врм");
  EXPECT_EQ(Graph->findChild<QLabel*>("Label5")->text(), "d-Сигн");
  EXPECT_EQ(Graph->findChild<QLabel*>("Label1")->text(), "Сч. Зап.");
  EXPECT_EQ(Graph->findChild<QLabel*>("Label3")->text(), "Время");
  EXPECT_EQ(Graph->findChild<QLineEdit*>("ETimeX")->toolTip(), "Масштаб времени, в разах");
  EXPECT_EQ(Graph->findChild<QLineEdit*>("EMarks_Time")->toolTip(),
            "Временная дистанция между маркерами, мс");
  EXPECT_EQ(Graph->findChild<QLineEdit*>("EMarks_Signal")->toolTip(),
            "Разница сигналов между маркерами");
  EXPECT_TRUE(Graph->findChild<QLineEdit*>("ERecordCount")->isReadOnly());
  EXPECT_TRUE(Graph->findChild<QLineEdit*>("ELapsedTime")->isReadOnly());
  EXPECT_NE(Graph->findChild<TImageView*>("GraphWindow"), nullptr);
}

TEST_F(GraphWindowTest, TheImageTakesTheGrowthOfTheWindowAndTheGroupStaysTopRight) {
  EXPECT_EQ(Graph->GraphWindow->size(), QSize(625, 209));
  EXPECT_EQ(View().Picture().size(), QSize(625, 209));
  const QRect group = Graph->GroupBox1->geometry();
  EXPECT_EQ(group.right(), 641 - 8 - 1);
  EXPECT_EQ(group.top(), 8);

  Graph->resize(900, 500);
  EXPECT_EQ(Graph->GraphWindow->size(), QSize(884, 396));
  EXPECT_EQ(View().Picture().size(), QSize(884, 396));  // redrawn at the new size
  EXPECT_EQ(Graph->GroupBox1->geometry().right(), 900 - 8 - 1);
  EXPECT_EQ(Graph->ERecordCount->geometry().bottom(), 500 - 12 - 1);
}

// --- Markers with the mouse ------------------------------------------------

TEST_F(GraphWindowTest, ALeftClickSetsMarkerOneAtTheRecordUnderIt) {
  Poll(300);
  Graph->GraphWindowMouseDown(Qt::LeftButton, 100, 50);
  EXPECT_EQ(View().Marker1(), 100);
  EXPECT_EQ(View().Marker2(), -1);
}

TEST_F(GraphWindowTest, WithZoomTwoALeftClickAt100SetsMarkerOneAtRecord200) {
  Poll(300);
  Graph->ETimeX->setText("2");
  Graph->CBEnTimeX->click();
  Graph->GraphWindowMouseDown(Qt::LeftButton, 100, 50);
  EXPECT_EQ(View().Marker1(), 200);
}

TEST_F(GraphWindowTest, ARightClickShowsTheDistancesAndSwapsWhenLeftOfMarkerOne) {
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  Poll(300);
  Graph->GraphWindowMouseDown(Qt::LeftButton, 200, 50);
  Graph->GraphWindowMouseDown(Qt::RightButton, 50, 50);
  EXPECT_EQ(View().Marker1(), 50);
  EXPECT_EQ(View().Marker2(), 200);
  EXPECT_EQ(Graph->EMarks_Time->text(), "6000");  // positive: 150 readings of 40 ms
  EXPECT_EQ(Graph->EMarks_Signal->text(), "0,150");
}

TEST_F(GraphWindowTest, ALeftClickLeavesTheDistancesAndOtherButtonsDoNothing) {
  Poll(300);
  Graph->GraphWindowMouseDown(Qt::LeftButton, 10, 50);
  Graph->GraphWindowMouseDown(Qt::RightButton, 20, 50);
  ASSERT_EQ(Graph->EMarks_Time->text(), "400");
  Graph->GraphWindowMouseDown(Qt::LeftButton, 100, 50);
  EXPECT_EQ(Graph->EMarks_Time->text(), "400");
  EXPECT_EQ(Graph->EMarks_Signal->text(), "0.010");
  Graph->GraphWindowMouseDown(Qt::MiddleButton, 150, 50);
  EXPECT_EQ(View().Marker1(), 100);
}

TEST_F(GraphWindowTest, ARightClickRightOfTheLastRecordSetsNothing) {
  Poll(100);
  Graph->GraphWindowMouseDown(Qt::LeftButton, 10, 50);
  Graph->GraphWindowMouseDown(Qt::RightButton, 150, 50);
  EXPECT_EQ(View().Marker2(), -1);
  EXPECT_TRUE(Graph->EMarks_Time->text().isEmpty());
}

TEST_F(GraphWindowTest, MarkerOneScrollingOutEmptiesBothFields) {
  Poll(PlotWidth());
  Graph->GraphWindowMouseDown(Qt::LeftButton, 0, 50);
  Graph->GraphWindowMouseDown(Qt::RightButton, 10, 50);
  ASSERT_EQ(Graph->EMarks_Time->text(), "400");
  Poll(1, DayTime(12, 0, 0, 0), PlotWidth());
  EXPECT_EQ(View().Marker1(), -1);
  EXPECT_TRUE(Graph->EMarks_Time->text().isEmpty());
  EXPECT_TRUE(Graph->EMarks_Signal->text().isEmpty());
}

TEST_F(GraphWindowTest, TheWindowShowsThePictureWhileItScrolls) {
  // What the window shows: its pixels as last painted, moved where it
  // scrolled.
  const auto screen = [this] {
    QApplication::processEvents();
    const QPoint at = Graph->GraphWindow->mapTo(Graph.get(), QPoint(0, 0));
    return Graph->screen()
        ->grabWindow(Graph->winId(), at.x(), at.y(), PlotWidth(), Graph->GraphWindow->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  };
  // On a real X server the window is shown some time after show(), and
  // only its part on the screen keeps its pixels.
  Graph->move(0, 0);
  QElapsedTimer waited;
  waited.start();
  while (!Graph->windowHandle()->isExposed() && waited.elapsed() < 5000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  ASSERT_TRUE(Graph->windowHandle()->isExposed());
  int polled = 0;
  for (; polled < PlotWidth() + 9; ++polled) {
    Poll(1, DayTime(12, 0, 0, 0), polled);
    QApplication::processEvents();
  }
  Graph->GraphWindowMouseDown(Qt::LeftButton, PlotWidth() - 20, 50);
  for (const int end = polled + 25; polled < end; ++polled) {
    Poll(1, DayTime(12, 0, 0, 0), polled);
    QApplication::processEvents();
  }
  ASSERT_EQ(View().Marker1(), PlotWidth() - 45);
  View().CatchUp();
  EXPECT_EQ(screen(), View().Picture());
}

TEST_F(GraphWindowTest, AMarkerAtRecordZeroOfAWindowNotYetFullStays) {
  Poll(100);
  Graph->GraphWindowMouseDown(Qt::LeftButton, 0, 50);
  Graph->GraphWindowMouseDown(Qt::RightButton, 10, 50);
  Poll(100, DayTime(12, 0, 0, 0), 100);
  EXPECT_EQ(View().Marker1(), 0);
  EXPECT_EQ(View().Marker2(), 10);
  EXPECT_EQ(Graph->EMarks_Time->text(), "400");
  EXPECT_EQ(Graph->EMarks_Signal->text(), "0.010");
}

// --- Zoom ------------------------------------------------------------------

TEST_F(GraphWindowTest, TheZoomFactorFollowsTheTextWithoutRedrawing) {
  EXPECT_DOUBLE_EQ(View().TimeZoomFactor, 0.0);  // before the first change
  Graph->ETimeX->setText("2,5");
  EXPECT_DOUBLE_EQ(View().TimeZoomFactor, 2.5);
  Graph->ETimeX->setText("0.5");
  EXPECT_DOUBLE_EQ(View().TimeZoomFactor, 0.5);
  Graph->ETimeX->setText("zwei");
  EXPECT_DOUBLE_EQ(View().TimeZoomFactor, 1.0);
  Graph->ETimeX->setText("");
  EXPECT_DOUBLE_EQ(View().TimeZoomFactor, 1.0);

  EXPECT_FALSE(View().TimeZoomOn);
  Graph->CBEnTimeX->click();
  EXPECT_TRUE(View().TimeZoomOn);
  Graph->CBEnTimeX->click();
  EXPECT_FALSE(View().TimeZoomOn);
}

TEST_F(GraphWindowTest, ZoomOnBeforeAnyFactorWasTypedCountsAsOne) {
  Poll(300);
  Graph->CBEnTimeX->click();
  Graph->GraphWindowMouseDown(Qt::LeftButton, 100, 50);
  EXPECT_EQ(View().Marker1(), 100);
  Poll(1, DayTime(12, 0, 0, 0), 300);  // draws without failing
}

// --- Counters --------------------------------------------------------------

TEST_F(GraphWindowTest, CountersShowTheRecordCountAndTheDuration) {
  Poll(313);  // 312 steps of 40 ms: 12.48 s
  EXPECT_EQ(Graph->ERecordCount->text(), "626");
  EXPECT_EQ(Graph->ELapsedTime->text(), "12.48");
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  Graph->UpdateCounters();
  EXPECT_EQ(Graph->ELapsedTime->text(), "12,48");
}

TEST_F(GraphWindowTest, AMinimisedWindowsCountersCatchUpWhenItIsRestored) {
  Poll(10);
  const QString before = Graph->ERecordCount->text();
  Graph->setWindowState(Qt::WindowMinimized);
  Poll(10);
  EXPECT_EQ(Graph->ERecordCount->text(), before);
  Graph->setWindowState(Qt::WindowNoState);
  EXPECT_EQ(Graph->ERecordCount->text(), QString::number(SessionModel->Recorder()->Count()));
  EXPECT_NE(Graph->ERecordCount->text(), before);
}

TEST_F(GraphWindowTest, TheGeneralFormatWithFiveSignificantDigits) {
  const QLocale c = QLocale::c();
  EXPECT_EQ(TFGraph::GeneralText5(0, c), "0");
  EXPECT_EQ(TFGraph::GeneralText5(12.5, c), "12.5");
  EXPECT_EQ(TFGraph::GeneralText5(3.14159, c), "3.1416");
  EXPECT_EQ(TFGraph::GeneralText5(123456, c), "1.2346E+05");
  EXPECT_EQ(TFGraph::GeneralText5(99999, c), "99999");
  EXPECT_EQ(TFGraph::GeneralText5(99999.5, c), "1E+05");
  EXPECT_EQ(TFGraph::GeneralText5(0.00001, c), "0.00001");
  EXPECT_EQ(TFGraph::GeneralText5(0.0000012345, c), "1.2345E-06");
  EXPECT_EQ(TFGraph::GeneralText5(1e120, c), "1E+120");
  EXPECT_EQ(TFGraph::GeneralText5(-7.25, c), "-7.25");
  EXPECT_EQ(TFGraph::GeneralText5(86399.96, c), "86400");
  EXPECT_EQ(TFGraph::GeneralText5(3.14159, QLocale(QLocale::Russian, QLocale::Russia)), "3,1416");
}

TEST_F(GraphWindowTest, CountersWithoutARecorderStayAsTheyWere) {
  UseRecorder(nullptr);
  Graph->UpdateCounters();
  EXPECT_TRUE(Graph->ERecordCount->text().isEmpty());
  UseRecorder(Recorder.get());
}

// --- Deleting --------------------------------------------------------------

TEST_F(GraphWindowTest, DeleteAllAsksAndOnYesEmptiesRecorderViewAndCounters) {
  Poll(50);
  Graph->BDeleteAllClick();  // No
  EXPECT_EQ(Dialogs.Questions, QStringList{"Delete all collected data?"});
  EXPECT_EQ(Recorder->Count(), 100);
  EXPECT_EQ(View().WindowLength(), 50);

  Dialogs.Answers = {true};
  Graph->BDeleteAllClick();
  EXPECT_EQ(Recorder->Count(), 0);
  EXPECT_EQ(View().WindowLength(), 0);
  EXPECT_EQ(Graph->ERecordCount->text(), "0");
  EXPECT_EQ(Graph->ELapsedTime->text(), "0");
}

TEST_F(GraphWindowTest, DeleteWindowAsksAndOnYesEmptiesOnlyTheView) {
  Poll(50);
  Graph->GraphWindowMouseDown(Qt::LeftButton, 5, 5);
  Graph->BDeleteWindowClick();  // No
  EXPECT_EQ(Dialogs.Questions, QStringList{"Delete data in the window?"});
  EXPECT_EQ(View().WindowLength(), 50);

  Dialogs.Answers = {true};
  Graph->BDeleteWindowClick();
  EXPECT_EQ(View().WindowLength(), 0);
  EXPECT_EQ(View().Marker1(), -1);
  EXPECT_EQ(Recorder->Count(), 100);
}

// --- Hover -----------------------------------------------------------------

TEST_F(GraphWindowTest, MouseMoveGivesTheImageItsHoverText) {
  Poll(20);
  Graph->GraphWindowMouseMove(5, 40);
  EXPECT_TRUE(Graph->GraphWindow->toolTip().startsWith("Time = 12:00:00.200\nSensor = 0.005"))
      << qPrintable(Graph->GraphWindow->toolTip());
  Graph->GraphWindowMouseMove(500, 40);
  EXPECT_TRUE(Graph->GraphWindow->toolTip().isEmpty());
}

TEST_F(GraphWindowTest, WithoutASessionMouseMoveDrawsTheCursorAtThePreviousPosition) {
  Poll(20);
  Graph->GraphWindowMouseMove(5, 40);
  Graph->GraphWindowMouseMove(5, 80);
  const QImage& shown = Graph->GraphWindow->Image();
  EXPECT_EQ(shown.pixel(300, 40) & 0xFFFFFF, 0xC0C0C0u);
  EXPECT_EQ(shown.pixel(300, 80) & 0xFFFFFF, 0xFFFFFFu);

  Main->BStartClick();  // the poll redraws during a session
  ASSERT_TRUE(Main->Running());
  Graph->GraphWindowMouseMove(5, 120);
  EXPECT_EQ(Graph->GraphWindow->Image().pixel(300, 80) & 0xFFFFFF, 0xFFFFFFu);
  Main->BStopClick();
}

// --- Bounds in the settings file -------------------------------------------

TEST_F(GraphWindowTest, BoundsAreReadAtCreationAndWrittenAtDestruction) {
  Graph.reset();
  {
    TIniFile ini(QDir(Folder.path()).filePath("Quillora.ini").toStdString());
    ini.WriteInteger("Graph Window", "Position Left", 120);
    ini.WriteInteger("Graph Window", "Position Top", 90);
    ini.WriteInteger("Graph Window", "Window Width", 700);
    ini.WriteInteger("Graph Window", "Window Height", 400);
    ASSERT_TRUE(ini.UpdateFile());
  }
  Graph = std::make_unique<TFGraph>();
  EXPECT_EQ(Graph->pos(), QPoint(120, 90));
  EXPECT_EQ(Graph->size(), QSize(700, 400));
  Graph->show();
  Graph->resize(800, 450);  // the bounds before this resize are kept
  Graph.reset();

  const TIniFile ini(QDir(Folder.path()).filePath("Quillora.ini").toStdString());
  EXPECT_EQ(ini.ReadInteger("Graph Window", "Position Left", -1), 120);
  EXPECT_EQ(ini.ReadInteger("Graph Window", "Position Top", -1), 90);
  EXPECT_EQ(ini.ReadInteger("Graph Window", "Window Width", -1), 700);
  EXPECT_EQ(ini.ReadInteger("Graph Window", "Window Height", -1), 400);
  EXPECT_TRUE(Dialogs.Messages.isEmpty());
}

TEST_F(GraphWindowTest, NoSettingsFileGivesTheDesignBounds) {
  Graph.reset();
  QFile::remove(QDir(Folder.path()).filePath("Quillora.ini"));
  Graph = std::make_unique<TFGraph>();
  EXPECT_EQ(Graph->pos(), QPoint(701, 133));
  EXPECT_EQ(Graph->size(), QSize(641, 313));
}

TEST_F(GraphWindowTest, ASettingsFileThatCannotBeWrittenIsReported) {
  Graph.reset();
  const QString path = QDir(Folder.path()).filePath("Quillora.ini");
  QFile::remove(path);
  ASSERT_TRUE(QDir(Folder.path()).mkdir("Quillora.ini"));  // a folder in its place
  Graph = std::make_unique<TFGraph>();
  Graph.reset();
  ASSERT_EQ(Dialogs.Messages.size(), 1);
  EXPECT_TRUE(Dialogs.Messages[0].startsWith("Unable to write to")) << qPrintable(Dialogs.Messages[0]);
  QDir(Folder.path()).rmdir("Quillora.ini");
}

} // namespace
