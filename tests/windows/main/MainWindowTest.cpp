// Start-up and exit of the main window against real files in a temporary
// folder: activation, the "Main" keys, bounds tracking and the close question.
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

#include "session/SessionModel.h"
#include "MainFixture.h"
#include "app/SafeApplication.h"
#include "inifile/Cp1251.h"
#include "inifile/IniFile.h"
#include "recording/Instrecord.h"
#include "windows/ImageView.h"
#include "windows/Main.h"
#include "windows/Settings.h"
#include "windows/WindowBounds.h"

namespace {

class MainWindow : public MainFixture {};

int ReadMain(const QString& path, const char* key) {
  const TIniFile ini(path.toStdString());
  return ini.ReadInteger("Main", key, -12345);
}

TEST_F(MainWindow, FirstStartWithoutAFileKeepsTheInitialValues) {
  Launch();
  EXPECT_EQ(FMain->windowTitle(), QStringLiteral("QUILLORA"));
  EXPECT_EQ(FMain->ELevel->text(), QStringLiteral("5.000"));
  EXPECT_EQ(FMain->ESymbolPeriod->text(), QStringLiteral("1.000"));
  EXPECT_EQ((TBounds{FMain->SavedLeft(), FMain->SavedTop(), FMain->SavedWidth(), FMain->SavedHeight()}),
            (TBounds{207, 122, 633, 553}));
  EXPECT_EQ(FSettings->SymbolCount(), 28);
  EXPECT_FALSE(QFile::exists(IniPath())) << "nothing is written before exit";
  EXPECT_TRUE(FSettings->isVisible()) << "the first activation shows the settings window";
}

TEST_F(MainWindow, ExitWritesEverySectionInTheOrderOfDestruction) {
  Launch();
  Shutdown();
  const QByteArray bytes = FileBytes(IniPath());
  ASSERT_FALSE(bytes.isEmpty());
  const QString utf8 = QString::fromStdString(Cp1251ToUtf8(bytes.toStdString()));
  QStringList sections;
  const QRegularExpression header(QStringLiteral("^\\[(.*)\\]\\r?$"),
                                  QRegularExpression::MultilineOption);
  for (auto it = header.globalMatch(utf8); it.hasNext();) sections << it.next().captured(1);
  EXPECT_EQ(sections, (QStringList{"Graph Window", "Display Window", "Display Options",
                                   "Settings Window", "General Options", "Symbol Table", "Main"}));
  const TIniFile ini(IniPath().toStdString());
  EXPECT_EQ(ini.ReadInteger("Main", "Position Left", 0), 207);
  EXPECT_EQ(ini.ReadInteger("Main", "Position Top", 0), 122);
  EXPECT_EQ(ini.ReadInteger("Main", "Main Window Width", 0), 633);
  EXPECT_EQ(ini.ReadInteger("Main", "Main Window Height", 0), 553);
  EXPECT_EQ(ini.ReadString("Main", "Main Window Maximized", ""), "0");
  EXPECT_EQ(ini.ReadString("General Options", "V Level", ""), "5.000");
  EXPECT_EQ(ini.ReadString("General Options", "Char Period", ""), "1.000");
}

TEST_F(MainWindow, SecondActivationBuildsNothing) {
  Launch();
  TScriptedSensor* first = Sensor;
  auto* recorder = SessionModel->Recorder();
  FMain->ESymbolPeriod->setText(QStringLiteral("3"));
  FMain->FormActivate();
  EXPECT_EQ(Sensor, first);
  EXPECT_EQ(SessionModel->Recorder(), recorder);
  EXPECT_EQ(FMain->ESymbolPeriod->text(), QStringLiteral("3")) << "the settings are not read again";
}

TEST_F(MainWindow, StartBeforeTheFirstActivationBuildsTheChainOnce) {
  Launch(false);
  Start(QStringLiteral("1"));
  ASSERT_TRUE(FMain->Running());
  TScriptedSensor* first = Sensor;
  auto* model = SessionModel->Gauge();
  FMain->FormActivate();
  EXPECT_EQ(Sensor, first);
  EXPECT_EQ(SessionModel->Gauge(), model);
  HoldLevel();
  Poll(0.0);
  Poll(0.5);
  EXPECT_EQ(Tape().size(), 1) << "the session polls the chain it started on";
}

TEST_F(MainWindow, RecordingFileBesideTheSettings) {
  Launch();
  EXPECT_EQ(QString::fromStdString(SessionModel->Recorder()->FileName()),
            Dir->filePath(QStringLiteral("instrec.data")));
  EXPECT_TRUE(QFile::exists(Dir->filePath(QStringLiteral("instrec.data"))));
}

TEST_F(MainWindow, RecordingFileThatCannotBeOpenedIsReportedOnce) {
  ASSERT_TRUE(QDir(Dir->path()).mkdir(QStringLiteral("instrec.data")));
  Launch();
  Start();
  for (int i = 0; i < 5; ++i) Poll(0.0);
  EXPECT_TRUE(Dialogs->Messages.isEmpty()) << Dialogs->Messages.join('|').toStdString();
  EXPECT_EQ(FMain->LNotice->text().count(QStringLiteral("instrec.data")), 1)
      << FMain->LNotice->text().toStdString();
}

TEST_F(MainWindow, LoadsTheMainKeysAndTheTwoFields) {
  WriteIniKeys(IniPath(), QStringLiteral("Main"),
               {{"Position Left", "300"}, {"Position Top", "150"},
                {"Main Window Width", "700"}, {"Main Window Height", "600"}});
  Preset({{"V Level", "0.5"}, {"Char Period", "2,5"}});
  Launch(false);
  FMain->show();
  FMain->FormActivate();
  EXPECT_EQ(FMain->pos(), QPoint(300, 150));
  EXPECT_EQ(FMain->size(), QSize(700, 600));
  EXPECT_EQ((TBounds{FMain->SavedLeft(), FMain->SavedTop(), FMain->SavedWidth(), FMain->SavedHeight()}),
            (TBounds{300, 150, 700, 600}));
  EXPECT_EQ(FMain->ELevel->text(), QStringLiteral("0.5"));
  EXPECT_EQ(FMain->ESymbolPeriod->text(), QStringLiteral("2,5"));
}

TEST_F(MainWindow, MaximisedFromTheFileKeepsTheLoadedNormalBounds) {
  WriteIniKeys(IniPath(), QStringLiteral("Main"),
               {{"Position Left", "300"}, {"Position Top", "150"}, {"Main Window Width", "700"},
                {"Main Window Height", "600"}, {"Main Window Maximized", "2"}});
  Launch(false);
  FMain->show();
  FMain->FormActivate();
  EXPECT_TRUE(FMain->isMaximized());
  Shutdown();
  EXPECT_EQ(ReadMain(IniPath(), "Position Left"), 300);
  EXPECT_EQ(ReadMain(IniPath(), "Position Top"), 150);
  EXPECT_EQ(ReadMain(IniPath(), "Main Window Width"), 700);
  EXPECT_EQ(ReadMain(IniPath(), "Main Window Height"), 600);
  EXPECT_EQ(ReadMain(IniPath(), "Main Window Maximized"), 1);
}

TEST_F(MainWindow, BoundsAreTakenBeforeEachResizeWhileLeftOrTopIsPositive) {
  Launch(false);
  FMain->show();
  FMain->FormActivate();
  FMain->move(0, 10);
  FMain->resize(640, 560);
  EXPECT_EQ((TBounds{FMain->SavedLeft(), FMain->SavedTop(), FMain->SavedWidth(), FMain->SavedHeight()}),
            (TBounds{0, 10, 633, 553}));
  FMain->move(0, 0);
  FMain->resize(650, 570);
  EXPECT_EQ(FMain->SavedTop(), 10) << "at 0,0 nothing is taken";
  FMain->move(40, 50);  // a move alone takes nothing
  EXPECT_EQ(FMain->SavedLeft(), 0);
  FMain->resize(660, 580);
  Shutdown();
  EXPECT_EQ(ReadMain(IniPath(), "Position Left"), 40);
  EXPECT_EQ(ReadMain(IniPath(), "Position Top"), 50);
  EXPECT_EQ(ReadMain(IniPath(), "Main Window Width"), 650);
  EXPECT_EQ(ReadMain(IniPath(), "Main Window Height"), 570);
  EXPECT_EQ(ReadMain(IniPath(), "Main Window Maximized"), 0);
}

TEST_F(MainWindow, MaximisedAtExitWritesTrueAndTheNormalBounds) {
  Launch(false);
  FMain->show();
  FMain->FormActivate();
  FMain->move(100, 90);
  FMain->resize(640, 560);
  FMain->resize(645, 565);
  FMain->showMaximized();   // taken: the normal bounds just before, 100, 90, 645 x 565
  ASSERT_TRUE(FMain->isMaximized());
  Shutdown();
  EXPECT_EQ(ReadMain(IniPath(), "Main Window Maximized"), 1);
  EXPECT_EQ(ReadMain(IniPath(), "Position Left"), 100);
  EXPECT_EQ(ReadMain(IniPath(), "Position Top"), 90);
  EXPECT_EQ(ReadMain(IniPath(), "Main Window Width"), 645);
  EXPECT_EQ(ReadMain(IniPath(), "Main Window Height"), 565);
}

TEST_F(MainWindow, OpeningAFileWhileMaximisedPlacesTheNormalWindow) {
  Launch(false);
  FMain->show();
  FMain->FormActivate();
  FMain->showMaximized();
  const QString other = Dir->filePath(QStringLiteral("other.ini"));
  WriteIniKeys(other, QStringLiteral("Main"),
               {{"Position Left", "310"}, {"Position Top", "160"},
                {"Main Window Width", "690"}, {"Main Window Height", "590"}});
  FMain->LoadWindowSettings(other);
  EXPECT_FALSE(FMain->isMaximized());
  EXPECT_EQ(FMain->geometry().size(), QSize(690, 590));
  EXPECT_EQ(FMain->pos(), QPoint(310, 160));
  EXPECT_EQ(FMain->SavedLeft(), 310);
}

TEST_F(MainWindow, RefusedWriteIsReported) {
  Launch();
  const QString path = Dir->filePath(QStringLiteral("missing/other.ini"));
  FMain->SaveWindowSettings(path);
  EXPECT_EQ(Dialogs->Messages, QStringList{QStringLiteral("Unable to write to ") + path});
  EXPECT_FALSE(QFile::exists(path));
}

TEST_F(MainWindow, SaveWritesOnlyItsOwnKeys) {
  Launch();
  const QString path = Dir->filePath(QStringLiteral("copy.ini"));
  FMain->ESymbolPeriod->setText(QStringLiteral(" 0,5 "));
  FMain->SaveWindowSettings(path);
  const QString text = QString::fromStdString(Cp1251ToUtf8(FileBytes(path).toStdString()));
  const TIniFile ini(path.toStdString());
  EXPECT_EQ(ini.ReadString("General Options", "Char Period", ""), " 0,5 ") << "as typed";
  EXPECT_FALSE(ini.SectionExists("Symbol Table"));
  EXPECT_EQ(text.count(QLatin1Char('=')), 7);
}

// Sends the close request a window gets from its title bar; true when accepted.
bool RequestClose(QWidget* w) {
  QCloseEvent e;
  QApplication::sendEvent(w, &e);
  return e.isAccepted();
}

TEST_F(MainWindow, CloseAsksOnlyWhenTheTapeHoldsText) {
  Launch();
  FMain->MTape->setPlainText(QStringLiteral("  \n\t\n "));
  EXPECT_TRUE(RequestClose(FMain));
  EXPECT_TRUE(Dialogs->Questions.isEmpty());

  FMain->MTape->setPlainText(QStringLiteral("- AB"));
  Dialogs->Answers = {false};
  EXPECT_FALSE(RequestClose(FMain));
  EXPECT_EQ(Dialogs->Questions, QStringList{QStringLiteral("Запись не сохранена. Выйти все-равно?")});
  EXPECT_EQ(FMain->MTape->toPlainText(), QStringLiteral("- AB"));

  Dialogs->Answers = {true};
  EXPECT_TRUE(RequestClose(FMain));
}

TEST_F(MainWindow, ClosingEndsTheProgram) {
  Launch();
  int closed = 0;
  QObject::connect(FMain, &TFMain::Closed, [&] { ++closed; });
  FMain->MTape->setPlainText(QStringLiteral("x"));
  RequestClose(FMain);  // answered No
  EXPECT_EQ(closed, 0);
  FMain->MTape->clear();
  RequestClose(FMain);
  EXPECT_EQ(closed, 1);
}

TEST_F(MainWindow, WidgetsCarryTheirNamesHintsAndCaptions) {
  Launch();
  const std::vector<std::pair<const char*, QString>> hints = {
      {"ELevel", "0.050 ... 5.000"}, {"ESymbolPeriod", "0.100 ... 20.000"},
      {"BStart", "Начать сеанс"}, {"BStop", "Закончить сеанс"},
      {"BSettings", "Технические настройки"}, {"BDisplay", "Инструментальная панель"},
      {"BSaveTape", "Сохранить строку в текущий файл"}, {"BSaveTapeToFile", "Сохранить в файл"},
      {"BClear", "Очистить содержание строки"}, {"BTimeStamp", "Вставить текущие дату и время"}};
  for (const auto& h : hints) {
    auto* w = FMain->findChild<QWidget*>(QString::fromLatin1(h.first));
    ASSERT_NE(w, nullptr) << h.first;
    EXPECT_EQ(w->toolTip(), h.second) << h.first;
  }
  for (const char* name : {"IDrum", "Label1", "Label2", "SSemaphore", "MTape"})
    EXPECT_NE(FMain->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
  EXPECT_FALSE(FMain->ELevel->isEnabled());
  EXPECT_FALSE(FMain->MTape->isReadOnly());
}

TEST_F(MainWindow, DrumAndTapeStretchTheControlsKeepToTheRight) {
  Launch(false);
  FMain->show();
  FMain->FormActivate();
  FMain->resize(633, 553);
  const QRect drum0 = FMain->IDrum->geometry();
  const QRect start0 = FMain->BStart->geometry();
  const QRect tape0 = FMain->MTape->geometry();
  const QRect settings0 = FMain->BSettings->geometry();
  const QRect clear0 = FMain->BClear->geometry();
  FMain->resize(833, 653);
  EXPECT_EQ(FMain->IDrum->width(), drum0.width() + 200);
  EXPECT_EQ(FMain->IDrum->height(), drum0.height() + 100);
  EXPECT_EQ(FMain->MTape->width(), tape0.width() + 200);
  EXPECT_EQ(FMain->MTape->height(), tape0.height());
  EXPECT_EQ(FMain->BStart->geometry().topLeft(), start0.topLeft() + QPoint(200, 0));
  EXPECT_EQ(FMain->BSettings->geometry(), settings0.translated(200, 0));
  EXPECT_EQ(FMain->BClear->geometry(), clear0.translated(200, 100));
  EXPECT_GE(633 - settings0.right(), 8) << "the control column is not clipped";
}

TEST(SafeApplication, ShowsTheMessageOfAnExceptionAndEmptyForAnUnknownOne) {
  QString known, unknown;
  try {
    throw std::runtime_error("Ошибка");
  } catch (...) {
    known = TSafeApplication::CurrentExceptionText();
  }
  try {
    throw 42;
  } catch (...) {
    unknown = TSafeApplication::CurrentExceptionText();
  }
  EXPECT_EQ(known, QStringLiteral("Ошибка"));
  EXPECT_EQ(unknown, QString());
}

}  // namespace

TEST_F(MainWindow, FieldsStoredInTheSettingsFileRefuseCharactersItCannotHold) {
  Launch(false);
  for (QLineEdit* edit : {FMain->ELevel, FMain->ESymbolPeriod}) {
    edit->clear();
    edit->insert(QStringLiteral("1,5"));
    edit->insert(QStringLiteral("中"));
    EXPECT_EQ(edit->text(), QStringLiteral("1,5")) << edit->objectName().toStdString();
  }
}

TEST_F(MainWindow, BoundsOnNoScreenAreMovedOntoThePrimaryScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  // A monitor that is gone: the stored place lies wholly outside every screen.
  WriteIniKeys(IniPath(), QStringLiteral("Main"),
               {{"Position Left", "-5000"}, {"Position Top", "-4000"}, {"Main Window Width", "640"},
                {"Main Window Height", "560"}});
  Launch(false);
  FMain->show();
  FMain->FormActivate();
  EXPECT_TRUE(area.intersects(FMain->frameGeometry())) << "the window must be reachable";
  EXPECT_EQ(FMain->size(), QSize(qMin(640, area.width()), qMin(560, area.height())));
  Shutdown();

  // A place that still overlaps a screen is kept as it stands.
  WriteIniKeys(IniPath(), QStringLiteral("Main"),
               {{"Position Left", QString::number(area.right() - 100)}, {"Position Top", "20"},
                {"Main Window Width", "640"}, {"Main Window Height", "560"}});
  Launch(false);
  FMain->show();
  FMain->FormActivate();
  EXPECT_EQ(FMain->pos(), QPoint(area.right() - 100, 20));
}
