// The instrument panel window: layout, the gain handler, the level modes,
// the indicators' creation and the settings it keeps.
#include "Display.h"
#include "CalibrationDialog.h"
#include "Cp1251Validator.h"
#include "WidgetHelpers.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

#include "files/AppFolder.h"
#include "Graph.h"
#include "ImageView.h"
#include "Main.h"
#include "session/SessionModel.h"
#include "seams/UserDialogs.h"
#include "WindowBounds.h"
#include "indicators/Instdisplay.h"
#include "OptionsInForce.h"
#include "session/ChainOptions.h"
#include "session/OptionsFile.h"
#include "session/SessionRules.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Utils.h"

#include "indicators/Colors.h"

TFDisplay* FDisplay = nullptr;

namespace {

// Design bounds: client area 801 × 417 at (248, 132).
constexpr int kDesignLeft = 248;
constexpr int kDesignTop = 132;
constexpr int kDesignWidth = 801;
constexpr int kDesignHeight = 417;



// An indicator's image control: the picture goes to the view, drawn for the
// view's size and the pixel ratio and DPI of the screen it is on.
class TViewCanvas final : public TIndicatorCanvas {
public:
  explicit TViewCanvas(TImageView* view) : View(view) {}

  QSize LogicalSize() const override { return View->size(); }
  qreal PixelRatio() const override { return View->PixelRatio(); }
  qreal LogicalDpi() const override {
    const QScreen* screen = View->screen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
  }
  QPoint Origin() const override { return View->pos(); }
  QColor ParentColor() const override {
    const QWidget* parent = View->parentWidget();
    return parent ? parent->palette().color(QPalette::Window) : Silver();
  }
  void Show(const QImage& picture) override { View->SetImage(picture); }
  // The indicator keeps its picture and paints it in place: the view reads
  // it without a copy and repaints only what changed.
  void ShowChanged(const QImage& picture, const QRegion& changed) override {
    View->ShowBuffer(picture, changed);
  }

private:
  TImageView* View;
};

// The number formed by the decimal digits at the end of text; 1 without any.
double TrailingNumber(const QString& text) {
  int start = text.size();
  while (start > 0 && text.at(start - 1) >= QLatin1Char('0') && text.at(start - 1) <= QLatin1Char('9'))
    --start;
  if (start == text.size()) return 1.0;
  return text.mid(start).toDouble();
}

TInstrument* Model() { return SessionModel ? static_cast<TInstrument*>(SessionModel->Gauge()) : nullptr; }

TProbe* Probe() {
  TInstrument* model = Model();
  return model ? &model->Probe() : nullptr;
}

TFDisplay::TCalibrationRunner& CalibrationRunner() {
  static TFDisplay::TCalibrationRunner runner;
  return runner;
}

} // namespace

TFDisplay::TFDisplay(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FDisplay"));
  setWindowTitle(QStringLiteral("Инструментальная панель"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Silver());
  setPalette(pal);
  setFont(WindowFont());

  BuildWidgets();
  FormCreate();
  if (SessionModel) SessionModel->Listen(this);
}

TFDisplay::~TFDisplay() {
  if (SessionModel) SessionModel->StopListening(this);
  FormDestroy();
  if (FDisplay == this) FDisplay = nullptr;
}

QToolButton* TFDisplay::GainButton(const char* name, const QString& text, int width) {
  auto* b = Named(new QToolButton(this), name);
  b->setText(text);
  b->setFont(Bold(font()));
  b->setFixedSize(width, 17);
  b->setFocusPolicy(Qt::NoFocus);
  connect(b, &QToolButton::clicked, this, [this, b] { BAmpUpClick(b); });
  return b;
}

void TFDisplay::BuildWidgets() {
  const QFont bold = Bold(font());

  IGauge = Named(new TImageView(this), "IGauge");
  IGauge->SetSizeHint(QSize(561, 401));
  IGauge->setMinimumSize(1, 1);
  IGauge->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  connect(IGauge, &TImageView::Resized, this, &TFDisplay::FormResize);

  ILevel = Named(new TImageView(this), "ILevel");
  ILevel->setFixedSize(217, 217);
  const auto levelPos = [](QMouseEvent* e) { return e->position().toPoint(); };
  connect(ILevel, &TImageView::MousePressed, this, [this, levelPos](QMouseEvent* e) {
    if (levelInd_) levelInd_->MouseDown(e->button(), e->modifiers(), levelPos(e).x(), levelPos(e).y());
  });
  connect(ILevel, &TImageView::MouseReleased, this, [this, levelPos](QMouseEvent* e) {
    if (levelInd_) levelInd_->MouseUp(e->button(), e->modifiers(), levelPos(e).x(), levelPos(e).y());
  });
  connect(ILevel, &TImageView::MouseMoved, this, [this, levelPos](QMouseEvent* e) {
    if (levelInd_) levelInd_->MouseMove(e->modifiers(), levelPos(e).x(), levelPos(e).y());
  });

  Label5 = Named(new QLabel(QStringLiteral("Коэффициент усиления прибора"), this), "Label5");
  Label5->setFont(bold);
  Label5->setFixedHeight(13);

  EGaugeAmp = Named(new QLineEdit(QStringLiteral("100"), this), "EGaugeAmp");
  EGaugeAmp->setFixedSize(57, 21);
  // The text goes to the settings file, which holds only cp1251.
  EGaugeAmp->setValidator(new TCp1251Validator(EGaugeAmp));
  EGaugeAmp->setToolTip(QStringLiteral("( 1 ... 1000 )"));
  // The field shows the gain option and gives every edit back at once.
  const auto showGain = [this] {
    const QString& gain = OptionsInForce().Needle().Gain;
    if (EGaugeAmp->text() != gain) EGaugeAmp->setText(gain);
  };
  showGain();
  connect(EGaugeAmp, &QLineEdit::textChanged, this, [this](const QString& text) {
    TNeedleOptions needle = OptionsInForce().Needle();
    needle.Gain = text;
    OptionsInForce().Set(needle);
    BAmpUpClick(EGaugeAmp);
  });
  connect(&OptionsInForce(), &TOptionsModel::Changed, this, [showGain](TOptionGroup group) {
    if (group == TOptionGroup::Needle) showGain();
  });

  BAmpUp = GainButton("BAmpUp", QStringLiteral("+1"), 33);
  BAmpDown = GainButton("BAmpDown", QStringLiteral("-1"), 33);
  BAmpUp10 = GainButton("BAmpUp10", QStringLiteral("+10"), 33);
  BAmpDown10 = GainButton("BAmpDown10", QStringLiteral("-10"), 33);
  BAmp1 = GainButton("BAmp1", QStringLiteral("x1"), 25);
  BAmp5 = GainButton("BAmp5", QStringLiteral("x5"), 25);
  BAmp10 = GainButton("BAmp10", QStringLiteral("x10"), 33);
  BAmp20 = GainButton("BAmp20", QStringLiteral("x20"), 33);
  BAmp50 = GainButton("BAmp50", QStringLiteral("x50"), 33);
  BAmp100 = GainButton("BAmp100", QStringLiteral("x100"), 41);
  BAmp500 = GainButton("BAmp500", QStringLiteral("x500"), 33);
  BAmp1000 = GainButton("BAmp1000", QStringLiteral("x1000"), 41);

  BGraph = Named(new QPushButton(QStringLiteral("Г"), this), "BGraph");
  BGraph->setFont(bold);
  BGraph->setFixedSize(25, 25);
  BGraph->setToolTip(QStringLiteral("Панель графика"));
  connect(BGraph, &QPushButton::clicked, this, &TFDisplay::BGraphClick);

  BCalibrate = Named(new QPushButton(QStringLiteral("Калибр."), this), "BCalibrate");
  BCalibrate->setFont(bold);
  BCalibrate->setFixedSize(61, 25);
  BCalibrate->setFocusPolicy(Qt::NoFocus);
  BCalibrate->setToolTip(QStringLiteral("Помощник калибровки: подобрать усиление, уровни и режим "
                                        "уровня по покою и трём реакциям оператора"));
  connect(BCalibrate, &QPushButton::clicked, this, &TFDisplay::BCalibrateClick);
  BCalibrateRun = Named(new QPushButton(QStringLiteral("Заново"), this), "BCalibrateRun");
  BCalibrateRun->setFont(bold);
  BCalibrateRun->setFixedSize(61, 25);
  BCalibrateRun->setFocusPolicy(Qt::NoFocus);
  BCalibrateRun->setToolTip(
      QStringLiteral("Откалибровать заново: помощник открывается и сразу начинает"));
  connect(BCalibrateRun, &QPushButton::clicked, this, &TFDisplay::BCalibrateRunClick);
  connect(&OptionsInForce(), &TOptionsModel::Changed, this, [this](TOptionGroup group) {
    if (group == TOptionGroup::Calibration && !keepingMode_) RestoreCalibration();
  });

  const auto levelButton = [this, &bold](const char* name, const QString& text, const QString& hint) {
    auto* b = Named(new QToolButton(this), name);
    b->setText(text);
    b->setFont(bold);
    b->setFixedSize(49, 25);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
  };
  BLevelSet = levelButton("BLevelSet", QStringLiteral("Текщ"),
                          QStringLiteral("Перевести уровень к текущему значению сигнала"));
  QPalette blue = BLevelSet->palette();
  blue.setColor(QPalette::ButtonText, QColor(0, 0, 255));
  BLevelSet->setPalette(blue);
  BLevelFixed = levelButton("BLevelFixed", QStringLiteral("Фикс"),
                            QStringLiteral("Режим фиксированного уровня"));
  BLevelFind = levelButton("BLevelFind", QStringLiteral("Слеж"),
                           QStringLiteral("Режим слежения за уровнем сигнала"));
  BLevelAuto = levelButton("BLevelAuto", QStringLiteral("Автм"), QString());
  LevelModeGroup = new QButtonGroup(this);
  LevelModeGroup->setObjectName(QStringLiteral("LevelModeGroup"));
  LevelModeGroup->setExclusive(true);
  for (QToolButton* b : {BLevelFixed, BLevelFind, BLevelAuto}) {
    b->setCheckable(true);
    LevelModeGroup->addButton(b);
  }
  BLevelFind->setChecked(true);
  BLevelAuto->setEnabled(false);
  connect(BLevelSet, &QToolButton::clicked, this, &TFDisplay::BLevelSetClick);
  connect(BLevelFixed, &QToolButton::clicked, this, &TFDisplay::BLevelFixedClick);
  connect(BLevelFind, &QToolButton::clicked, this, &TFDisplay::BLevelFindClick);
  connect(BLevelAuto, &QToolButton::clicked, this, &TFDisplay::BLevelAutoClick);

  setTabOrder(EGaugeAmp, BGraph);

  // The gauge fills the window; a column of 217 pixels on the right holds the
  // gain controls at the top and the level dial with its buttons at the bottom.
  auto* steps = new QHBoxLayout;
  steps->setContentsMargins(0, 0, 0, 0);
  steps->setSpacing(0);
  steps->addWidget(EGaugeAmp, 0, Qt::AlignTop);
  steps->addSpacing(15);
  auto* ones = new QVBoxLayout;
  ones->setSpacing(3);
  ones->addWidget(BAmpUp);
  ones->addWidget(BAmpDown);
  steps->addLayout(ones);
  steps->addSpacing(15);
  auto* tens = new QVBoxLayout;
  tens->setSpacing(3);
  tens->addWidget(BAmpUp10);
  tens->addWidget(BAmpDown10);
  steps->addLayout(tens);
  steps->addStretch(1);

  const auto row = [](std::initializer_list<QWidget*> widgets) {
    auto* r = new QHBoxLayout;
    r->setContentsMargins(0, 0, 0, 0);
    r->setSpacing(5);
    for (QWidget* w : widgets) r->addWidget(w);
    r->addStretch(1);
    return r;
  };

  auto* graphRow = new QHBoxLayout;
  graphRow->setContentsMargins(0, 0, 0, 0);
  graphRow->addWidget(BCalibrate);
  graphRow->addSpacing(5);
  graphRow->addWidget(BCalibrateRun);
  graphRow->addStretch(1);
  graphRow->addWidget(BGraph);

  auto* modes = new QHBoxLayout;
  modes->setContentsMargins(0, 0, 0, 0);
  modes->setSpacing(7);
  for (QWidget* w : {BLevelSet, BLevelFixed, BLevelFind, BLevelAuto}) modes->addWidget(w);

  auto* column = new QVBoxLayout;
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(Label5);
  column->addSpacing(11);
  column->addLayout(steps);
  column->addSpacing(7);
  column->addLayout(row({BAmp1, BAmp5, BAmp10, BAmp20, BAmp50, BAmp100}));
  column->addSpacing(3);
  column->addLayout(row({BAmp500, BAmp1000}));
  column->addSpacing(7);
  column->addLayout(graphRow);
  column->addStretch(1);
  column->addWidget(ILevel);
  column->addSpacing(7);
  column->addLayout(modes);

  auto* right = new QWidget(this);
  right->setObjectName(QStringLiteral("RightColumn"));
  right->setFixedWidth(217);
  right->setLayout(column);

  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(8, 8, 8, 8);
  outer->setSpacing(7);
  outer->addWidget(IGauge, 1);
  outer->addWidget(right, 0);
}

bool TFDisplay::event(QEvent* e) {
  const bool result = QWidget::event(e);
  // Activation makes the indicators; showing does too, for platforms that
  // show a window without activating it, since the poll draws them whenever
  // the window is visible.
  if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) FormActivate();
  // Back from minimised: the faces skipped meanwhile are drawn now.
  if (e->type() == QEvent::WindowStateChange && created_ && !isMinimized() && isVisible())
    DrawIndicators();
  // The level-mode buttons show the mode the probe is in, not only the
  // one last clicked.
  if (e->type() == QEvent::Show) ShowLevelMode();
  return result;
}

void TFDisplay::FormCreate() {
  created_ = false;
  SettingsFile = SettingsFilePath();
  move(kDesignLeft, kDesignTop);
  resize(kDesignWidth, kDesignHeight);
  Bounds = new TWindowBounds(this);
  Bounds->Load(SettingsFile, DisplayWindowBounds);
}

void TFDisplay::FormActivate() {
  if (created_) return;
  TInstrument* model = Model();
  if (!model) return;  // the main window has not built the chain yet
  gaugeCanvas_ = std::make_unique<TViewCanvas>(IGauge);
  gaugeInd_ = std::make_unique<TInstIndGaugeV1>(*model, *gaugeCanvas_);
  levelCanvas_ = std::make_unique<TViewCanvas>(ILevel);
  levelInd_ = std::make_unique<TLevelCtrlV1>(*model, *levelCanvas_, QString());
  created_ = true;
  RestoreCalibration();
}

void TFDisplay::FormResize() {
  if (created_) gaugeInd_->Draw();
}

void TFDisplay::ReadingTaken(const TInstData&) {
  if (isVisible()) DrawIndicators();
}

void TFDisplay::DrawIndicators() {
  if (!created_ && isVisible()) FormActivate();
  if (!created_) return;
  // Nobody sees a minimised panel; the next poll after it comes back draws
  // the faces as they are then.
  if (isMinimized()) return;
  gaugeInd_->Draw();
  levelInd_->Draw();
}

void TFDisplay::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // A settings file the program could not read at start keeps the user's gain.
  if (SettingsFileUnread()) return;
  TOptionsWriter w(SettingsFile, TOptionsWriter::KeepGoing);
  w.Bounds(DisplayWindowBounds, Bounds->Saved);
  w.Gain(OptionsInForce().Needle());
  w.Calibration(OptionsInForce().Calibration());
  if (!w.Finish()) ReportWriteFailure(this, w.Error());
}

void TFDisplay::BAmpUpClick(QObject* sender) {
  double v = 1.0;
  if (!ParseDecimal(EGaugeAmp->text().toStdString(), v)) v = 1.0;

  if (sender == BAmpUp)
    v += 1;
  else if (sender == BAmpDown)
    v -= 1;
  else if (sender == BAmpUp10)
    v += 10;
  else if (sender == BAmpDown10)
    v -= 10;
  else if (sender != EGaugeAmp) {
    // A preset: the number at the end of its caption.
    const auto* button = qobject_cast<const QAbstractButton*>(sender);
    v = TrailingNumber(button ? button->text() : QString());
  }

  if (v < 1)
    v = 1;
  else if (v > 1000)
    v = 1000;

  // Setting the text runs this handler again for the edit before going on.
  if (sender != EGaugeAmp) EGaugeAmp->setText(QString::number(RoundToInt(v)));

  if (TInstrument* model = Model()) model->SetGain(v);
}

void TFDisplay::BLevelFindClick() {
  if (TProbe* probe = Probe()) probe->LevelMode = TProbe::LevelTracking;
  KeepLevelMode(TProbe::LevelTracking);
}

void TFDisplay::BLevelFixedClick() {
  if (TProbe* probe = Probe()) probe->LevelMode = TProbe::LevelFixed;
  KeepLevelMode(TProbe::LevelFixed);
}

void TFDisplay::BLevelAutoClick() {
  if (TProbe* probe = Probe()) probe->LevelMode = TProbe::LevelAuto;
  KeepLevelMode(TProbe::LevelAuto);
}

void TFDisplay::KeepLevelMode(uint8_t mode) {
  TCalibrationOptions calibration = OptionsInForce().Calibration();
  if (!calibration.Accepted()) return;
  calibration.LevelMode = mode;
  keepingMode_ = true;
  OptionsInForce().Set(calibration);
  keepingMode_ = false;
}

void TFDisplay::RestoreCalibration() {
  const TCalibrationOptions& calibration = OptionsInForce().Calibration();
  TInstrument* model = Model();
  if (!model || !calibration.Accepted()) return;
  TProbe& probe = model->Probe();
  probe.LevelMode = static_cast<uint8_t>(calibration.LevelMode);
  bool ok = false;
  const double rest = calibration.RestLevel.toDouble(&ok);
  // A fixed level starts where the rest was measured, not at whatever the
  // probe last read.
  if (ok && probe.LevelMode == TProbe::LevelFixed) probe.SetLevel(model->Offset, rest);
  ShowLevelMode();
  if (created_) levelInd_->Draw();
}

void TFDisplay::ShowLevelMode() {
  const TProbe* probe = Probe();
  if (!probe) return;
  QToolButton* down = BLevelAuto;
  if (probe->LevelMode == TProbe::LevelTracking)
    down = BLevelFind;
  else if (probe->LevelMode == TProbe::LevelFixed)
    down = BLevelFixed;
  down->setChecked(true);
}

void TFDisplay::BLevelSetClick() {
  TInstrument* model = Model();
  if (!model) return;
  TProbe& probe = model->Probe();
  probe.LevelMode = TProbe::LevelFixed;
  KeepLevelMode(TProbe::LevelFixed);
  // Shown down without running its handler; the group raises the others.
  BLevelFixed->setChecked(true);
  probe.SetLevel(model->Offset, probe.SensorValue());
  // The dial shows the new level at once, also between sessions.
  if (created_) levelInd_->Draw();
}

void TFDisplay::BGraphClick() {
  if (!FGraph) return;
  FGraph->show();
  FGraph->raise();
  FGraph->activateWindow();
}

void TFDisplay::SetCalibrationRunner(TCalibrationRunner runner) { CalibrationRunner() = std::move(runner); }

void TFDisplay::BCalibrateClick() { Calibrate(false); }

void TFDisplay::BCalibrateRunClick() { Calibrate(true); }

void TFDisplay::Calibrate(bool beginAtOnce) {
  TInstrument* model = Model();
  if (!model) return;
  // The assistant polls the sensor itself; a session must not poll it too.
  if (SessionModel->Running()) {
    Dialogs().Message(this, QStringLiteral("Калибровка возможна только вне сеанса. "
                                           "Остановите сеанс и повторите."));
    return;
  }
  TProbe& probe = model->Probe();
  TCalibrationChain chain;
  chain.DataDepth = probe.DataChannel().Depth();
  chain.LevelDepth = probe.LevelChannel().Depth();
  chain.SpringEnabled = model->NeedleChannel().SpringEnabled;
  chain.Damping = model->NeedleChannel().Damping;
  chain.TimeStep = model->NeedleChannel().TimeStep;
  chain.SymbolPeriodMs = SymbolPeriodMsFromText(OptionsInForce().Session().SymbolPeriodText);
  TCalibrationDialog dialog(probe.Sensor(), chain, this);
  if (beginAtOnce) dialog.BBegin->click();
  const int result = CalibrationRunner() ? CalibrationRunner()(dialog) : dialog.exec();
  if (result == QDialog::Accepted && dialog.Proposal().Result == TCalibrationResult::Proposed)
    ApplyCalibration(dialog.Proposal());
}

void TFDisplay::ApplyCalibration(const TCalibrationProposal& p) {
  // The options take the proposal; the gain field follows and its change
  // handler gives the instrument model the gain.
  TOptionsModel& options = OptionsInForce();
  TNeedleOptions needle = options.Needle();
  needle.Gain = QString::number(p.Gain);
  options.Set(needle);
  TSessionOptions session = options.Session();
  session.OnLevel = QString::number(p.OnLevel);
  session.OffLevel = QString::number(p.OffLevel);
  options.Set(session);
  if (p.LevelMode == TProbe::LevelAuto &&
      QString::number(p.LevelDepth) != options.Signal().LevelAccDepth) {
    TSignalOptions signal = options.Signal();
    signal.LevelAccDepth = QString::number(p.LevelDepth);
    options.Set(signal);
    if (TProbe* probe = Probe()) ApplyLevelDepth(signal, *probe);
  }
  TCalibrationOptions calibration;
  calibration.LevelMode = p.LevelMode;
  calibration.RestLevel = QString::number(p.RestLevel, 'f', 4);
  // Set through the model: the mode goes to the probe and the buttons, a
  // fixed level to the rest measured (not the single reading of now).
  if (options.Calibration() == calibration)
    RestoreCalibration();
  else
    options.Set(calibration);
}
