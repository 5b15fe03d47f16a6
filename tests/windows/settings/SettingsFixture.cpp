#include "session/SessionModel.h"
#include "SettingsFixture.h"

#include "capture/FakeCaptureDevice.h"
#include "recording/Instrecord.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "files/AppFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>

void TypeText(QWidget* widget, const QString& text) {
  for (const uint c : text.toUcs4()) {
    const char32_t code = c;
    const QString one = QString::fromUcs4(&code, 1);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, one);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, one);
    QCoreApplication::sendEvent(widget, &release);
  }
}

SettingsFixture::SettingsFixture() = default;
SettingsFixture::~SettingsFixture() = default;

void SettingsFixture::SetUp() {
  ASSERT_TRUE(Dir.isValid());
  SetAppDataFolder(Dir.path());

  Main = new TFMain;
  FMain = Main;
  Settings = new TFSettings;
  FSettings = Settings;
  Display = new TFDisplay;
  FDisplay = Display;
  Grid = Settings->SymbolTable();

  Sensor = std::make_unique<TAudioSensor_OneRun>(nullptr, std::make_unique<TFakeCaptureDevice>());
  Probe = std::make_unique<TProbe>(*Sensor, false);
  Recorder = std::make_unique<TInstDataRecorder>(PathOf("instrec.data").toStdString(), 1000, false,
                                                 [](const std::string&) {});
  Gauge = std::make_unique<TGaugePM100>(*Probe, Recorder.get());
  SessionModel->UseChain(Sensor.get(), Probe.get(), Recorder.get(), Gauge.get());

  // Stand-ins for fields of windows not built yet, so that this window's
  // part of loading and saving them is still exercised.
  if (!Main->findChild<QLineEdit*>(QStringLiteral("ELevel")))
    (new QLineEdit(QStringLiteral("5.000"), Main))->setObjectName(QStringLiteral("ELevel"));
  if (!Main->findChild<QLineEdit*>(QStringLiteral("ESymbolPeriod")))
    (new QLineEdit(QStringLiteral("1.000"), Main))->setObjectName(QStringLiteral("ESymbolPeriod"));
  PanelAppliesGain = Display->EGaugeAmp != nullptr;
  if (!Display->EGaugeAmp) {
    Display->EGaugeAmp = new QLineEdit(QStringLiteral("100"), Display);
    Display->EGaugeAmp->setObjectName(QStringLiteral("EGaugeAmp"));
  }
}

void SettingsFixture::TearDown() {
  // Reverse order of creation, as at exit.
  delete Display;
  FDisplay = nullptr;
  delete Settings;
  FSettings = nullptr;
  SessionModel->UseChain(nullptr, nullptr, nullptr, nullptr);
  delete Main;
  FMain = nullptr;
  Gauge.reset();
  Recorder.reset();
  Probe.reset();
  Sensor.reset();
  SetAppDataFolder(QString());
}

QString SettingsFixture::PathOf(const QString& name) const { return Dir.filePath(name); }

QStringList SettingsFixture::Symbols() const {
  QStringList out;
  for (int k = 1; k <= Settings->SymbolCount(); ++k) out << Settings->Symbol(k);
  return out;
}

void SettingsFixture::SetSymbols(const QStringList& symbols, int current) {
  Grid->SetSymbolCount(symbols.size());
  for (int k = 1; k <= symbols.size(); ++k) Grid->SetSymbol(k, symbols[k - 1]);
  Grid->Renumber();
  Grid->SetCurrentSymbol(current);
}

QString SettingsFixture::WriteFile(const QString& name, const QByteArray& bytes) const {
  const QString path = PathOf(name);
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
  return path;
}

QLineEdit* SettingsFixture::MainField(const char* name) const {
  return Main->findChild<QLineEdit*>(QLatin1String(name));
}

QLineEdit* SettingsFixture::GainField() const { return Display->EGaugeAmp; }
