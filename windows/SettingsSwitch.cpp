// The settings window's group "Переключатель": the switch's timing, every
// value off (0) as designed. Section "Switch" of the settings file.
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>

#include "OptionsInForce.h"
#include "Settings.h"
#include "WidgetHelpers.h"

namespace {

// A spin box of whole steps that shows "нет" at 0.
QSpinBox* SwitchNumber(QWidget* parent, const char* name, int max, int step, const QString& suffix,
                       const QString& hint) {
  auto* box = Named(new QSpinBox(parent), name);
  box->setRange(0, max);
  box->setSingleStep(step);
  box->setSuffix(suffix);
  box->setSpecialValueText(QStringLiteral("нет"));
  box->setToolTip(hint);
  return box;
}

}  // namespace

QGroupBox* TFSettings::BuildSwitchGroup() {
  GBSwitch = Named(new QGroupBox(QStringLiteral("Переключатель"), this), "GBSwitch");
  const QString ms = QStringLiteral(" мс");
  EAcceptanceTime = SwitchNumber(
      GBSwitch, "EAcceptanceTime", TSwitchOptions::MaxTimeMs, 40, ms,
      QStringLiteral(
          "Сигнал должен держаться выше уровня \"есть\" столько, чтобы выбор засчитался"));
  EReleaseTime = SwitchNumber(
      GBSwitch, "EReleaseTime", TSwitchOptions::MaxTimeMs, 40, ms,
      QStringLiteral("После выбора сигнал должен пробыть ниже уровня \"нет\" столько, прежде чем "
                     "засчитается следующий"));
  EFirstRestExtra =
      SwitchNumber(GBSwitch, "EFirstRestExtra", TSwitchOptions::MaxFirstRestExtraMs, 100, ms,
                   QStringLiteral("Первая остановка барабана после выбора длиннее на столько"));
  EScanLoops = SwitchNumber(
      GBSwitch, "EScanLoops", TSwitchOptions::MaxScanLoops, 1, QString(),
      QStringLiteral("После стольких оборотов барабана без реакции он останавливается; "
                     "следующая реакция запускает его, ничего не выбирая"));
  EMaxHold = SwitchNumber(
      GBSwitch, "EMaxHold", TSwitchOptions::MaxHoldLimitMs, 500, ms,
      QStringLiteral("Реакция дольше этого считается залипшей: уровень снова следует за сигналом, "
                     "а новый выбор возможен только после её конца"));

  auto* form = new QFormLayout(GBSwitch);
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  form->addRow(new QLabel(QStringLiteral("Время удержания"), GBSwitch), EAcceptanceTime);
  form->addRow(new QLabel(QStringLiteral("Время отпускания"), GBSwitch), EReleaseTime);
  form->addRow(new QLabel(QStringLiteral("Первая остановка +"), GBSwitch), EFirstRestExtra);
  form->addRow(new QLabel(QStringLiteral("Оборотов до паузы"), GBSwitch), EScanLoops);
  form->addRow(new QLabel(QStringLiteral("Макс. удержание"), GBSwitch), EMaxHold);
  for (QSpinBox* box : {EAcceptanceTime, EReleaseTime, EFirstRestExtra, EScanLoops, EMaxHold})
    connect(box, &QSpinBox::valueChanged, this, &TFSettings::SwitchChange);
  return GBSwitch;
}

void TFSettings::ShowSwitchOptions() {
  const TSwitchOptions& o = OptionsInForce().Switch();
  const std::pair<QSpinBox*, int> shown[] = {{EAcceptanceTime, o.AcceptanceMs},
                                             {EReleaseTime, o.ReleaseMs},
                                             {EFirstRestExtra, o.FirstRestExtraMs},
                                             {EScanLoops, o.ScanLoops},
                                             {EMaxHold, o.MaxHoldMs}};
  for (const auto& [box, value] : shown)
    if (box->value() != value) box->setValue(value);
}

void TFSettings::SwitchChange() {
  Edit(&TOptionsModel::Switch, [this](TSwitchOptions& o) {
    o.AcceptanceMs = EAcceptanceTime->value();
    o.ReleaseMs = EReleaseTime->value();
    o.FirstRestExtraMs = EFirstRestExtra->value();
    o.ScanLoops = EScanLoops->value();
    o.MaxHoldMs = EMaxHold->value();
  });
}
