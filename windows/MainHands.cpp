// The main window's part in hands-free sessions: the waiting after a stop
// symbol (the dimmed drum, its notice), the drum standing on the pause or
// call symbol, and the call alarm's button.
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPushButton>

#include "Main.h"
#include "OptionsInForce.h"
#include "session/SessionModel.h"

QString TFMain::HeldNotice() {
  return QStringLiteral("Пауза: барабан стоит. Реакция запустит его снова.");
}

QString TFMain::CallNotice() {
  return QStringLiteral(
      "Вызов! Оператор зовёт помощника. Выключить сигнал — кнопка «Выключить "
      "вызов» или Esc; затем реакция запустит барабан.");
}

QString TFMain::WaitingNotice() {
  return QStringLiteral("Сеанс окончен. Реакция (или F9) начнёт новый; «СТОП» — не ждать.");
}

QString TFMain::WaitingCaption() { return QStringLiteral("Ждёт реакции"); }

THandsFreeOptions TFMain::StartHandsFree() { return OptionsInForce().HandsFree(); }

void TFMain::StartByReaction() { BStartClick(); }

void TFMain::Notice(const QString& text) { ShowNotice(text); }

void TFMain::WaitingChanged(const TSessionEngine& engine) {
  if (engine.Waiting())
    ShowNotice(WaitingNotice());
  else
    HideNotice(WaitingNotice());
  DrawDrum();
}

void TFMain::BSilenceCallClick() { model_.SilenceAlarm(); }

void TFMain::AlarmChange() {
  const bool on = model_.AlarmOn();
  BSilenceCall->setVisible(on);
  if (on)
    ShowNotice(CallNotice());
  else
    HideNotice(CallNotice());
}

QRegion TFMain::VeilDrum(QImage& picture) const {
  QPainter p(&picture);
  const QRect all(QPoint(0, 0), picture.deviceIndependentSize().toSize());
  QColor veil = palette().color(QPalette::Window);
  veil.setAlpha(180);
  p.fillRect(all, veil);
  QFont font = this->font();
  font.setBold(true);
  font.setPixelSize(std::max(12, std::min(all.width(), all.height()) / 12));
  p.setFont(font);
  p.setPen(QColor(0, 0, 128));
  p.drawText(all, Qt::AlignCenter | Qt::TextWordWrap, WaitingCaption());
  return QRegion(all);
}
