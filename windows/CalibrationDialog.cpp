#include "CalibrationDialog.h"
#include "WidgetHelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "session/SessionRules.h"

namespace {

constexpr int kTotalPolls =
    TCalibrationDialog::RestPolls + TCalibrationDialog::ReactionCount * TCalibrationDialog::ReactionPolls;
// One capture covers the whole run (the longest the sensor is asked for in
// a session as well).
constexpr int kCapturePeriodMs = kMaxSymbolPeriodMs;
static_assert(kTotalPolls * kTickMs < kCapturePeriodMs, "the capture must outlast the run");

QString Number(double x, int decimals) { return QLocale().toString(x, 'f', decimals); }

QString SecondsLeft(int polls) {
  return QStringLiteral("%1 с").arg((polls * kTickMs + 999) / 1000);
}

}  // namespace

TCalibrationDialog::TCalibrationDialog(TSensor& sensor, const TCalibrationChain& chain, QWidget* parent)
    : QDialog(parent), sensor_(sensor), chain_(chain) {
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
  connect(BBegin, &QPushButton::clicked, this, [this] { Begin(); });
  connect(BApply, &QPushButton::clicked, this, &QDialog::accept);
  connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);

  PollTimer = new QTimer(this);
  PollTimer->setObjectName(QStringLiteral("CalibrationTimer"));
  PollTimer->setTimerType(Qt::PreciseTimer);
  PollTimer->setInterval(kTickMs);
  connect(PollTimer, &QTimer::timeout, this, &TCalibrationDialog::Tick);

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
}

TCalibrationDialog::~TCalibrationDialog() { StopCapture(); }

void TCalibrationDialog::Begin(bool runTimer) {
  StopCapture();
  recording_ = {};
  recording_.RestCount = RestPolls;
  proposal_ = {};
  LResult->clear();
  BBegin->setEnabled(false);
  BApply->setEnabled(false);
  measuring_ = true;
  sensor_.Start(kCapturePeriodMs);
  ShowStep();
  if (runTimer) PollTimer->start();
}

void TCalibrationDialog::Tick() {
  if (!measuring_) return;
  // A reading the sensor could not take counts as silence, as the sensor
  // itself reports its minimum then.
  const double reading = sensor_.Read() ? sensor_.Reading : sensor_.Minimum;
  recording_.Readings.push_back(reading);
  const int n = static_cast<int>(recording_.Readings.size());
  if (n >= RestPolls && (n - RestPolls) % ReactionPolls == 0 && n < kTotalPolls)
    recording_.Prompts.push_back(n);
  if (n >= kTotalPolls)
    Finish();
  else
    ShowStep();
}

void TCalibrationDialog::ShowStep() {
  const int n = static_cast<int>(recording_.Readings.size());
  if (n < RestPolls) {
    LStep->setText(QStringLiteral("Покой: не реагируйте… %1").arg(SecondsLeft(RestPolls - n)));
    return;
  }
  const int reaction = (n - RestPolls) / ReactionPolls + 1;
  const int into = (n - RestPolls) % ReactionPolls;
  // The prompt stands for the first half of each window, then the operator
  // settles before the next one.
  if (into < ReactionPolls / 2)
    LStep->setText(QStringLiteral("Реакция %1 из %2: реагируйте!").arg(reaction).arg(ReactionCount));
  else
    LStep->setText(QStringLiteral("Реакция %1 из %2: успокойтесь…").arg(reaction).arg(ReactionCount));
}

void TCalibrationDialog::Finish() {
  StopCapture();
  proposal_ = ProposeCalibration(recording_, chain_);
  LStep->setText(proposal_.Result == TCalibrationResult::Proposed ? QStringLiteral("Готово")
                                                                  : QStringLiteral("Не удалось"));
  LResult->setText(ResultText(proposal_));
  adjustSize();
  BApply->setEnabled(proposal_.Result == TCalibrationResult::Proposed);
  BBegin->setText(QStringLiteral("Заново"));
  BBegin->setEnabled(true);
}

void TCalibrationDialog::StopCapture() {
  if (!measuring_) return;
  measuring_ = false;
  PollTimer->stop();
  sensor_.Stop();
}

void TCalibrationDialog::reject() {
  StopCapture();
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
