#include "CalibrationDialog.h"
#include "WidgetHelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "sensor/Probe.h"
#include "session/SessionRules.h"

namespace {

QString Number(double x, int decimals) { return QLocale().toString(x, 'f', decimals); }

QString SecondsLeft(int polls) {
  return QStringLiteral("%1 с").arg((polls * kTickMs + 999) / 1000);
}

TTickTimerFactory& TickTimerFactory() {
  static TTickTimerFactory factory;
  return factory;
}

}  // namespace

TCalibrationDialog::TCalibrationDialog(TSensor& sensor, const TCalibrationChain& chain,
                                       QWidget* parent)
    : QDialog(parent),
      PollTimer(
          MakeTickTimer(TickTimerFactory(), this, "CalibrationTimer", [this] { run_.Tick(); })),
      run_(sensor, *PollTimer, chain) {
  setObjectName(QStringLiteral("CalibrationDialog"));
  setWindowTitle(QStringLiteral("Калибровка датчика"));

  auto* intro = new QLabel(
      QStringLiteral("Помощник подберёт усиление прибора, уровни сигнала «есть» и «нет» "
                     "и режим уровня для этого датчика и оператора.\n\n"
                     "1. Несколько секунд оператор сидит спокойно.\n"
                     "2. По сигналу «реагируйте!» оператор реагирует, три раза.\n\n"
                     "До «Применить» ничего не меняется."),
      this);
  intro->setWordWrap(true);
  LStep = Named(new QLabel(this), "LStep");
  QFont big = LStep->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  LStep->setFont(big);
  LStep->setMinimumHeight(40);
  LResult = Named(new QLabel(this), "LResult");
  LResult->setWordWrap(true);
  LResult->setTextInteractionFlags(Qt::TextSelectableByMouse);

  BBegin = Named(new QPushButton(QStringLiteral("Начать"), this), "BBegin");
  BApply = Named(new QPushButton(QStringLiteral("Применить"), this), "BApply");
  BCancel = Named(new QPushButton(QStringLiteral("Отмена"), this), "BCancel");
  BApply->setEnabled(false);
  // Keys of a switch (Space, Enter) must not end a run by pressing a default
  // or focused button; Escape still cancels.
  for (QPushButton* b : {BBegin, BApply, BCancel}) {
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::ClickFocus);
  }
  connect(BBegin, &QPushButton::clicked, this, [this] { run_.Begin(); });
  connect(BApply, &QPushButton::clicked, this, &QDialog::accept);
  connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BBegin);
  buttons->addStretch(1);
  buttons->addWidget(BApply);
  buttons->addWidget(BCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(LStep);
  layout->addWidget(LResult, 1);
  layout->addLayout(buttons);
  // The dialog grows with the result's lines.
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  setMinimumWidth(460);
  run_.SetListener([this] { ShowRun(); });
}

TCalibrationDialog::~TCalibrationDialog() = default;

void TCalibrationDialog::SetTickTimerFactory(TTickTimerFactory factory) {
  TickTimerFactory() = std::move(factory);
}

void TCalibrationDialog::ShowRun() {
  const TCalibrationStep step = run_.Step();
  const bool done = step.Phase == TCalibrationPhase::Done;
  switch (step.Phase) {
    case TCalibrationPhase::Idle:
      LStep->clear();
      break;
    case TCalibrationPhase::Rest:
      LStep->setText(QStringLiteral("Покой: не реагируйте… %1").arg(SecondsLeft(step.PollsLeft)));
      break;
    case TCalibrationPhase::React:
      LStep->setText(
          QStringLiteral("Реакция %1 из %2: реагируйте!").arg(step.Reaction).arg(step.Reactions));
      break;
    case TCalibrationPhase::Settle:
      LStep->setText(
          QStringLiteral("Реакция %1 из %2: успокойтесь…").arg(step.Reaction).arg(step.Reactions));
      break;
    case TCalibrationPhase::Done:
      LStep->setText(run_.Proposal().Result == TCalibrationResult::Proposed
                         ? QStringLiteral("Готово")
                         : QStringLiteral("Не удалось"));
      break;
  }
  LResult->setText(done ? ResultText(run_.Proposal()) : QString());
  BApply->setEnabled(done && run_.Proposal().Result == TCalibrationResult::Proposed);
  BBegin->setEnabled(!run_.Measuring());
  if (done) {
    BBegin->setText(QStringLiteral("Заново"));
    adjustSize();
  }
}

void TCalibrationDialog::reject() {
  run_.Cancel();
  QDialog::reject();
}

QString TCalibrationDialog::ResultText(const TCalibrationProposal& p) {
  if (p.Result == TCalibrationResult::TooShort)
    return QStringLiteral("Запись слишком короткая. Значения не изменены.");
  QStringList peaks;
  QStringList rises;
  for (std::size_t i = 0; i < p.Reactions.size(); ++i) {
    peaks << Number(p.Reactions[i], 3);
    rises << Number(p.RiseMs[i] / 1000.0, 2);
  }
  QString text = QStringLiteral("Измерено: покой — уровень %1, разброс ±%2; реакции — %3 "
                                "(нарастание %4 с).")
                     .arg(Number(p.RestLevel, 3), Number(p.RestNoise, 3), peaks.join(QStringLiteral("; ")),
                          rises.join(QStringLiteral("; ")));
  if (p.Result == TCalibrationResult::NoReaction)
    return text + QStringLiteral("\n\nРеакции не отличаются от покоя. Проверьте датчик и его "
                                 "подключение и повторите. Значения не изменены.");
  const QString mode = p.LevelMode == TProbe::LevelFixed
                           ? QStringLiteral("«Фикс» (уровень %1)").arg(Number(p.RestLevel, 3))
                           : QStringLiteral("«Слеж»");
  text += QStringLiteral("\n\nПредлагается: усиление %1, уровень «есть» %2 %, «нет» %3 %, режим %4.")
              .arg(p.Gain)
              .arg(p.OnLevel)
              .arg(p.OffLevel)
              .arg(mode);
  text += QStringLiteral("\nПроверка по записи: поймано реакций %1 из %2, ложных срабатываний в покое %3.")
              .arg(p.Caught)
              .arg(p.Reactions.size())
              .arg(p.RestFirings);
  return text;
}
