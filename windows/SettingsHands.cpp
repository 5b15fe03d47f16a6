// The settings window's group "Без помощника": sessions an operator runs
// alone, all off as designed. Section "Hands Free" of the settings file.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "Cp1251Validator.h"
#include "OptionsInForce.h"
#include "Settings.h"
#include "WidgetHelpers.h"
#include "session/SessionRules.h"

namespace {

QLineEdit* SymbolEdit(QWidget* parent, const char* name, const QString& hint) {
  auto* edit = Named(new QLineEdit(parent), name);
  edit->setToolTip(hint + QStringLiteral(" (из таблицы; пусто — нет)"));
  edit->setFixedWidth(48);
  edit->setValidator(new TCp1251Validator(edit));
  return edit;
}

}  // namespace

QGroupBox* TFSettings::BuildHandsFreeGroup() {
  GBHandsFree = Named(new QGroupBox(QStringLiteral("Без помощника"), this), "GBHandsFree");
  CBStartByReaction = Named(new QCheckBox(QStringLiteral("Новый сеанс по реакции"), GBHandsFree),
                            "CBStartByReaction");
  CBStartByReaction->setToolTip(
      QStringLiteral("После стоп-символа программа ждёт: следующая реакция (или F9) начинает "
                     "новый сеанс, как кнопка «СТАРТ»"));
  EPauseSymbol = SymbolEdit(GBHandsFree, "EPauseSymbol",
                            QStringLiteral("Символ паузы: барабан стоит до следующей реакции"));
  ECallSymbol = SymbolEdit(
      GBHandsFree, "ECallSymbol",
      QStringLiteral("Символ вызова: звучит сигнал, пока его не выключат в главном окне"));
  EReadLineSymbol =
      SymbolEdit(GBHandsFree, "EReadLineSymbol",
                 QStringLiteral("Символ чтения: голос читает последнюю строку ленты"));
  LHandsFreeWarning = Named(new QLabel(GBHandsFree), "LHandsFreeWarning");
  LHandsFreeWarning->setWordWrap(true);
  LHandsFreeWarning->setStyleSheet(QStringLiteral("color: #a00000"));
  LHandsFreeWarning->hide();

  // Two symbols a row, so the group keeps the window within its height.
  auto* grid = new QGridLayout(GBHandsFree);
  grid->addWidget(CBStartByReaction, 0, 0, 1, 4);
  const auto label = [this](const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text, GBHandsFree);
    l->setBuddy(buddy);
    return l;
  };
  grid->addWidget(label(QStringLiteral("Пауза"), EPauseSymbol), 1, 0);
  grid->addWidget(EPauseSymbol, 1, 1);
  grid->addWidget(label(QStringLiteral("Вызов"), ECallSymbol), 1, 2);
  grid->addWidget(ECallSymbol, 1, 3);
  grid->addWidget(label(QStringLiteral("Чтение строки"), EReadLineSymbol), 2, 0, 1, 3);
  grid->addWidget(EReadLineSymbol, 2, 3);
  grid->addWidget(LHandsFreeWarning, 3, 0, 1, 4);
  grid->setColumnStretch(4, 1);
  connect(CBStartByReaction, &QCheckBox::toggled, this, &TFSettings::HandsFreeChange);
  for (QLineEdit* e : {EPauseSymbol, ECallSymbol, EReadLineSymbol})
    connect(e, &QLineEdit::textChanged, this, &TFSettings::HandsFreeChange);
  // The warning follows the table and the other special symbols too.
  connect(&OptionsInForce(), &TOptionsModel::Changed, this, [this](TOptionGroup group) {
    if (group == TOptionGroup::Session) ShowHandsFreeOptions();
  });
  return GBHandsFree;
}

void TFSettings::ShowHandsFreeOptions() {
  const THandsFreeOptions& h = OptionsInForce().HandsFree();
  const bool wasFilling = filling_;
  filling_ = true;
  if (CBStartByReaction->isChecked() != h.StartByReaction)
    CBStartByReaction->setChecked(h.StartByReaction);
  const std::pair<QLineEdit*, QString> shown[] = {{EPauseSymbol, h.PauseSymbol},
                                                  {ECallSymbol, h.CallSymbol},
                                                  {EReadLineSymbol, h.ReadLineSymbol}};
  for (const auto& [edit, text] : shown)
    if (edit->text() != text) edit->setText(text);
  filling_ = wasFilling;
  const TSessionOptions& s = OptionsInForce().Session();
  const QStringList problems = HandsFreeProblems(
      s.Symbols, s.FastSlowMode ? s.FastSymbol : QString(), s.BackspaceSymbol,
      ParseStopSymbols(s.StopSymbols), h.PauseSymbol, h.CallSymbol, h.ReadLineSymbol);
  LHandsFreeWarning->setText(problems.join(QLatin1Char('\n')));
  LHandsFreeWarning->setVisible(!problems.isEmpty());
}

void TFSettings::HandsFreeChange() {
  Edit(&TOptionsModel::HandsFree, [this](THandsFreeOptions& o) {
    o.StartByReaction = CBStartByReaction->isChecked();
    o.PauseSymbol = EPauseSymbol->text();
    o.CallSymbol = ECallSymbol->text();
    o.ReadLineSymbol = EReadLineSymbol->text();
  });
}
