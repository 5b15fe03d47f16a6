#include "CalibrationDialog.h"
#include "WidgetHelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "sensor/Probe.h"
#include "session/SessionModel.h"
#include "session/SessionRules.h"
#include "session/SessionSpeaker.h"

namespace {

QString Number(double x, int decimals) { return QLocale().toString(x, 'f', decimals); }

QString ModeName(const TLevelModeProposal& m) {
  if (m.LevelMode == TProbe::LevelFixed) return QStringLiteral("«Фикс»");
  if (m.LevelMode == TProbe::LevelTracking) return QStringLiteral("«Слеж»");
  return QStringLiteral("«Автм» (глубина уровня %1)").arg(m.LevelDepth);
}

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
  BApplyOther = Named(new QPushButton(this), "BApplyOther");
  BApplyOther->setVisible(false);
  BCancel = Named(new QPushButton(QStringLiteral("Отмена"), this), "BCancel");
  BApply->setEnabled(false);
  // Keys of a switch (Space, Enter) must not end a run by pressing a default
  // or focused button; Escape still cancels.
  for (QPushButton* b : {BBegin, BApply, BApplyOther, BCancel}) {
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::ClickFocus);
  }
  connect(BBegin, &QPushButton::clicked, this, [this] { run_.Begin(); });
  connect(BApply, &QPushButton::clicked, this, &QDialog::accept);
  connect(BApplyOther, &QPushButton::clicked, this, [this] {
    chosen_ = WithLevelMode(run_.Proposal(), 1 - run_.Proposal().Chosen);
    accept();
  });
  connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BBegin);
  buttons->addStretch(1);
  buttons->addWidget(BApply);
  buttons->addWidget(BApplyOther);
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
  // Its own prompts may reach the sensor, with or without open time.
  run_.SetBlocked([] { return SessionModel && (SessionModel->SensorBlocked() || SessionModel->SensorBlanked()); });
}

TCalibrationDialog::~TCalibrationDialog() = default;

void TCalibrationDialog::SetTickTimerFactory(TTickTimerFactory factory) {
  TickTimerFactory() = std::move(factory);
}

void TCalibrationDialog::Say(const QString& prompt) {
  if (TSessionSpeaker* speaker = SessionModel ? SessionModel->Speaker() : nullptr)
    speaker->SayPrompt(prompt);
}

void TCalibrationDialog::ShowRun() {
  const TCalibrationStep step = run_.Step();
  const bool done = step.Phase == TCalibrationPhase::Done;
  const bool newStep = step.Phase != shown_.Phase || step.Reaction != shown_.Reaction;
  shown_ = step;
  chosen_ = run_.Proposal();
  switch (step.Phase) {
    case TCalibrationPhase::Idle:
      LStep->clear();
      break;
    case TCalibrationPhase::Rest:
      LStep->setText(QStringLiteral("Покой: не реагируйте… %1").arg(SecondsLeft(step.PollsLeft)));
      if (newStep) Say(QStringLiteral("Покой: не реагируйте…"));
      break;
    case TCalibrationPhase::React:
      LStep->setText(
          QStringLiteral("Реакция %1 из %2: реагируйте!").arg(step.Reaction).arg(step.Reactions));
      if (newStep) Say(LStep->text());
      break;
    case TCalibrationPhase::Settle:
      LStep->setText(
          QStringLiteral("Реакция %1 из %2: успокойтесь…").arg(step.Reaction).arg(step.Reactions));
      break;
    case TCalibrationPhase::Done:
      LStep->setText(run_.Proposal().Result == TCalibrationResult::Proposed
                         ? QStringLiteral("Готово")
                         : QStringLiteral("Не удалось"));
      if (newStep) Say(LStep->text());
      break;
  }
  LResult->setText(done ? ResultText(run_.Proposal()) : QString());
  BApply->setEnabled(done && run_.Proposal().Result == TCalibrationResult::Proposed);
  // The other level mode can be taken when it works too.
  const TCalibrationProposal& p = run_.Proposal();
  const bool other = done && p.Modes.size() == 2 && p.Modes[1 - p.Chosen].Works;
  if (other)
    BApplyOther->setText(
        QStringLiteral("Применить %1").arg(ModeName(p.Modes[1 - p.Chosen]).section(' ', 0, 0)));
  BApplyOther->setVisible(other);
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
  text += QStringLiteral("\nПокой: разброс ±%1, дрейф %2 в секунду.")
              .arg(Number(p.RestSpread, 4), Number(p.RestDrift, 5));
  // Both kinds of level, each with what it measured and what it would do.
  for (std::size_t i = 0; i < p.Modes.size(); ++i) {
    const TLevelModeProposal& m = p.Modes[i];
    text += QStringLiteral(
                "\n\n%1%2: покой качает стрелку на %3, реакции %4…%5 (в %6 раза выше); "
                "усиление %7, «есть» %8 %, «нет» %9 %.")
                .arg(i == p.Chosen && p.Result == TCalibrationResult::Proposed
                         ? QStringLiteral("Предлагается: ")
                         : QString(),
                     ModeName(m), Number(m.Floor, 3), Number(m.Weakest, 3), Number(m.Strongest, 3),
                     Number(m.Separation(), 1))
                .arg(m.Gain)
                .arg(m.OnLevel)
                .arg(m.OffLevel);
    text += QStringLiteral(
                " Проверка: поймано реакций %1 из %2, ложных срабатываний в покое %3, "
                "за две минуты покоя %4.")
                .arg(m.Caught)
                .arg(p.Reactions.size())
                .arg(m.RestFirings)
                .arg(m.LongRestFirings);
  }
  if (p.Result == TCalibrationResult::NoReaction)
    return text + QStringLiteral("\n\nРеакции не отличаются от покоя. Проверьте датчик и его "
                                 "подключение и повторите. Значения не изменены.");
  const QString mode = p.LevelMode == TProbe::LevelFixed
                           ? QStringLiteral("«Фикс» (уровень %1)").arg(Number(p.RestLevel, 3))
                       : p.Chosen < p.Modes.size() ? ModeName(p.Modes[p.Chosen])
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
