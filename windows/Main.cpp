// The main window as a container: its widgets and layout, the first
// activation that builds the measurement chain, the settings file's "Main"
// section, the close question and F9.
#include "Main.h"
#include "Cp1251Validator.h"
#include "WidgetHelpers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

#include "Display.h"
#include "ImageView.h"
#include "MainSemaphore.h"
#include "Settings.h"
#include "WindowBounds.h"
#include "files/AppFolder.h"
#include "OptionsInForce.h"
#include "session/OptionsFile.h"
#include "seams/QtTickTimer.h"
#include "seams/UserDialogs.h"
#include "session/SessionModel.h"
#include "session/TapeRecovery.h"

TFMain* FMain = nullptr;

namespace {

TFMain::TTickTimerFactory& TickTimerFactory() {
  static TFMain::TTickTimerFactory factory;
  return factory;
}

// Design client size and initial (outer) position.
constexpr int kDesignWidth = 633;
constexpr int kDesignHeight = 553;
constexpr int kInitialLeft = 207;
constexpr int kInitialTop = 122;


QFont ArialBold(int pixelSize) {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(pixelSize);
  f.setBold(true);
  return f;
}

}  // namespace

void TFMain::SetSensorFactory(TSensorFactory factory) {
  TSessionModel::SetSensorFactory(std::move(factory));
}
void TFMain::SetTickTimerFactory(TTickTimerFactory factory) {
  TickTimerFactory() = std::move(factory);
}

const QColor& TFMain::IdleColor() {
  static const QColor c(255, 255, 255);
  return c;
}
const QColor& TFMain::ArmedColor() {
  static const QColor c(255, 0, 0);
  return c;
}
const QColor& TFMain::ReadyColor() {
  static const QColor c(0, 128, 0);
  return c;
}

TFMain::TFMain(QWidget* parent) : QWidget(parent), model_(*SessionModel) {
  setObjectName(QStringLiteral("FMain"));
  setWindowTitle(QStringLiteral("QUILLORA"));
  setFont(WindowFont());
  model_.AttachHost(
      *this, MakeTickTimer(TickTimerFactory(), this, "RunTimer", [this] { RunTimerTimer(); }),
      MakeTickTimer(TickTimerFactory(), this, "PollTimer", [this] { PollTimerTimer(); }));
  model_.Listen(this);
  BuildWidgets();
  connect(&model_, &TSessionModel::Notice, this, &TFMain::ShowNotice);
  connect(&model_, &TSessionModel::AlarmChanged, this, &TFMain::AlarmChange);
  connect(&model_.Options(), &TOptionsModel::Changed, this, [this](TOptionGroup group) {
    if (group == TOptionGroup::Speech) SpeechChange();
  });

  ProgramDir = AppDataFolder();
  TapeInitialDir = ProgramDir;
  // A tape that was never saved in an earlier run (a crash, a power cut)
  // comes back, and from now on every change of the tape is kept.
  model_.KeepTapeCopy(ProgramDir);
  const QString restored = TapeRecovery()->Restore();
  if (!restored.isEmpty() && MTape->document()->isEmpty()) {
    MTape->setPlainText(restored);
    ShowNotice(QStringLiteral("Восстановлена несохраненная запись прошлого запуска."));
  }
  TapeRecovery()->SetSource([this] { return TapeText(); });
  connect(MTape->document(), &QTextDocument::contentsChanged, this,
          [this] { TapeRecovery()->Changed(); });

  move(kInitialLeft, kInitialTop);
  resize(kDesignWidth, kDesignHeight);
  Bounds = new TWindowBounds(this);
}

TFMain::~TFMain() {
  FormDestroy();
  // The copy gets the tape's last change while the tape is still there.
  TapeRecovery()->SetSource({});
  model_.StopListening(this);
  model_.DetachHost();
  if (FMain == this) FMain = nullptr;
}

TSessionEngine& TFMain::Engine() const { return *model_.Engine(); }
bool TFMain::Running() const { return model_.Running(); }
TTapeRecovery* TFMain::TapeRecovery() const { return model_.TapeRecovery(); }

void TFMain::BuildWidgets() {
  const QFont bold = Bold(font());

  IDrum = Named(new TImageView(this), "IDrum");
  IDrum->SetSizeHint(QSize(449, 409));
  IDrum->setMinimumSize(60, 60);
  IDrum->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  connect(IDrum, &TImageView::Resized, this, &TFMain::FormResize);

  Label1 = Named(new QLabel(QStringLiteral("Пороговое напряжение, В"), this), "Label1");
  Label1->setFont(bold);
  Label1->setEnabled(false);
  ELevel = Named(new QLineEdit(QStringLiteral("5.000"), this), "ELevel");
  ELevel->setToolTip(QStringLiteral("0.050 ... 5.000"));
  ELevel->setEnabled(false);
  ELevel->setFixedSize(57, 21);

  Label2 = Named(new QLabel(QStringLiteral("Время на символ, сек"), this), "Label2");
  Label2->setFont(bold);
  ESymbolPeriod = Named(new QLineEdit(QStringLiteral("1.000"), this), "ESymbolPeriod");
  ESymbolPeriod->setToolTip(QStringLiteral("0.100 ... 20.000"));
  ESymbolPeriod->setFixedSize(57, 21);
  // Both texts go to the settings file, which holds only cp1251.
  ELevel->setValidator(new TCp1251Validator(ELevel));
  ESymbolPeriod->setValidator(new TCp1251Validator(ESymbolPeriod));
  // Both fields show their session options and give every edit back at once.
  const auto edited = [](QString TSessionOptions::*field) {
    return [field](const QString& text) {
      TSessionOptions session = OptionsInForce().Session();
      session.*field = text;
      OptionsInForce().Set(session);
    };
  };
  const auto showOptions = [this] {
    const TSessionOptions& session = OptionsInForce().Session();
    if (ELevel->text() != session.LevelText) ELevel->setText(session.LevelText);
    if (ESymbolPeriod->text() != session.SymbolPeriodText) ESymbolPeriod->setText(session.SymbolPeriodText);
  };
  showOptions();
  connect(ELevel, &QLineEdit::textChanged, this, edited(&TSessionOptions::LevelText));
  connect(ESymbolPeriod, &QLineEdit::textChanged, this, edited(&TSessionOptions::SymbolPeriodText));
  connect(&OptionsInForce(), &TOptionsModel::Changed, this, [showOptions](TOptionGroup group) {
    if (group == TOptionGroup::Session) showOptions();
  });

  BStart = Named(new QPushButton(QStringLiteral("СТАРТ"), this), "BStart");
  BStart->setToolTip(QStringLiteral("Начать сеанс"));
  BStop = Named(new QPushButton(QStringLiteral("СТОП"), this), "BStop");
  BStop->setToolTip(QStringLiteral("Закончить сеанс"));
  for (QPushButton* b : {BStart, BStop}) {
    b->setFlat(true);
    b->setFont(ArialBold(16));
    b->setFixedSize(81, 29);
    b->setFocusPolicy(Qt::NoFocus);  // speed-button-like: takes no focus
  }
  connect(BStart, &QPushButton::clicked, this, &TFMain::BStartClick);
  connect(BStop, &QPushButton::clicked, this, &TFMain::BStopClick);

  BSettings = SquareButton(this, "BSettings", QString(), QStringLiteral("Технические настройки"));
  BSettings->setText(QStringLiteral("T"));
  BSettings->setFont(bold);
  connect(BSettings, &QPushButton::clicked, this, &TFMain::BSettingsClick);
  BDisplay = SquareButton(this, "BDisplay", QString(), QStringLiteral("Инструментальная панель"));
  BDisplay->setText(QStringLiteral("И"));
  BDisplay->setFont(bold);
  connect(BDisplay, &QPushButton::clicked, this, &TFMain::BDisplayClick);

  SSemaphore = Named(new TMainSemaphore(this), "SSemaphore");
  SSemaphore->SetColor(IdleColor());

  LStats = Named(new QLabel(this), "LStats");
  LStats->setToolTip(QStringLiteral(
      "Символов написано в этом сеансе, символов в минуту, отменено символом удаления"));
  UpdateStats();  // the zeros of no session, which also give the line its height

  MTape = Named(new QPlainTextEdit(this), "MTape");
  MTape->setFont(ArialBold(13));
  MTape->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MTape->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MTape->setLineWrapMode(QPlainTextEdit::NoWrap);
  MTape->setFixedHeight(121);

  BSaveTape =
      SquareButton(this, "BSaveTape", QString(), QStringLiteral("Сохранить строку в текущий файл"));
  BSaveTape->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  connect(BSaveTape, &QPushButton::clicked, this, &TFMain::BSaveTapeClick);
  BSaveTapeToFile =
      SquareButton(this, "BSaveTapeToFile", QString(), QStringLiteral("Сохранить в файл"));
  BSaveTapeToFile->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  BSaveTapeToFile->setFlat(true);
  BSaveTapeToFile->setFocusPolicy(Qt::NoFocus);
  connect(BSaveTapeToFile, &QPushButton::clicked, this, &TFMain::BSaveTapeToFileClick);
  BClear = Named(new QPushButton(QStringLiteral("ОЧИСТ"), this), "BClear");
  BClear->setToolTip(QStringLiteral("Очистить содержание строки"));
  BClear->setFont(bold);
  BClear->setFixedSize(57, 25);
  connect(BClear, &QPushButton::clicked, this, &TFMain::BClearClick);
  BTimeStamp =
      SquareButton(this, "BTimeStamp", QString(), QStringLiteral("Вставить текущие дату и время"));
  BTimeStamp->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  BTimeStamp->setFlat(true);
  BTimeStamp->setFocusPolicy(Qt::NoFocus);
  connect(BTimeStamp, &QPushButton::clicked, this, &TFMain::BTimeStampClick);
  BSay = Named(new QPushButton(QStringLiteral("Сказать"), this), "BSay");
  BSay->setToolTip(QStringLiteral("Прочитать вслух последнюю строку ленты"));
  BSay->setFont(bold);
  BSay->setFixedHeight(25);
  BSay->setFocusPolicy(Qt::TabFocus);
  BSay->hide();
  connect(BSay, &QPushButton::clicked, this, &TFMain::BSayClick);
  BSilenceCall = Named(new QPushButton(QStringLiteral("Выключить вызов"), this), "BSilenceCall");
  BSilenceCall->setToolTip(QStringLiteral("Выключить сигнал вызова (Esc)"));
  BSilenceCall->setFont(bold);
  BSilenceCall->setStyleSheet(QStringLiteral("color: #a00000"));
  BSilenceCall->setFocusPolicy(Qt::NoFocus);
  BSilenceCall->hide();
  connect(BSilenceCall, &QPushButton::clicked, this, &TFMain::BSilenceCallClick);

  // Control column: fields, the session buttons with the indicator below
  // them, and the window buttons at the right edge.
  auto* controls = new QVBoxLayout;
  controls->setContentsMargins(0, 0, 0, 0);
  controls->setSpacing(0);
  controls->addWidget(Label1);
  controls->addSpacing(3);
  controls->addWidget(ELevel);
  controls->addSpacing(11);
  controls->addWidget(Label2);
  controls->addSpacing(3);
  controls->addWidget(ESymbolPeriod);
  controls->addSpacing(19);

  auto* session = new QVBoxLayout;
  session->setSpacing(11);
  session->addWidget(BStart);
  session->addWidget(BStop);
  session->addWidget(SSemaphore, 0, Qt::AlignHCenter);
  auto* windowsColumn = new QVBoxLayout;
  windowsColumn->setSpacing(7);
  windowsColumn->addWidget(BSettings);
  windowsColumn->addWidget(BDisplay);
  windowsColumn->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->addLayout(session);
  buttons->addStretch(1);
  buttons->addLayout(windowsColumn);
  controls->addLayout(buttons);
  controls->addSpacing(11);
  controls->addWidget(LStats);
  controls->addSpacing(11);
  controls->addWidget(BSilenceCall);
  controls->addStretch(1);

  // Tape buttons, beside the tape.
  auto* tapeButtons = new QGridLayout;
  tapeButtons->setContentsMargins(0, 0, 0, 0);
  tapeButtons->setHorizontalSpacing(7);
  tapeButtons->setVerticalSpacing(7);
  tapeButtons->addWidget(BSaveTape, 0, 0);
  tapeButtons->addWidget(BSaveTapeToFile, 0, 1);
  tapeButtons->addWidget(BClear, 0, 2);
  tapeButtons->addWidget(BTimeStamp, 1, 0);
  tapeButtons->addWidget(BSay, 1, 1, 1, 2);
  tapeButtons->setRowStretch(2, 1);
  tapeButtons->setColumnStretch(3, 1);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 8);
  grid->setHorizontalSpacing(7);
  grid->setVerticalSpacing(7);
  grid->addWidget(IDrum, 0, 0);
  grid->addLayout(controls, 0, 1);
  grid->addWidget(MTape, 1, 0);
  grid->addLayout(tapeButtons, 1, 1);
  LNotice = Named(new QLabel(this), "LNotice");
  LNotice->setWordWrap(true);
  LNotice->setTextInteractionFlags(Qt::TextSelectableByMouse);
  LNotice->setStyleSheet(QStringLiteral("color: #a00000"));
  LNotice->hide();
  grid->addWidget(LNotice, 2, 0, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setColumnMinimumWidth(1, 161);
  grid->setRowStretch(0, 1);
}

int TFMain::SavedLeft() const { return Bounds->Saved.Left; }
int TFMain::SavedTop() const { return Bounds->Saved.Top; }
int TFMain::SavedWidth() const { return Bounds->Saved.Width; }
int TFMain::SavedHeight() const { return Bounds->Saved.Height; }

bool TFMain::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::WindowActivate:
      FormActivate();
      break;
    case QEvent::Show:
      // Some window managers never activate a window they did not give the
      // focus to; the first show builds the chain as well, once the window
      // is on screen.
      if (!firstShowDone_) {
        firstShowDone_ = true;
        QMetaObject::invokeMethod(this, &TFMain::FormActivate, Qt::QueuedConnection);
      }
      break;
    default:
      break;
  }
  const bool result = QWidget::event(e);
  if ((e->type() == QEvent::Show || e->type() == QEvent::WindowStateChange) && DrumStale &&
      isVisible() && !isMinimized())
    DrawDrum();
  return result;
}

void TFMain::BuildChain() {
  if (!model_.ChainBuilt()) model_.BuildChain(reinterpret_cast<void*>(winId()), ProgramDir);
}

void TFMain::ShowNotice(const QString& text) {
  // Each notice is shown once, not at every poll.
  const QString shown = ElidedText(text);
  if (reportedProblems_.contains(shown)) return;
  reportedProblems_ << shown;
  LNotice->setText(reportedProblems_.join(QLatin1Char('\n')));
  LNotice->show();
}

void TFMain::HideNotice(const QString& text) {
  if (!reportedProblems_.removeAll(ElidedText(text))) return;
  LNotice->setText(reportedProblems_.join(QLatin1Char('\n')));
  LNotice->setVisible(!reportedProblems_.isEmpty());
}

void TFMain::ReportProblem(QWidget* parent, const QString& text) {
  if (StartingUp)
    ShowNotice(text);
  else
    Dialogs().Message(parent, text);
}

void TFMain::FormActivate() {
  if (Activated) return;
  Activated = true;  // set first: the steps below may activate the window again
  StartingUp = true;
  BuildChain();
  const QString settings = ProgramDir + QStringLiteral("Quillora.ini");
  const QString unread = TFSettings::UnreadableReason(settings);
  model_.SetSettingsFileUnread(!unread.isEmpty());
  if (model_.SettingsFileUnread())
    ShowNotice(QStringLiteral("Файл настроек \"%1\" не прочитан (%2). Действуют настройки по "
                              "умолчанию; при выходе этот файл не перезаписывается.")
                   .arg(ElidedName(QDir::toNativeSeparators(settings)), unread));
  LoadWindowSettings(settings);
  DrawDrum();
  if (FSettings) FSettings->show();
  StartingUp = false;
}

void TFMain::LoadWindowSettings(const QString& path) {
  // The bounds read are normal bounds: place them on the normal window.
  if (isMaximized()) setWindowState(windowState() & ~Qt::WindowMaximized);
  Bounds->Load(path, MainWindowBounds);
  if (ReadMainMaximized(path)) setWindowState(windowState() | Qt::WindowMaximized);
  if (FSettings) FSettings->LoadSettings(path);
}

void TFMain::SaveWindowSettings(const QString& path) {
  TOptionsWriter w(path);
  w.Bounds(MainWindowBounds, Bounds->Saved);
  w.MainWindow(isMaximized(), OptionsInForce().Session());
  if (!w.Finish()) ReportWriteFailure(this, w.Error());
}

bool TFMain::FormClose() {
  if (!TapeHoldsText()) return true;
  if (!Dialogs().Confirm(this, QStringLiteral("Запись не сохранена. Выйти все-равно?"))) return false;
  // The user gave the tape up: the next start must not bring it back.
  if (TapeRecovery()) TapeRecovery()->Drop();
  return true;
}

void TFMain::closeEvent(QCloseEvent* e) {
  if (!FormClose()) {
    e->ignore();
    return;
  }
  e->accept();
  emit Closed();
}

void TFMain::FormDestroy() {
  // A window that never loaded the settings file must not overwrite it with
  // its initial values, nor one whose file could not be read.
  if (Activated && !model_.SettingsFileUnread())
    SaveWindowSettings(ProgramDir + QStringLiteral("Quillora.ini"));
}

void TFMain::FormResize() {
  if (Activated) DrawDrum();
}

bool TFMain::FormKeyDown(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && model_.AlarmOn()) {
    BSilenceCallClick();
    return true;
  }
  if (e->key() == Qt::Key_F9 && Engine().Selectable()) {
    SelectSymbol();
    return true;
  }
  return false;
}

void TFMain::BSettingsClick() {
  if (!FSettings) return;
  FSettings->show();
  FSettings->raise();
  FSettings->activateWindow();
}

void TFMain::BDisplayClick() {
  if (!FDisplay) return;
  FDisplay->show();
  FDisplay->raise();
  FDisplay->activateWindow();
}
