#include "Settings.h"

#include "files/AppFolder.h"
#include "Cp1251Validator.h"
#include "Main.h"
#include "SymbolTable.h"
#include "seams/UserDialogs.h"
#include "WindowBounds.h"
#include "inifile/IniFile.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "sensor/Utils.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TFSettings* FSettings = nullptr;

namespace {

constexpr double DefaultSpringDamping = 3.1;
constexpr double DefaultSpringTimeStep = 0.22;

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, const QString& hint,
                    int width) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(QLatin1String(name));
  edit->setToolTip(hint);
  edit->setFixedWidth(width);
  edit->setValidator(new TCp1251Validator(edit));
  return edit;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& text, const QString& hint) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(QLatin1String(name));
  box->setToolTip(hint);
  return box;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

QFrame* MakeSeparator(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

// The measurement chain, once the main window has built it.
TProbe* Probe() { return FMain ? FMain->SignalProbe : nullptr; }
TGaugePM100* Gauge() { return FMain ? FMain->GaugeModel : nullptr; }
TAudioSensor_OneRun* Sensor() { return FMain ? FMain->SoundSensor : nullptr; }

// A typed integer, def when the text is not one.
int IntegerOr(const QLineEdit* edit, int def) {
  int v = def;
  return ParseInteger(edit->text().toStdString(), v) ? v : def;
}

// A typed decimal (point or comma), def when the text is not one.
double DecimalOr(const QLineEdit* edit, double def) {
  double v = def;
  return ParseDecimal(edit->text().toStdString(), v) ? v : def;
}

} // namespace

TFSettings::TFSettings(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FSettings"));
  setWindowTitle(QStringLiteral("Настройки"));
  BuildControls();

  // Design bounds, then those of the default file.
  move(869, 127);
  resize(457, 589);
  Bounds = new TWindowBounds(this);
  ReadBounds();

  OpenDialogFolder = AppDataFolder();
  SaveDialogFolder = AppDataFolder();
}

TFSettings::~TFSettings() {
  SaveAtExit();
  if (FSettings == this) FSettings = nullptr;
}

void TFSettings::ReadBounds() {
  const TIniFile ini(SettingsFilePath().toStdString());
  const TBounds now = Bounds->Current();
  const char* section = "Settings Window";
  TBounds b;
  b.Left = ini.ReadInteger(section, "Position Left", now.Left);
  b.Top = ini.ReadInteger(section, "Position Top", now.Top);
  b.Width = ini.ReadInteger(section, "Window Width", now.Width);
  b.Height = ini.ReadInteger(section, "Window Height", now.Height);
  Bounds->Place(b);
}

void TFSettings::BuildControls() {
  // Left half: the symbol table under its label, the editing buttons beside it.
  Grid = new TSymbolTable(this);
  Grid->setObjectName(QStringLiteral("SGSymbolTable"));
  SGSymbolTable = Grid;
  Grid->SetSymbolCount(28);

  BAddSymbol = new QPushButton(QStringLiteral("+"), this);
  BAddSymbol->setObjectName(QStringLiteral("BAddSymbol"));
  BAddSymbol->setToolTip(QStringLiteral("Добавить символ в конце"));
  BInsertSymbol = new QPushButton(QStringLiteral("|+|"), this);
  BInsertSymbol->setObjectName(QStringLiteral("BInsertSymbol"));
  BInsertSymbol->setToolTip(QStringLiteral("Вставить символ"));
  BRemoveSymbol = new QPushButton(QStringLiteral("-"), this);
  BRemoveSymbol->setObjectName(QStringLiteral("BRemoveSymbol"));
  BRemoveSymbol->setToolTip(QStringLiteral("Удалить символ"));
  for (QPushButton* b : {BAddSymbol, BInsertSymbol, BRemoveSymbol}) {
    b->setFixedWidth(36);
    b->setFocusPolicy(Qt::TabFocus);
  }

  auto* editButtons = new QVBoxLayout;
  editButtons->addWidget(BAddSymbol);
  editButtons->addWidget(BInsertSymbol);
  editButtons->addWidget(BRemoveSymbol);
  editButtons->addStretch(1);

  auto* gridRow = new QHBoxLayout;
  gridRow->addWidget(Grid, 0);
  gridRow->addLayout(editButtons);
  gridRow->addStretch(1);

  auto* left = new QVBoxLayout;
  left->addWidget(MakeLabel(this, QStringLiteral("Таблица символов"), Grid));
  left->addLayout(gridRow, 1);

  // Right half: the settings-file buttons, the session options, the signal options.
  BOpenSettings = new QToolButton(this);
  BOpenSettings->setObjectName(QStringLiteral("BOpenSettings"));
  BOpenSettings->setToolTip(QStringLiteral("Считать другие настройки"));
  BOpenSettings->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  BSaveSettings = new QToolButton(this);
  BSaveSettings->setObjectName(QStringLiteral("BSaveSettings"));
  BSaveSettings->setToolTip(QStringLiteral("Сохранить текущие настройки"));
  BSaveSettings->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  for (QToolButton* b : {BOpenSettings, BSaveSettings}) {
    b->setAutoRaise(true);
    b->setIconSize(QSize(20, 20));
  }
  auto* fileButtons = new QHBoxLayout;
  fileButtons->addWidget(BOpenSettings);
  fileButtons->addWidget(BSaveSettings);
  fileButtons->addStretch(1);

  CBFixedSelected = MakeCheck(this, "CBFixedSelected", QStringLiteral("Фикс Окошко"),
                              QStringLiteral("Фиксировать позицию выбранного символа"));
  CBFastSlowMode = MakeCheck(this, "CBFastSlowMode", QStringLiteral("Режим Быстр/Медл"),
                             QStringLiteral("Режим \"быстро/медленно\""));

  const int shortEdit = 64;
  EFastModeSymbol = MakeEdit(this, "EFastModeSymbol", QStringLiteral("--"),
      QStringLiteral("Символ переключения обратно в быстрый режим (из таблицы)"), shortEdit);
  EStopSymbol = MakeEdit(this, "EStopSymbol", QStringLiteral("."),
      QStringLiteral("Символ остановки (из таблицы)"), shortEdit);
  EBackspaceSymbol = MakeEdit(this, "EBackspaceSymbol", QStringLiteral("<"),
      QStringLiteral("Символ удаления (из таблицы)"), shortEdit);
  EOnLevel = MakeEdit(this, "EOnLevel", QStringLiteral("30"),
      QStringLiteral("Уровень сигнала при котором регистрируется выбор (в %)"), shortEdit);
  EOffLevel = MakeEdit(this, "EOffLevel", QStringLiteral("20"),
      QStringLiteral("Уровень сигнала при котором включается снова датчик (в %)"), shortEdit);
  EOpLogo = MakeEdit(this, "EOpLogo", QStringLiteral("Оп:"), QString(), shortEdit);
  ESpLogo = MakeEdit(this, "ESpLogo", QStringLiteral("Дух:"), QString(), shortEdit);
  CBNoSensor = MakeCheck(this, "CBNoSensor", QStringLiteral("Без датчика"),
                         QStringLiteral("Режим тестирования без датчика"));

  BTestSignal = new QToolButton(this);
  BTestSignal->setObjectName(QStringLiteral("BTestSignal"));
  BTestSignal->setText(QStringLiteral("Имит. Сигн (F9)"));
  BTestSignal->setToolTip(QStringLiteral("Имитировать сигнал с датчика"));
  {
    QFont f = BTestSignal->font();
    f.setBold(true);
    BTestSignal->setFont(f);
    QPalette pal = BTestSignal->palette();
    pal.setColor(QPalette::ButtonText, QColor(0, 0, 255));
    BTestSignal->setPalette(pal);
  }

  const QLocale locale;
  EDataAccDepth = MakeEdit(this, "EDataAccDepth", QStringLiteral("1"),
                           QStringLiteral("( 1 ... 1024 )"), shortEdit);
  ELevelAccDepth = MakeEdit(this, "ELevelAccDepth", QStringLiteral("5"),
                            QStringLiteral("( 1 ... 1024 )"), shortEdit);
  EGaugeSpringDump = MakeEdit(this, "EGaugeSpringDump", locale.toString(DefaultSpringDamping),
                              QString(), shortEdit);
  EGaugeSpringSpeed = MakeEdit(this, "EGaugeSpringSpeed", locale.toString(DefaultSpringTimeStep),
                               QString(), shortEdit);
  CBGaugeSpringEn = MakeCheck(this, "CBGaugeSpringEn", QString(), QString());
  CBInvertSensorData = MakeCheck(this, "CBInvertSensorData", QString(), QString());
  CBInvertSensorData->setChecked(true);

  auto* session = new QFormLayout;
  session->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  session->addRow(MakeLabel(this, QStringLiteral("Символ быстр реж"), EFastModeSymbol), EFastModeSymbol);
  session->addRow(MakeLabel(this, QStringLiteral("Символ остановки"), EStopSymbol), EStopSymbol);
  session->addRow(MakeLabel(this, QStringLiteral("Символ удаления"), EBackspaceSymbol), EBackspaceSymbol);
  session->addRow(MakeLabel(this, QStringLiteral("Уров сигн \"есть\", % "), EOnLevel), EOnLevel);
  session->addRow(MakeLabel(this, QStringLiteral("Уров сигн \"нет\", %"), EOffLevel), EOffLevel);
  LOpLogo = MakeLabel(this, QStringLiteral("Лого оператора"), EOpLogo);
  LOpLogo->setObjectName(QStringLiteral("LOpLogo"));
  LSpLogo = MakeLabel(this, QStringLiteral("Лого духа"), ESpLogo);
  LSpLogo->setObjectName(QStringLiteral("LSpLogo"));
  session->addRow(LOpLogo, EOpLogo);
  session->addRow(LSpLogo, ESpLogo);

  auto* signal = new QFormLayout;
  signal->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  signal->addRow(MakeLabel(this, QStringLiteral("Аккум Сигн"), EDataAccDepth), EDataAccDepth);
  signal->addRow(MakeLabel(this, QStringLiteral("Аккум Уров"), ELevelAccDepth), ELevelAccDepth);
  signal->addRow(MakeLabel(this, QStringLiteral("Трен Стр Пруж"), EGaugeSpringDump), EGaugeSpringDump);
  signal->addRow(MakeLabel(this, QStringLiteral("Скор Стр Пруж"), EGaugeSpringSpeed), EGaugeSpringSpeed);
  signal->addRow(MakeLabel(this, QStringLiteral("Примен Стрел Пруж"), CBGaugeSpringEn), CBGaugeSpringEn);
  signal->addRow(MakeLabel(this, QStringLiteral("Инверт Сигн Датч"), CBInvertSensorData), CBInvertSensorData);

  auto* right = new QVBoxLayout;
  right->addLayout(fileButtons);
  right->addWidget(CBFixedSelected);
  right->addWidget(CBFastSlowMode);
  right->addLayout(session);
  right->addWidget(CBNoSensor);
  right->addWidget(BTestSignal, 0, Qt::AlignLeft);
  right->addWidget(MakeSeparator(this));
  right->addLayout(signal);
  right->addWidget(BuildSpeedGroup());
  right->addStretch(1);

  auto* top = new QHBoxLayout(this);
  top->addLayout(left, 1);
  top->addLayout(right, 1);

  // The logo fields and their labels start disabled; the fields open after
  // the first session.
  for (QWidget* w : std::initializer_list<QWidget*>{EOpLogo, ESpLogo, LOpLogo, LSpLogo})
    w->setEnabled(false);

  connect(BOpenSettings, &QToolButton::clicked, this, &TFSettings::BOpenSettingsClick);
  connect(BSaveSettings, &QToolButton::clicked, this, &TFSettings::BSaveSettingsClick);
  connect(BTestSignal, &QToolButton::clicked, this, &TFSettings::BTestSignalClick);
  connect(BAddSymbol, &QPushButton::clicked, this, &TFSettings::BAddSymbolClick);
  connect(BInsertSymbol, &QPushButton::clicked, this, &TFSettings::BInsertSymbolClick);
  connect(BRemoveSymbol, &QPushButton::clicked, this, &TFSettings::BRemoveSymbolClick);
  connect(Grid, &TSymbolTable::InsertKey, this, &TFSettings::BInsertSymbolClick);
  connect(Grid, &TSymbolTable::DeleteKey, this, &TFSettings::BRemoveSymbolClick);
  connect(Grid, &TSymbolTable::SymbolEdited, this, &TFSettings::SGSymbolTableSetEditText);
  connect(CBGaugeSpringEn, &QCheckBox::toggled, this, &TFSettings::CBGaugeSpringEnClick);
  connect(CBInvertSensorData, &QCheckBox::toggled, this, &TFSettings::CBInvertSensorDataClick);
  connect(CBNoSensor, &QCheckBox::toggled, this, &TFSettings::CBNoSensorClick);
  connect(EGaugeSpringDump, &QLineEdit::textChanged, this, &TFSettings::EGaugeSpringDumpChange);
  connect(EGaugeSpringSpeed, &QLineEdit::textChanged, this, &TFSettings::EGaugeSpringSpeedChange);
  connect(EDataAccDepth, &QLineEdit::textChanged, this, &TFSettings::EDataAccDepthChange);
  connect(ELevelAccDepth, &QLineEdit::textChanged, this, &TFSettings::ELevelAccDepthChange);
  connect(EOpLogo, &QLineEdit::textChanged, this, &TFSettings::EOpLogoChange);
  connect(ESpLogo, &QLineEdit::textChanged, this, &TFSettings::ESpLogoChange);
}

QGroupBox* TFSettings::BuildSpeedGroup() {
  auto* group = new QGroupBox(QStringLiteral("Скорость"), this);
  group->setObjectName(QStringLiteral("GBSpeed"));
  CBRestartAfterSelect = MakeCheck(group, "CBRestartAfterSelect", QStringLiteral("С начала после выбора"),
      QStringLiteral("После выбора символа барабан переходит к первому символу таблицы"));
  CBPredictLetter = MakeCheck(group, "CBPredictLetter", QStringLiteral("Подсказка букв"),
      QStringLiteral("После выбора барабан сначала показывает самые вероятные следующие буквы"));
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(CBRestartAfterSelect);
  layout->addWidget(CBPredictLetter);
  return group;
}

// ---------------------------------------------------------------------------
// Values read by the other windows

int TFSettings::SymbolCount() const { return Grid->SymbolCount(); }

QString TFSettings::Symbol(int k) const { return Grid->Symbol(k); }



void TFSettings::EnableSessionControls(bool on) {
  const std::initializer_list<QWidget*> controls = {
      BOpenSettings,    BSaveSettings, SGSymbolTable, CBFixedSelected, CBFastSlowMode,
      EFastModeSymbol,  EStopSymbol,   EBackspaceSymbol, EOnLevel,     EOffLevel,
      CBNoSensor,       BAddSymbol,    BInsertSymbol, BRemoveSymbol,   EOpLogo,
      ESpLogo};
  for (QWidget* w : controls) w->setEnabled(on);
  for (QWidget* w : {CBRestartAfterSelect, CBPredictLetter}) w->setEnabled(on);
}

// ---------------------------------------------------------------------------
// Handlers

void TFSettings::DrawDrum() {
  if (FMain) FMain->DrawDrum();
}

void TFSettings::BTestSignalClick() {
  if (FMain) FMain->SelectSymbol();
}

void TFSettings::BAddSymbolClick() {
  if (SymbolCount() >= MaxSymbols) {
    Dialogs().Message(this, QStringLiteral("Таблица рассчитана на максимум 100 символов."));
    return;
  }
  Grid->AppendSymbol();
  DrawDrum();
  Grid->setFocus();
}

void TFSettings::BInsertSymbolClick() {
  if (SymbolCount() >= MaxSymbols) {
    Dialogs().Message(this, QStringLiteral("Таблица рассчитана на максимум 100 символов."));
    return;
  }
  Grid->InsertSymbol();
  DrawDrum();
}

void TFSettings::BRemoveSymbolClick() {
  // At the minimum count the current symbol is cleared instead.
  Grid->RemoveSymbol();
  DrawDrum();
}

void TFSettings::SGSymbolTableSetEditText() { DrawDrum(); }

void TFSettings::CBGaugeSpringEnClick() {
  if (TGaugePM100* gauge = Gauge()) gauge->NeedleChannel().SpringEnabled = CBGaugeSpringEn->isChecked();
}

void TFSettings::EGaugeSpringDumpChange() {
  TGaugePM100* gauge = Gauge();
  if (!gauge) return;
  // The spring is off while its parameter changes; its position and
  // velocity are kept.
  TSignalChannel& needle = gauge->NeedleChannel();
  needle.SpringEnabled = false;
  needle.Damping = DecimalOr(EGaugeSpringDump, DefaultSpringDamping);
  needle.SpringEnabled = CBGaugeSpringEn->isChecked();
}

void TFSettings::EGaugeSpringSpeedChange() {
  TGaugePM100* gauge = Gauge();
  if (!gauge) return;
  TSignalChannel& needle = gauge->NeedleChannel();
  needle.SpringEnabled = false;
  needle.TimeStep = DecimalOr(EGaugeSpringSpeed, DefaultSpringTimeStep);
  needle.SpringEnabled = CBGaugeSpringEn->isChecked();
}

void TFSettings::EDataAccDepthChange() {
  // The channel clamps the depth to 1..1024; the field keeps what was typed.
  if (TProbe* probe = Probe()) probe->DataChannel().SetDepth(IntegerOr(EDataAccDepth, 1));
}

void TFSettings::ELevelAccDepthChange() {
  if (TProbe* probe = Probe()) probe->LevelChannel().SetDepth(IntegerOr(ELevelAccDepth, 1));
}

void TFSettings::CBInvertSensorDataClick() {
  if (TAudioSensor_OneRun* sensor = Sensor()) sensor->Invert = CBInvertSensorData->isChecked();
}

void TFSettings::CBNoSensorClick() {
  if (TAudioSensor_OneRun* sensor = Sensor()) sensor->NoSensor = CBNoSensor->isChecked();
}

void TFSettings::EOpLogoChange() {
  if (FMain) FMain->OperatorLogo = EOpLogo->text().trimmed();
}

void TFSettings::ESpLogoChange() {
  if (FMain) FMain->SpiritLogo = ESpLogo->text().trimmed();
}
