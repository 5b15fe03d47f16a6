#include "session/SessionModel.h"
#include "MainFixture.h"
#include "tests/support/ManualTickTimer.h"

#include <QFile>
#include <QTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "inifile/IniFile.h"
#include "sensor/Probe.h"
#include "files/AppFolder.h"
#include "app/AppWindows.h"
#include "windows/Display.h"
#include "windows/Graph.h"
#include "windows/Main.h"
#include "windows/Settings.h"

TScriptedSensor::TScriptedSensor()
    : TAudioSensor_OneRun(nullptr, std::make_unique<TFakeCaptureDevice>()) {}

bool TScriptedSensor::Start(int periodMs) {
  Calls << QStringLiteral("Start %1").arg(periodMs);
  return TAudioSensor_OneRun::Start(periodMs);
}

void TScriptedSensor::Stop() {
  Calls << QStringLiteral("Stop");
  TAudioSensor_OneRun::Stop();
}

void TScriptedSensor::Rearm(int periodMs) {
  Calls << QStringLiteral("Rearm %1").arg(periodMs);
  TAudioSensor_OneRun::Rearm(periodMs);
}

bool TScriptedSensor::Read() {
  if (FailRead) return false;
  Reading = NextReading;
  return true;
}

void WriteIniKeys(const QString& path, const QString& section,
                  const std::vector<std::pair<QString, QString>>& keys) {
  TIniFile ini(path.toStdString());
  for (const auto& kv : keys)
    ASSERT_TRUE(ini.WriteString(section.toStdString(), kv.first.toStdString(),
                                kv.second.toStdString()));
  ASSERT_TRUE(ini.UpdateFile()) << ini.LastErrorDetail();
}

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

void MainFixture::SetUp() {
  Dir = std::make_unique<QTemporaryDir>();
  ASSERT_TRUE(Dir->isValid());
  SetAppDataFolder(Dir->path());
  Dialogs = std::make_unique<TScriptedDialogs>();
  Forwarder = std::make_unique<TKeyForwarder>();
  Forwarder->Install();
  TFMain::SetSensorFactory([this](void*) {
    auto sensor = std::make_unique<TScriptedSensor>();
    Sensor = sensor.get();
    return std::unique_ptr<TAudioSensor_OneRun>(std::move(sensor));
  });
}

void MainFixture::TearDown() {
  Shutdown();
  TFMain::SetSensorFactory({});
  Forwarder.reset();
  Dialogs.reset();
  SetAppDataFolder(QString());
  Dir.reset();
}

QString MainFixture::IniPath() const { return Dir->filePath(QStringLiteral("Quillora.ini")); }

void MainFixture::Preset(const std::vector<std::pair<QString, QString>>& general) {
  WriteIniKeys(IniPath(), QStringLiteral("General Options"), general);
}

void MainFixture::PresetSymbols(const QStringList& symbols) {
  std::vector<std::pair<QString, QString>> keys;
  keys.emplace_back(QStringLiteral("Count"), QString::number(symbols.size()));
  for (int k = 0; k < symbols.size(); ++k)
    keys.emplace_back(QStringLiteral("Symbol %1").arg(k + 1), symbols[k]);
  WriteIniKeys(IniPath(), QStringLiteral("Symbol Table"), keys);
}

void MainFixture::Launch(bool activate, bool fixedLevel) {
  if (LiveTimers)
    TFMain::SetTickTimerFactory({});
  else
    TFMain::SetTickTimerFactory([](QObject*, const char*, std::function<void()>) {
      return std::make_unique<TManualTickTimer>();
    });
  CreateAppWindows();
  Launched = true;
  if (!activate) return;
  FMain->FormActivate();
  if (fixedLevel) HoldLevel();
}

void MainFixture::HoldLevel() {
  ASSERT_NE(SessionModel->Probe(), nullptr);
  SessionModel->Probe()->LevelMode = TProbe::LevelFixed;
  SessionModel->Probe()->Level = 0.0;
}

void MainFixture::Shutdown() {
  if (!Launched) return;
  Launched = false;
  if (FMain) FMain->BStopClick();
  DestroyAppWindows();
  TFMain::SetTickTimerFactory({});
  Sensor = nullptr;
}

void MainFixture::Start(const QString& period) {
  FMain->ESymbolPeriod->setText(period);
  FMain->BStartClick();
}

void MainFixture::Poll(double reading) {
  Sensor->NextReading = reading;
  FMain->PollTimerTimer();
}

void MainFixture::NextSymbol() {
  for (int i = 0; i < 6; ++i) FMain->RunTimerTimer();
}

void MainFixture::MoveTo(const QString& symbol) {
  for (int i = 0; i <= FMain->Engine().Symbols().size(); ++i) {
    if (FMain->Engine().Symbols().value(FMain->Engine().DrumPosition() - 1) == symbol) return;
    NextSymbol();
  }
  ADD_FAILURE() << "symbol not on the drum: " << symbol.toStdString();
}

void MainFixture::Fire() {
  Poll(0.0);
  Poll(0.5);
}

QStringList MainFixture::Tape() const { return FMain->TapeLines(); }

QString MainFixture::Written() const {
  const QStringList lines = FMain->TapeLines();
  return lines.isEmpty() ? QString() : lines.last().mid(2);
}

void MainFixture::RunWhile(const std::function<bool()>& step, int limitMs, int intervalMs) {
  QEventLoop loop;
  QTimer watch;
  watch.setInterval(intervalMs);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!step()) loop.quit();
  });
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  watch.start();
  limit.start(limitMs);
  loop.exec();
}
