#include "Graph.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <charconv>
#include <cmath>
#include <string>

#include "ImageView.h"
#include "Main.h"
#include "session/SessionModel.h"
#include "WidgetHelpers.h"
#include "WindowBounds.h"
#include "files/AppFolder.h"
#include "files/ReadingsExport.h"
#include "indicators/Instgraph.h"
#include "indicators/LocaleFormats.h"
#include "OptionsInForce.h"
#include "session/OptionsFile.h"
#include "recording/Instrecord.h"
#include "seams/SaveProgress.h"
#include "seams/UserDialogs.h"
#include "sensor/Inst.h"
#include "sensor/Utils.h"

#include "indicators/Colors.h"

TFGraph* FGraph = nullptr;

const char* const TFGraph::IniSection = "Graph Window";

namespace {

// Design bounds: outer position, client size.
constexpr int kDesignLeft = 701;
constexpr int kDesignTop = 133;
constexpr int kDesignWidth = 641;
constexpr int kDesignHeight = 313;

QLabel* BoldLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setFont(Bold(label->font()));
  return label;
}

QLineEdit* Edit(const char* name, int width, int height, const QString& hint, QWidget* parent) {
  auto* edit = Named(new QLineEdit(parent), name);
  edit->setFixedSize(width, height);
  edit->setToolTip(hint);
  return edit;
}

QString Quoted(const QString& path) {
  return QLatin1Char('\'') + QDir::toNativeSeparators(path) + QLatin1Char('\'');
}

std::string Utf8(const QString& s) { return s.toUtf8().toStdString(); }

}  // namespace

// The image as the view's drawing area: its size, its picture and its hint.
class TFGraph::TImageTarget final : public TInstGraphTarget {
public:
  explicit TImageTarget(TImageView* image) : Image(image) {}

  QSize DrawingArea() const override { return Image->size(); }
  qreal PixelRatio() const override { return Image->PixelRatio(); }
  void ShowPicture(const QImage& picture) override { Image->SetImage(picture); }
  // The view keeps its picture and paints it in place: the image reads it
  // without a copy and repaints only what changed.
  void ShowChanged(const QImage& picture, const QRegion& changed) override {
    Image->ShowBuffer(picture, changed);
  }
  void ShowScrolled(const QImage& picture, int dx, const QRegion& changed) override {
    Image->ScrollBuffer(picture, dx, changed);
  }
  void ShowHint(const QString& text) override {
    Image->setToolTip(text);
    if (text.isEmpty())
      QToolTip::hideText();
    else if (Image->isVisible())
      QToolTip::showText(MousePos, text, Image);
  }

  QPoint MousePos;

private:
  TImageView* Image;
};

TFGraph::TFGraph(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FGraph"));
  setWindowTitle(QStringLiteral("График показаний Е-метра"));
  setFont(WindowFont());
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Silver());
  setPalette(pal);
  BuildControls();
  target_ = std::make_unique<TImageTarget>(GraphWindow);
  saveInitialDir_ = AppDataFolder();
  move(kDesignLeft, kDesignTop);
  resize(kDesignWidth, kDesignHeight);
  bounds_ = new TWindowBounds(this);
  ReadBounds();
  if (SessionModel) SessionModel->Listen(this);
}

TFGraph::~TFGraph() {
  if (SessionModel) SessionModel->StopListening(this);
  WriteBounds();
  // The view draws onto the image; it goes before the image does.
  view_.reset();
}

void TFGraph::BuildControls() {
  auto* top = new QHBoxLayout;
  top->setContentsMargins(0, 0, 0, 0);
  top->setSpacing(7);

  BSaveWindow = SquareButton(this, "BSaveWindow", QStringLiteral("СО"),
                             QStringLiteral("Сохранить показанную часть"));
  BSaveAll = SquareButton(this, "BSaveAll", QStringLiteral("СВ"),
                          QStringLiteral("Сохранить все данные с датчика"));
  BDeleteWindow = SquareButton(this, "BDeleteWindow", QStringLiteral("УО"),
                               QStringLiteral("Удалить/Очистить показанную часть"));
  BDeleteAll = SquareButton(this, "BDeleteAll", QStringLiteral("УВ"),
                            QStringLiteral("Удалить/Очистить все данные с датчика"));
  for (QPushButton* b : {BSaveWindow, BSaveAll, BDeleteWindow, BDeleteAll})
    top->addWidget(b, 0, Qt::AlignTop);
  top->addSpacing(8);

  Label2 = BoldLabel(QStringLiteral("Масшт Врем"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  top->addWidget(Label2, 0, Qt::AlignTop);

  CBEnTimeX = new QCheckBox(this);
  CBEnTimeX->setObjectName(QStringLiteral("CBEnTimeX"));
  CBEnTimeX->setToolTip(QStringLiteral("Разрешить масштаб времени"));
  top->addWidget(CBEnTimeX, 0, Qt::AlignTop);

  ETimeX = Edit("ETimeX", 41, 21, QStringLiteral("Масштаб времени, в разах"), this);
  top->addWidget(ETimeX, 0, Qt::AlignTop);
  top->addStretch(1);

  GroupBox1 = new QGroupBox(QStringLiteral("Маркеры"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setFixedSize(273, 49);
  auto* marks = new QHBoxLayout(GroupBox1);
  marks->setContentsMargins(8, 2, 8, 6);
  marks->setSpacing(6);
  Label6 = BoldLabel(QStringLiteral("d-Врм"), GroupBox1);
  Label6->setObjectName(QStringLiteral("Label6"));
  EMarks_Time = Edit("EMarks_Time", 73, 19,
                     QStringLiteral("Временная дистанция между маркерами, мс"), GroupBox1);
  Label5 = BoldLabel(QStringLiteral("d-Сигн"), GroupBox1);
  Label5->setObjectName(QStringLiteral("Label5"));
  EMarks_Signal =
      Edit("EMarks_Signal", 81, 19, QStringLiteral("Разница сигналов между маркерами"), GroupBox1);
  marks->addWidget(Label6);
  marks->addWidget(EMarks_Time);
  marks->addSpacing(3);
  marks->addWidget(Label5);
  marks->addWidget(EMarks_Signal);
  top->addWidget(GroupBox1, 0, Qt::AlignTop);

  GraphWindow = new TImageView(this);
  GraphWindow->setObjectName(QStringLiteral("GraphWindow"));
  GraphWindow->SetSizeHint(QSize(625, 209));
  GraphWindow->setMinimumSize(1, 1);
  GraphWindow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(0, 0, 0, 0);
  bottom->setSpacing(7);
  Label1 = BoldLabel(QStringLiteral("Сч. Зап."), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  ERecordCount =
      Edit("ERecordCount", 81, 21, QStringLiteral("Счетчик записанных данных с датчика"), this);
  ERecordCount->setReadOnly(true);
  Label3 = BoldLabel(QStringLiteral("Время"), this);
  Label3->setObjectName(QStringLiteral("Label3"));
  ELapsedTime = Edit("ELapsedTime", 65, 21, QStringLiteral("Длительность записи, сек"), this);
  ELapsedTime->setReadOnly(true);
  bottom->addWidget(Label1);
  bottom->addWidget(ERecordCount);
  bottom->addSpacing(4);
  bottom->addWidget(Label3);
  bottom->addWidget(ELapsedTime);
  bottom->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 12);
  layout->setSpacing(7);
  layout->addLayout(top);
  layout->addWidget(GraphWindow, 1);
  layout->addLayout(bottom);

  connect(BSaveWindow, &QPushButton::clicked, this, [this] { BSaveWindowClick(); });
  connect(BSaveAll, &QPushButton::clicked, this, [this] { BSaveAllClick(); });
  connect(BDeleteWindow, &QPushButton::clicked, this, [this] { BDeleteWindowClick(); });
  connect(BDeleteAll, &QPushButton::clicked, this, [this] { BDeleteAllClick(); });
  connect(CBEnTimeX, &QCheckBox::clicked, this, [this] { CBEnTimeXClick(); });
  connect(ETimeX, &QLineEdit::textChanged, this, [this] { ETimeXChange(); });
  connect(GraphWindow, &TImageView::Resized, this, [this] { FormResize(); });
  connect(GraphWindow, &TImageView::MouseMoved, this, [this](QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    GraphWindowMouseMove(p.x(), p.y(), e->globalPosition().toPoint());
  });
  connect(GraphWindow, &TImageView::MousePressed, this, [this](QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    GraphWindowMouseDown(e->button(), p.x(), p.y());
  });
}

void TFGraph::ReadBounds() { bounds_->Load(SettingsFilePath(), {IniSection}); }

void TFGraph::WriteBounds() {
  if (SettingsFileUnread()) return;  // left as the user has it
  TOptionsWriter w(SettingsFilePath());
  w.Bounds({IniSection}, bounds_->Saved);
  if (!w.Finish()) ReportWriteFailure(this, w.Error());
}

void TFGraph::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormActivate();
}

void TFGraph::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  // Minimised, the view keeps taking readings without drawing them; it is
  // drawn whole when the window comes back.
  if (event->type() == QEvent::WindowStateChange && view_) {
    const bool minimised = isMinimized();
    if (view_->Paused && !minimised) {
      view_->Paused = false;
      view_->Redraw();
      UpdateCounters();
    }
    view_->Paused = minimised;
  }
}

void TFGraph::FormActivate() {
  if (view_) {
    TakeInstrument();
    return;
  }
  TInstrument* model = SessionModel ? SessionModel->Gauge() : nullptr;
  view_ = std::make_unique<TInstGraph>(model, false, target_.get());
  view_->TimeZoomOn = CBEnTimeX->isChecked();
  if (timeFactorSet_) view_->TimeZoomFactor = timeFactor_;
}

void TFGraph::TakeInstrument() {
  // The chain may be built after the view; the view takes it once it exists.
  if (view_ && !view_->Instrument() && SessionModel && SessionModel->Gauge())
    view_->SetInstrument(SessionModel->Gauge());
}

void TFGraph::ReadingTaken(const TInstData& record) {
  if (!isVisible()) return;
  AddReading(record);
  CountReading();
}

void TFGraph::SessionEnded(const TSessionEngine&) {
  if (isVisible()) SessionEnded();
}

TInstDataRecorder* TFGraph::Recorder() const { return SessionModel ? SessionModel->Recorder() : nullptr; }

void TFGraph::FormResize() {
  if (view_) view_->Redraw();
}

void TFGraph::GraphWindowMouseMove(int x, int y, const QPoint& globalPos) {
  if (!view_) return;
  TakeInstrument();
  // The record under the mouse is the one on the screen.
  view_->CatchUp();
  if (!(SessionModel && SessionModel->Running())) view_->Redraw();
  target_->MousePos = globalPos.isNull() ? GraphWindow->mapToGlobal(QPoint(x, y)) : globalPos;
  view_->Hover(x, y);
}

void TFGraph::GraphWindowMouseDown(Qt::MouseButton button, int x, int y) {
  if (!view_) return;
  if (button != Qt::LeftButton && button != Qt::RightButton) return;
  TakeInstrument();
  view_->CatchUp();
  const int index = view_->IndexAt(view_->Vertical() ? y : x);
  if (button == Qt::LeftButton)
    view_->SetMarker1(index);
  else
    view_->SetMarker2(index);
  view_->Redraw();
  if (button == Qt::RightButton && view_->MarkersValid()) {
    EMarks_Time->setText(QString::number(view_->MarkerTimeMs()));
    EMarks_Signal->setText(NumberLocale().toString(std::fabs(view_->MarkerSensorDelta()), 'f', 3));
  }
}

void TFGraph::ETimeXChange() {
  double factor = 1.0;
  if (!ParseDecimal(Utf8(ETimeX->text()), factor)) factor = 1.0;
  timeFactor_ = factor;
  timeFactorSet_ = true;
  if (view_) view_->TimeZoomFactor = factor;
}

void TFGraph::CBEnTimeXClick() {
  if (view_) view_->TimeZoomOn = CBEnTimeX->isChecked();
}

void TFGraph::AddReading(const TInstData& record) {
  if (!view_) FormActivate();
  TakeInstrument();
  view_->Deferred = ++unshownReadings_ < FrameReadings;
  if (!view_->Deferred) unshownReadings_ = 0;
  view_->AddReading(record);
  view_->Deferred = false;
  if (view_->Marker1() < 0 && !EMarks_Time->text().isEmpty()) {
    EMarks_Time->clear();
    EMarks_Signal->clear();
  }
}

void TFGraph::SessionEnded() {
  if (view_) view_->CatchUp();
  UpdateCounters();
}

void TFGraph::CountReading() {
  if (++uncountedReadings_ < CounterReadings) return;
  UpdateCounters();
}

void TFGraph::UpdateCounters() {
  uncountedReadings_ = 0;
  const TInstDataRecorder* recorder = Recorder();
  // A minimised window's fields are brought up to date when it comes back.
  if (!recorder || isMinimized()) return;
  // Set only when they differ: setting a field lays it out and repaints it.
  const QString count = QString::number(recorder->Count());
  if (ERecordCount->text() != count) ERecordCount->setText(count);
  const QString elapsed = GeneralText5(recorder->ElapsedSeconds(), QLocale());
  if (ELapsedTime->text() != elapsed) ELapsedTime->setText(elapsed);
}

void TFGraph::BSaveWindowClick() { SaveReadings(false); }

void TFGraph::BSaveAllClick() {
  if (FMain) FMain->BStopClick();
  SaveReadings(true);
}

void TFGraph::BDeleteWindowClick() {
  if (!Dialogs().Confirm(this, QStringLiteral("Delete data in the window?"))) return;
  if (view_) view_->Clear();
}

void TFGraph::BDeleteAllClick() {
  if (!Dialogs().Confirm(this, QStringLiteral("Delete all collected data?"))) return;
  if (TInstDataRecorder* recorder = Recorder()) recorder->Clear();
  if (view_) view_->Clear();
  UpdateCounters();
}

bool TFGraph::SaveReadings(bool all) {
  TInstDataRecorder* recorder = Recorder();
  int n = 0;
  if (all)
    n = recorder ? recorder->Count() : 0;
  else
    n = view_ ? view_->WindowLength() : 0;
  if (n <= 0) {
    Dialogs().Message(this, QStringLiteral("Нет данных для сохранения."));
    return false;
  }

  TFileDialogRequest request;
  request.InitialDir = saveInitialDir_;
  request.DefaultExtension = QStringLiteral("txt");
  request.Filters =
      QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")};
  request.OverwritePrompt = true;
  request.PathMustExist = true;
  request.NoReadOnly = true;
  const QString path = Dialogs().SaveFile(this, request);
  if (path.isEmpty()) return false;
  saveInitialDir_.clear();

  // Readings may have come or gone while the dialog was open; only what is
  // there now is written.
  bool moved = false;
  // A plain file is replaced only when complete; anything else is written
  // to directly.
  const bool existed = QFileInfo(path).isFile();
  const bool plain = existed || !QFileInfo::exists(path);
  int lost = 0;
  TExportResult result;
  if (all) {
    recorder = Recorder();
    n = recorder ? std::min(n, recorder->Count()) : 0;
    TSaveProgress& progress = SaveProgress();
    progress.Begin(this, n);
    result = TReadingsExport::Write(
        path, n, [&](int, TInstData& record) { return recorder->ReadNext(record); },
        [&progress](int done) { return progress.Advance(done); },
        [&](int count) {
          // Going back to the start writes the page of the end. Readings
          // whose page could not be written are gone: the recorder passes
          // over them, and the user is told how many.
          if (!recorder) return 0;
          recorder->Seek(0);
          moved = true;
          lost = std::min(count, recorder->LostCount());
          return count - lost;
        });
    progress.End();
    // Recording goes on at the end, whatever became of the file.
    if (moved) recorder->Seek(recorder->Count());
  } else {
    n = std::min(n, view_->WindowLength());
    const TInstGraph& view = *view_;
    result = TReadingsExport::Write(path, n, [&view](int i, TInstData& record) {
      record = view.Window()[static_cast<std::size_t>(i)];
      return true;
    });
  }

  switch (result) {
    case TExportResult::Written:
      if (lost > 0)
        Dialogs().Message(this, QStringLiteral("Сохранено показаний: %1. Потеряно показаний: %2 — "
                                               "их не удалось записать в файл записи.")
                                    .arg(n - lost)
                                    .arg(lost));
      return true;
    case TExportResult::CannotCreate:
      Dialogs().Message(
          this, QStringLiteral("Не удается создать файл ") + Quoted(path) + QLatin1Char('.'));
      break;
    case TExportResult::WriteFailed:
      Dialogs().Message(this, QStringLiteral("Не удается записать файл ") + Quoted(path) +
                                  (!plain ? QStringLiteral(", данные сохранены не полностью.")
                                   : existed ? QStringLiteral(", прежний файл не изменен.")
                                             : QStringLiteral(", файл не создан.")));
      break;
    case TExportResult::ReadFailed:
      Dialogs().Message(this, QStringLiteral("Не удается прочитать записанные данные, файл ") +
                                  Quoted(path) + QStringLiteral(" не сохранен."));
      break;
    case TExportResult::Cancelled:
      Dialogs().Message(
          this, QStringLiteral("Сохранение прервано, файл ") + Quoted(path) +
                    (existed ? QStringLiteral(" не изменен.") : QStringLiteral(" удален.")));
      break;
  }
  return false;
}

QString TFGraph::GeneralText5(double value, const QLocale& locale) {
  char buffer[64];
  if (!std::isfinite(value)) {
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, int(r.ptr - buffer));
  }
  if (value == 0.0) return QStringLiteral("0");

  // The exponent after rounding to 5 significant digits decides the notation.
  auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 4);
  std::string sci(buffer, r.ptr);
  const std::size_t e = sci.find('e');
  const int exponent = std::stoi(sci.substr(e + 1));

  std::string text;
  if (exponent >= -5 && exponent < 5) {
    r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                      4 - exponent);
    text.assign(buffer, r.ptr);
    if (text.find('.') != std::string::npos) {
      while (text.back() == '0') text.pop_back();
      if (text.back() == '.') text.pop_back();
    }
  } else {
    std::string mantissa = sci.substr(0, e);
    if (mantissa.find('.') != std::string::npos) {
      while (mantissa.back() == '0') mantissa.pop_back();
      if (mantissa.back() == '.') mantissa.pop_back();
    }
    const char sign = exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    text = mantissa + 'E' + sign + (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
  }
  QString out = QString::fromLatin1(text.data(), int(text.size()));
  out.replace(QLatin1Char('.'), locale.decimalPoint());
  return out;
}
