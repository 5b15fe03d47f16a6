// The settings window's group "Речь": what the program says and how its two
// voices sound. Its part of the settings file is in SettingsFile.cpp.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
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
  return GBSpeech;
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
  });
  // The blocking matters only while the program may speak.
  CBBlockSensor->setEnabled(SpeechOptions().Speaks());
}
