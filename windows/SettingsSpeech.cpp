// The settings window's group "Речь": what the program says and how its two
// voices sound. Its part of the settings file is in SettingsFile.cpp.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "Main.h"
#include "Settings.h"
#include "WidgetHelpers.h"
#include "session/SessionSpeaker.h"

namespace {

QCheckBox* SpeechCheck(QWidget* parent, const char* name, const QString& text, const QString& hint) {
  auto* box = Named(new QCheckBox(text, parent), name);
  box->setToolTip(hint);
  return box;
}

QSpinBox* SpeechNumber(QWidget* parent, const char* name, int min, int max, int value, const QString& hint) {
  auto* box = Named(new QSpinBox(parent), name);
  box->setRange(min, max);
  box->setValue(value);
  box->setToolTip(hint);
  return box;
}

}  // namespace

QGroupBox* TFSettings::BuildSpeechGroup() {
  GBSpeech = Named(new QGroupBox(QStringLiteral("Речь"), this), "GBSpeech");
  CBAuditoryScanning = SpeechCheck(GBSpeech, "CBAuditoryScanning", QStringLiteral("Называть символ в окошке"),
      QStringLiteral("Тихий голос называет каждый символ, на котором останавливается барабан"));
  CBSaySelected = SpeechCheck(GBSpeech, "CBSaySelected", QStringLiteral("Произносить выбранный"),
      QStringLiteral("Основной голос произносит каждый выбранный символ"));
  CBReadLines = SpeechCheck(GBSpeech, "CBReadLines", QStringLiteral("Читать строку после точки"),
      QStringLiteral("Строка ленты читается вслух, когда выбрана точка; кнопка «Сказать» читает её в любой момент"));
  CBBlockSensor = SpeechCheck(GBSpeech, "CBBlockSensor", QStringLiteral("Глушить датчик при речи"),
      QStringLiteral("Пока звучит речь, датчик не выбирает символ (F9 и имитация сигнала действуют)"));
  const TSpeechOptions design;
  CBBlockSensor->setChecked(design.BlockSensor);
  const QString volumeHint = QStringLiteral("Громкость голоса, %");
  const QString rateHint = QStringLiteral("Темп речи, слов в минуту ( 80 ... 450 )");
  ECueVolume = SpeechNumber(GBSpeech, "ECueVolume", 0, 100, design.Cue.Volume, volumeHint);
  ECueRate = SpeechNumber(GBSpeech, "ECueRate", 80, 450, design.Cue.Rate, rateHint);
  EMainVolume = SpeechNumber(GBSpeech, "EMainVolume", 0, 100, design.Main.Volume, volumeHint);
  EMainRate = SpeechNumber(GBSpeech, "EMainRate", 80, 450, design.Main.Rate, rateHint);

  auto* voices = new QGridLayout;
  voices->addWidget(new QLabel(QStringLiteral("Громк, %"), GBSpeech), 0, 1);
  voices->addWidget(new QLabel(QStringLiteral("Темп"), GBSpeech), 0, 2);
  voices->addWidget(new QLabel(QStringLiteral("Подсказка"), GBSpeech), 1, 0);
  voices->addWidget(ECueVolume, 1, 1);
  voices->addWidget(ECueRate, 1, 2);
  voices->addWidget(new QLabel(QStringLiteral("Основной"), GBSpeech), 2, 0);
  voices->addWidget(EMainVolume, 2, 1);
  voices->addWidget(EMainRate, 2, 2);
  voices->setColumnStretch(3, 1);

  auto* layout = new QVBoxLayout(GBSpeech);
  for (QCheckBox* box : {CBAuditoryScanning, CBSaySelected, CBReadLines, CBBlockSensor}) {
    layout->addWidget(box);
    connect(box, &QCheckBox::toggled, this, &TFSettings::SpeechChange);
  }
  layout->addLayout(voices);
  for (QSpinBox* box : {ECueVolume, ECueRate, EMainVolume, EMainRate})
    connect(box, &QSpinBox::valueChanged, this, &TFSettings::SpeechChange);
  CBBlockSensor->setEnabled(false);
  BuildCueTiming(layout);
  return GBSpeech;
}

// Cue timing (section "Cue Timing"): the time per symbol after each name.
void TFSettings::BuildCueTiming(QVBoxLayout* layout) {
  const TSpeechOptions design;
  CBOpenTime = SpeechCheck(GBSpeech, "CBOpenTime", QStringLiteral("Всё время на символ после подсказки"),
      QStringLiteral("Барабан стоит на символе дольше на длину его названия, а при глушении датчика ещё и "
                     "на эхо речи: после названия остаётся всё время на символ. Глушение длится, только "
                     "пока речь может попасть в датчик, и ответ, начатый под подсказкой и ещё не "
                     "законченный, засчитывается"));
  CBOpenTime->setChecked(design.OpenTime);
  EEchoMs = SpeechNumber(GBSpeech, "EEchoMs", TSpeechOptions::MinEchoMs, TSpeechOptions::MaxEchoMs,
      design.EchoMs, QStringLiteral("Сколько миллисекунд после конца речи датчик ещё может её слышать: путь звука "
                                    "от динамика через микрофон и запись"));
  EEchoMs->setSingleStep(10);
  auto* echo = new QHBoxLayout;
  echo->addWidget(new QLabel(QStringLiteral("Эхо речи, мс"), GBSpeech));
  echo->addWidget(EEchoMs);
  echo->addStretch(1);
  layout->addWidget(CBOpenTime);
  layout->addLayout(echo);
  connect(CBOpenTime, &QCheckBox::toggled, this, &TFSettings::SpeechChange);
  connect(EEchoMs, &QSpinBox::valueChanged, this, &TFSettings::SpeechChange);
  CBOpenTime->setEnabled(false);
  EEchoMs->setEnabled(false);
}

TSpeechOptions TFSettings::SpeechOptions() const { return OptionsInForce().Speech(); }

void TFSettings::SpeechChange() {
  Edit(&TOptionsModel::Speech, [this](TSpeechOptions& o) {
    o.AuditoryScanning = CBAuditoryScanning->isChecked();
    o.SaySelected = CBSaySelected->isChecked();
    o.ReadLines = CBReadLines->isChecked();
    o.BlockSensor = CBBlockSensor->isChecked();
    o.Cue = {ECueVolume->value(), ECueRate->value()};
    o.Main = {EMainVolume->value(), EMainRate->value()};
    o.OpenTime = CBOpenTime->isChecked();
    o.EchoMs = EEchoMs->value();
  });
  // The blocking matters only while the program may speak, open time only
  // with the cue voice, the echo only when both block.
  const TSpeechOptions o = SpeechOptions();
  CBBlockSensor->setEnabled(o.Speaks());
  CBOpenTime->setEnabled(o.AuditoryScanning);
  EEchoMs->setEnabled(o.AuditoryScanning && o.OpenTime && o.BlockSensor);
}
