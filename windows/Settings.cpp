#include "Settings.h"

#include "files/AppFolder.h"
#include "Cp1251Validator.h"
#include "Main.h"
#include "session/CaptureChoice.h"
#include "session/SessionModel.h"
#include "SymbolTable.h"
#include "seams/UserDialogs.h"
#include "WidgetHelpers.h"
#include "WindowBounds.h"
#include "OptionsInForce.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "sensor/Utils.h"
#include "session/AlphabetPresets.h"
#include "session/ChainOptions.h"
#include "session/SessionEngine.h"
#include "session/SwitchKeys.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TFSettings* FSettings = nullptr;

namespace {

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, const QString& hint,
                    int width) {
  auto* edit = Named(new QLineEdit(text, parent), name);
  edit->setToolTip(hint);
  edit->setFixedWidth(width);
  edit->setValidator(new TCp1251Validator(edit));
  return edit;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& text, const QString& hint) {
  auto* box = Named(new QCheckBox(text, parent), name);
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
TProbe* Probe() { return SessionModel ? SessionModel->Probe() : nullptr; }
TGaugePM100* Gauge() { return SessionModel ? SessionModel->Gauge() : nullptr; }
TAudioSensor_OneRun* Sensor() { return SessionModel ? SessionModel->Sensor() : nullptr; }

// The hints of the spring fields: the range the needle runs in, and the value
// in effect when the typed one lies outside it.
void UpdateSpringHints(QLineEdit* damping, QLineEdit* timeStep, const TNeedleOptions& needle) {
  const double typedDamping = SpringDampingOf(needle);
  const double typedStep = SpringTimeStepOf(needle);
  const TSpringParameters in = SpringInEffect(typedDamping, typedStep);
  const QLocale locale;
  const auto number = [&locale](double v) { return locale.toString(v, 'g', 3); };
  const auto hint = [&](QLineEdit* edit, double typed, double min, double max, double used) {
    QString text = QStringLiteral("( %1 ... %2 )").arg(number(min), number(max));
    if (typed != used) text += QStringLiteral(" действует %1").arg(number(used));
    edit->setToolTip(text);
  };
  hint(damping, typedDamping, in.MinDamping, in.MaxDamping, in.Damping);
  hint(timeStep, typedStep, MinSpringTimeStep, MaxSpringTimeStep, in.TimeStep);
}

} // namespace

TFSettings::TFSettings(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FSettings"));
  setWindowTitle(QStringLiteral("Настройки"));
  setFont(WindowFont());
  BuildControls();

  // Design bounds, then those of the default file.
  move(869, 127);
  resize(457, 589);
  bounds_ = new TWindowBounds(this);
  ReadBounds();

  ShowOptions();
  ConnectEdits();
  connect(&OptionsInForce(), &TOptionsModel::Changed, this,
          [this](TOptionGroup group) { ShowOptions(group); });

  OpenDialogFolder = AppDataFolder();
  SaveDialogFolder = AppDataFolder();
}

TFSettings::~TFSettings() {
  if (TAudioSensor_OneRun* sensor = Sensor()) ReportMissingInput(*sensor, {});
  SaveAtExit();
  if (FSettings == this) FSettings = nullptr;
}

void TFSettings::BuildControls() {
  // Left half: the symbol table under its label, the editing buttons beside it.
  grid_ = new TSymbolTable(this);
  grid_->setObjectName(QStringLiteral("SGSymbolTable"));
  SGSymbolTable = grid_;
  grid_->SetSymbolCount(28);

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
  gridRow->addWidget(grid_, 0);
  gridRow->addLayout(editButtons);
  gridRow->addStretch(1);

  auto* left = new QVBoxLayout;
  left->addWidget(MakeLabel(this, QStringLiteral("Таблица символов"), grid_));
  left->addLayout(gridRow, 1);
  left->addWidget(BuildAlphabetButton(), 0, Qt::AlignLeft);
  left->addWidget(BuildSpeechGroup());

  // Right half: the settings-file buttons, the session options, the signal options,
  // the keys and the tape.
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
  // The session's options start at the texts a session takes without them.
  const TSessionOptions design;
  EFastModeSymbol = MakeEdit(this, "EFastModeSymbol", design.FastSymbol,
      QStringLiteral("Символ переключения обратно в быстрый режим (из таблицы)"), shortEdit);
  EStopSymbol = MakeEdit(this, "EStopSymbol", design.StopSymbols,
      QStringLiteral("Символ остановки (из таблицы)"), shortEdit);
  EBackspaceSymbol = MakeEdit(this, "EBackspaceSymbol", design.BackspaceSymbol,
      QStringLiteral("Символ удаления (из таблицы)"), shortEdit);
  EOnLevel = MakeEdit(this, "EOnLevel", design.OnLevel,
      QStringLiteral("Уровень сигнала при котором регистрируется выбор (в %)"), shortEdit);
  EOffLevel = MakeEdit(this, "EOffLevel", design.OffLevel,
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

  EDataAccDepth = MakeEdit(this, "EDataAccDepth", QStringLiteral("1"),
                           QStringLiteral("( 1 ... 1024 )"), shortEdit);
  ELevelAccDepth = MakeEdit(this, "ELevelAccDepth", QStringLiteral("5"),
                            QStringLiteral("( 1 ... 1024 )"), shortEdit);
  // The design texts, the same in every locale (the fields parse a point or a comma).
  EGaugeSpringDump = MakeEdit(this, "EGaugeSpringDump", QStringLiteral("3.1"), QString(), shortEdit);
  EGaugeSpringSpeed = MakeEdit(this, "EGaugeSpringSpeed", QStringLiteral("0.22"), QString(), shortEdit);
  UpdateSpringHints(EGaugeSpringDump, EGaugeSpringSpeed, OptionsInForce().Needle());
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
  // Here rather than under the grid, which keeps room for a dozen symbols.
  right->addWidget(BuildKeysAndTape());
  right->addStretch(1);

  // A third column for the sound input and the operator's aids, so the
  // window stays low enough for a laptop's screen.
  auto* aids = new QVBoxLayout;
  BuildCaptureGroup(aids);
  aids->addWidget(BuildSpeedGroup());
  aids->addWidget(BuildSwitchGroup());
  aids->addWidget(BuildHandsFreeGroup());
  aids->addStretch(1);

  auto* top = new QHBoxLayout(this);
  top->addLayout(left, 1);
  top->addLayout(right, 1);
  top->addLayout(aids, 1);

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
  connect(grid_, &TSymbolTable::InsertKey, this, &TFSettings::BInsertSymbolClick);
  connect(grid_, &TSymbolTable::DeleteKey, this, &TFSettings::BRemoveSymbolClick);
  connect(grid_, &TSymbolTable::SymbolEdited, this, &TFSettings::SGSymbolTableSetEditText);
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

void TFSettings::BuildCaptureGroup(QVBoxLayout* into) {
  auto* group = new QGroupBox(QStringLiteral("Звуковой вход"), this);
  group->setObjectName(QStringLiteral("GBCapture"));
  CBCaptureDevice = new QComboBox(group);
  CBCaptureDevice->setObjectName(QStringLiteral("CBCaptureDevice"));
  CBCaptureDevice->setToolTip(QStringLiteral("Устройство записи, с которого идёт сигнал датчика"));
  CBCaptureDevice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  CBCaptureDevice->setMinimumContentsLength(16);
  CBCaptureDevice->addItem(QStringLiteral("По умолчанию"), QString());
  BRefreshDevices = new QToolButton(group);
  BRefreshDevices->setObjectName(QStringLiteral("BRefreshDevices"));
  BRefreshDevices->setText(QStringLiteral("Обновить"));
  BRefreshDevices->setToolTip(QStringLiteral("Заново получить список устройств записи"));
  LCaptureStatus = new QLabel(group);
  LCaptureStatus->setObjectName(QStringLiteral("LCaptureStatus"));
  LCaptureStatus->setWordWrap(true);
  auto* row = new QHBoxLayout;
  row->addWidget(CBCaptureDevice, 1);
  row->addWidget(BRefreshDevices);
  auto* column = new QVBoxLayout(group);
  column->addLayout(row);
  column->addWidget(LCaptureStatus);
  into->addWidget(group);

  connect(CBCaptureDevice, &QComboBox::activated, this, &TFSettings::CBCaptureDeviceChange);
  connect(BRefreshDevices, &QToolButton::clicked, this, [this] { RefreshCaptureDevices(); });
}

void TFSettings::SetCaptureInputs(TCaptureInputs* inputs) { SetInputList(inputs); }

void TFSettings::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  RefreshCaptureDevices();
}

bool TFSettings::RefreshCaptureDevices(bool* listed) {
  QList<TInputChoice> inputs;
  const bool ok = ListInputChoices(inputs);
  if (listed) *listed = ok;
  const auto has = [&](const QString& name) {
    return std::any_of(inputs.begin(), inputs.end(), [&](const TInputChoice& i) { return i.Name == name; });
  };
  const QString CaptureDeviceName = CaptureDevice();
  const bool found = CaptureDeviceName.isEmpty() || has(CaptureDeviceName);
  // In use: what the last capture recorded from, else what the next would.
  QString inUse;
  inUse = InputInUse(Sensor());
  if (inUse.isEmpty() || !has(inUse))
    inUse = found && !CaptureDeviceName.isEmpty() ? CaptureDeviceName
            : inputs.empty()                      ? QString()
                                                  : inputs.front().Name;

  CBCaptureDevice->clear();
  const QString fallback = QStringLiteral("По умолчанию");
  CBCaptureDevice->addItem(inputs.empty()
                               ? fallback
                               : fallback + QStringLiteral(": ") +
                                     ElidedName(inputs.front().Description),
                           QString());
  for (const TInputChoice& i : inputs) {
    const QString& name = i.Name;
    QString text = ElidedName(i.Description);
    if (name == inUse) text += QStringLiteral(" (используется)");
    CBCaptureDevice->addItem(text, name);
  }
  if (!found)
    CBCaptureDevice->addItem(ElidedName(CaptureDeviceName) + QStringLiteral(" (не найдено)"),
                             CaptureDeviceName);
  CBCaptureDevice->setCurrentIndex(std::max(0, CBCaptureDevice->findData(CaptureDeviceName)));
  if (!ok)
    LCaptureStatus->setText(QStringLiteral("Список устройств недоступен: нет связи со звуковым сервером."));
  else if (!found)
    LCaptureStatus->setText(
        QStringLiteral("Устройство \"%1\" не найдено, запись идёт с устройства по умолчанию.")
            .arg(ElidedName(CaptureDeviceName)));
  else
    LCaptureStatus->clear();
  return found;
}

QString TFSettings::CaptureDevice() const { return OptionsInForce().Capture().Device; }

void TFSettings::SetCaptureDevice(const QString& name) {
  TCaptureOptions capture;
  capture.Device = name;
  OptionsInForce().Set(capture);
  LCaptureStatus->clear();
  TAudioSensor_OneRun* sensor = Sensor();
  if (!sensor) return;
  ApplyCaptureDevice(capture, *sensor);
  // Reported by the capture itself: during a session a message box would
  // hold up the polls, so the group shows it.
  ReportMissingInput(*sensor, [this](const QString& missing) {
    LCaptureStatus->setText(
        QStringLiteral("Устройство \"%1\" не найдено, запись идёт с устройства по умолчанию.")
            .arg(ElidedName(missing)));
  });
}

void TFSettings::CBCaptureDeviceChange() {
  SetCaptureDevice(CBCaptureDevice->currentData().toString());
  RefreshCaptureDevices();
}

QGroupBox* TFSettings::BuildSpeedGroup() {
  auto* group = new QGroupBox(QStringLiteral("Скорость"), this);
  group->setObjectName(QStringLiteral("GBSpeed"));
  CBRestartAfterSelect = MakeCheck(group, "CBRestartAfterSelect", QStringLiteral("С начала после выбора"),
      QStringLiteral("После выбора символа барабан переходит к первому символу таблицы"));
  CBPredictLetter = MakeCheck(group, "CBPredictLetter", QStringLiteral("Подсказка букв"),
      QStringLiteral("После выбора барабан сначала показывает самые вероятные следующие буквы"));
  CBShowComingOrder = MakeCheck(group, "CBShowComingOrder", QStringLiteral("Показывать очередь"),
      QStringLiteral("Барабан отмечает символы следующих остановок окошка: 1, 2, 3, 4"));
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(CBRestartAfterSelect);
  layout->addWidget(CBPredictLetter);
  // The backspace symbol's place in every scan of the hint, 0 ("нет") for
  // none; the default is the place that measured fastest with errors.
  EUndoPlace = new QSpinBox(group);
  EUndoPlace->setObjectName(QStringLiteral("EUndoPlace"));
  EUndoPlace->setRange(0, TSpeedOptions::MaxUndoPlace);
  EUndoPlace->setSpecialValueText(QStringLiteral("нет"));
  EUndoPlace->setValue(TSpeedOptions::DefaultUndoPlace);
  EUndoPlace->setToolTip(QStringLiteral(
      "С подсказкой букв символ удаления показывается на этом месте после каждого выбора (0 - в порядке таблицы)"));
  auto* undoRow = new QHBoxLayout;
  undoRow->addWidget(MakeLabel(group, QStringLiteral("Удаление на месте"), EUndoPlace));
  undoRow->addWidget(EUndoPlace);
  undoRow->addStretch();
  layout->addLayout(undoRow);
  layout->addWidget(CBShowComingOrder);
  CBGroupScan = MakeCheck(group, "CBGroupScan", QStringLiteral("Группы букв"),
      QStringLiteral("С подсказкой букв окошко сначала останавливается на группах вероятных букв; "
                     "реакция выбирает группу, следующая - букву в ней"));
  layout->addWidget(CBGroupScan);
  return group;
}

// ---------------------------------------------------------------------------
// Alphabet presets

QPushButton* TFSettings::BuildAlphabetButton() {
  // A push button with a menu leaves room for the menu's arrow beside the text.
  BAlphabet = new QPushButton(QStringLiteral("Алфавит"), this);
  BAlphabet->setObjectName(QStringLiteral("BAlphabet"));
  BAlphabet->setToolTip(QStringLiteral("Заполнить таблицу готовым алфавитом"));
  BAlphabet->setFocusPolicy(Qt::TabFocus);
  auto* menu = new QMenu(BAlphabet);
  menu->setObjectName(QStringLiteral("MAlphabet"));
  for (const TAlphabetPreset preset : AlphabetPresets())
    connect(menu->addAction(AlphabetPresetCaption(preset)), &QAction::triggered, this,
            [this, preset] { BAlphabetChoose(preset); });
  BAlphabet->setMenu(menu);
  return BAlphabet;
}

bool TFSettings::SymbolTableIsPreset() const {
  QStringList symbols;
  for (int k = 1; k <= SymbolCount(); ++k) symbols << Symbol(k);
  const QList<TAlphabetPreset> presets = AlphabetPresets();
  return std::any_of(presets.begin(), presets.end(), [&](TAlphabetPreset p) {
    return symbols == AlphabetPresetSymbols(p, EBackspaceSymbol->text());
  });
}

bool TFSettings::BAlphabetChoose(TAlphabetPreset preset) {
  if (!SymbolTableIsPreset() &&
      !Dialogs().Confirm(this, QStringLiteral("Таблица символов изменена. Заменить её алфавитом «%1»?")
                                   .arg(AlphabetPresetCaption(preset))))
    return false;
  // Cell by cell, as loading the table from the settings file fills it.
  grid_->SetSymbols(AlphabetPresetSymbols(preset, EBackspaceSymbol->text()));
  DrawDrum();
  return true;
}

// ---------------------------------------------------------------------------
// Values read by the other windows

int TFSettings::SymbolCount() const { return grid_->SymbolCount(); }

QString TFSettings::Symbol(int k) const { return grid_->Symbol(k); }



void TFSettings::EnableSessionControls(bool on) {
  const std::initializer_list<QWidget*> controls = {
      BOpenSettings,    BSaveSettings, SGSymbolTable, CBFixedSelected, CBFastSlowMode,
      EFastModeSymbol,  EStopSymbol,   EBackspaceSymbol, EOnLevel,     EOffLevel,
      CBNoSensor,       BAddSymbol,    BInsertSymbol, BRemoveSymbol,   EOpLogo,
      ESpLogo};
  for (QWidget* w : controls) w->setEnabled(on);
  for (QWidget* w : {CBRestartAfterSelect, CBPredictLetter, CBShowComingOrder, CBGroupScan}) w->setEnabled(on);
  EUndoPlace->setEnabled(on);
  GBSwitch->setEnabled(on);
  GBHandsFree->setEnabled(on);
  BAlphabet->setEnabled(on);
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
  grid_->AppendSymbol();
  DrawDrum();
  grid_->setFocus();
}

void TFSettings::BInsertSymbolClick() {
  if (SymbolCount() >= MaxSymbols) {
    Dialogs().Message(this, QStringLiteral("Таблица рассчитана на максимум 100 символов."));
    return;
  }
  grid_->InsertSymbol();
  DrawDrum();
}

void TFSettings::BRemoveSymbolClick() {
  // At the minimum count the current symbol is cleared instead.
  grid_->RemoveSymbol();
  DrawDrum();
}

void TFSettings::SGSymbolTableSetEditText() { DrawDrum(); }

void TFSettings::CBGaugeSpringEnClick() {
  Edit(&TOptionsModel::Needle, [this](TNeedleOptions& o) { o.SpringEnabled = CBGaugeSpringEn->isChecked(); });
  if (TGaugePM100* gauge = Gauge()) ApplySpringEnabled(OptionsInForce().Needle(), gauge->NeedleChannel());
}

void TFSettings::EGaugeSpringDumpChange() {
  Edit(&TOptionsModel::Needle, [this](TNeedleOptions& o) { o.SpringDump = EGaugeSpringDump->text(); });
  UpdateSpringHints(EGaugeSpringDump, EGaugeSpringSpeed, OptionsInForce().Needle());
  if (TGaugePM100* gauge = Gauge()) ApplySpringDamping(OptionsInForce().Needle(), gauge->NeedleChannel());
}

void TFSettings::EGaugeSpringSpeedChange() {
  Edit(&TOptionsModel::Needle, [this](TNeedleOptions& o) { o.SpringSpeed = EGaugeSpringSpeed->text(); });
  UpdateSpringHints(EGaugeSpringDump, EGaugeSpringSpeed, OptionsInForce().Needle());
  if (TGaugePM100* gauge = Gauge()) ApplySpringTimeStep(OptionsInForce().Needle(), gauge->NeedleChannel());
}

void TFSettings::EDataAccDepthChange() {
  // The channel clamps the depth to 1..1024; the option keeps what was typed.
  Edit(&TOptionsModel::Signal, [this](TSignalOptions& o) { o.DataAccDepth = EDataAccDepth->text(); });
  if (TProbe* probe = Probe()) ApplyDataDepth(OptionsInForce().Signal(), *probe);
}

void TFSettings::ELevelAccDepthChange() {
  Edit(&TOptionsModel::Signal, [this](TSignalOptions& o) { o.LevelAccDepth = ELevelAccDepth->text(); });
  if (TProbe* probe = Probe()) ApplyLevelDepth(OptionsInForce().Signal(), *probe);
}

void TFSettings::CBInvertSensorDataClick() {
  Edit(&TOptionsModel::Signal, [this](TSignalOptions& o) { o.InvertSensorData = CBInvertSensorData->isChecked(); });
  if (TAudioSensor_OneRun* sensor = Sensor()) ApplyInvert(OptionsInForce().Signal(), *sensor);
}

void TFSettings::CBNoSensorClick() {
  Edit(&TOptionsModel::Session, [this](TSessionOptions& o) { o.NoSensorMode = CBNoSensor->isChecked(); });
  if (TAudioSensor_OneRun* sensor = Sensor()) ApplyNoSensor(OptionsInForce().Session(), *sensor);
}

void TFSettings::EOpLogoChange() {
  Edit(&TOptionsModel::Session, [this](TSessionOptions& o) { o.OperatorLogo = EOpLogo->text(); });
  if (FMain) FMain->OperatorLogo = OptionsInForce().Session().OperatorLogo.trimmed();
}

void TFSettings::ESpLogoChange() {
  Edit(&TOptionsModel::Session, [this](TSessionOptions& o) { o.SpiritLogo = ESpLogo->text(); });
  if (FMain) FMain->SpiritLogo = OptionsInForce().Session().SpiritLogo.trimmed();
}

// ---------------------------------------------------------------------------
// Keys of a switch and the tape's text size

namespace {

QString KeyCaption(const QString& name) {
  if (name.isEmpty()) return QStringLiteral("нет");
  if (name == QLatin1String("Space")) return QStringLiteral("Пробел");
  if (name == QLatin1String("Return")) return QStringLiteral("Enter");
  return name;
}

}  // namespace

QStringList TFSettings::KeyNames() { return SwitchKeyNames(); }

bool TFSettings::IsKey(int pressed, int chosen) { return IsSwitchKey(pressed, chosen); }

int TFSettings::SelectKey() const { return SwitchKeyOfName(OptionsInForce().Keys().SelectKey); }
int TFSettings::StartKey() const { return SwitchKeyOfName(OptionsInForce().Keys().StartKey); }
int TFSettings::StopKey() const { return SwitchKeyOfName(OptionsInForce().Keys().StopKey); }

QGroupBox* TFSettings::BuildKeysAndTape() {
  GBKeysAndTape = new QGroupBox(QStringLiteral("Клавиши и лента"), this);
  GBKeysAndTape->setObjectName(QStringLiteral("GBKeysAndTape"));
  const auto keyBox = [this](const char* name, const QString& hint) {
    auto* box = new QComboBox(GBKeysAndTape);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(hint);
    for (const QString& key : KeyNames()) box->addItem(KeyCaption(key), key);
    connect(box, &QComboBox::currentIndexChanged, this, &TFSettings::KeysChange);
    return box;
  };
  DDSelectKey = keyBox("DDSelectKey", QStringLiteral("Клавиша выключателя, которая выбирает символ в "
                                                     "сеансе из любого окна (F9 действует всегда)"));
  DDStartKey = keyBox("DDStartKey", QStringLiteral("Клавиша, которая начинает сеанс (как «СТАРТ»)"));
  DDStopKey = keyBox("DDStopKey", QStringLiteral("Клавиша, которая заканчивает сеанс (как «СТОП»)"));
  ETapeFontSize = new QSpinBox(GBKeysAndTape);
  ETapeFontSize->setObjectName(QStringLiteral("ETapeFontSize"));
  ETapeFontSize->setRange(8, 72);
  ETapeFontSize->setValue(TFMain::DesignTapeFontSize);
  ETapeFontSize->setToolTip(QStringLiteral("Высота букв ленты в пикселях (обычно 13)"));
  connect(ETapeFontSize, &QSpinBox::valueChanged, this, &TFSettings::ETapeFontSizeChange);

  auto* form = new QFormLayout(GBKeysAndTape);
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  form->addRow(MakeLabel(this, QStringLiteral("Выбор"), DDSelectKey), DDSelectKey);
  form->addRow(MakeLabel(this, QStringLiteral("СТАРТ"), DDStartKey), DDStartKey);
  form->addRow(MakeLabel(this, QStringLiteral("СТОП"), DDStopKey), DDStopKey);
  form->addRow(MakeLabel(this, QStringLiteral("Лента, пикс"), ETapeFontSize), ETapeFontSize);
  return GBKeysAndTape;
}

void TFSettings::KeysChange() {
  Edit(&TOptionsModel::Keys, [this](TKeyOptions& o) {
    o.SelectKey = DDSelectKey->currentData().toString();
    o.StartKey = DDStartKey->currentData().toString();
    o.StopKey = DDStopKey->currentData().toString();
  });
  if (!FMain) return;
  // The session buttons' hints name their keys.
  const auto hint = [](const QString& text, const QComboBox* box) {
    const QString name = box->currentData().toString();
    return name.isEmpty() ? text : text + QStringLiteral(" (") + box->currentText() + QLatin1Char(')');
  };
  FMain->BStart->setToolTip(hint(QStringLiteral("Начать сеанс"), DDStartKey));
  FMain->BStop->setToolTip(hint(QStringLiteral("Закончить сеанс"), DDStopKey));
}

void TFSettings::ETapeFontSizeChange() {
  Edit(&TOptionsModel::Tape, [this](TTapeOptions& o) { o.FontSize = ETapeFontSize->value(); });
  if (FMain) FMain->SetTapeFontSize(OptionsInForce().Tape().FontSize);
}
