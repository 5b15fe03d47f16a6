#pragma once
// The graph window: live strip chart, markers, zoom, export and deletion.
//
// The graph view draws on the image GraphWindow; the window adds the marker
// distances, the time zoom, saving the shown part or every recorded reading
// to a text file, deleting them, and the recorder's counters.

#include "session/SessionEngine.h"
#include <QLocale>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>

struct TInstData;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TImageView;
class TInstGraph;
class TInstDataRecorder;
class TWindowBounds;

class TFGraph : public QWidget, private TSessionListener {
  Q_OBJECT
public:
  explicit TFGraph(QWidget* parent = nullptr);
  ~TFGraph() override;

  // Hands a reading to the view while the window is visible; the distances
  // of markers that scrolled out are emptied. The view draws the readings
  // and the window is repainted with every FrameReadings-th, or sooner when
  // something else changes in it, which halves its drawing and its copies
  // to the screen.
  void AddReading(const TInstData& record);
  static constexpr int FrameReadings = 2;
  // The recorder's record count and duration.
  void UpdateCounters();
  // The counters after a poll's reading: brought up to date at every
  // CounterReadings-th call only. They change at every poll, faster than
  // anyone reads them, and setting a field lays out and repaints it.
  void CountReading();
  static constexpr int CounterReadings = 2 * FrameReadings;  // with a frame
  // Shows the last readings and the counters' final values.
  void SessionEnded();

  QPushButton* BSaveWindow = nullptr;
  QPushButton* BSaveAll = nullptr;
  QPushButton* BDeleteWindow = nullptr;
  QPushButton* BDeleteAll = nullptr;
  QLabel* Label2 = nullptr;
  QCheckBox* CBEnTimeX = nullptr;
  QLineEdit* ETimeX = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label6 = nullptr;
  QLineEdit* EMarks_Time = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* EMarks_Signal = nullptr;
  TImageView* GraphWindow = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* ERecordCount = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* ELapsedTime = nullptr;

  // Creates the view the first time; later calls do nothing.
  void FormActivate();
  // Redraws the view at the image's new size.
  void FormResize();
  // Mouse over the image at (x, y); globalPos places the hover text.
  void GraphWindowMouseMove(int x, int y, const QPoint& globalPos = QPoint());
  // Left button: marker 1; right button: marker 2 and the distances.
  void GraphWindowMouseDown(Qt::MouseButton button, int x, int y);
  void ETimeXChange();
  void CBEnTimeXClick();
  void BSaveWindowClick();
  void BSaveAllClick();
  void BDeleteWindowClick();
  void BDeleteAllClick();
  // Saves the shown part or every recorded reading to a file the user
  // chooses; true when the file was written.
  bool SaveReadings(bool all);

  // The view (null until the first activation).
  TInstGraph* View() const { return view_.get(); }
  // Folder the next save dialog opens in; empty: the last folder used.
  const QString& SaveInitialDir() const { return saveInitialDir_; }

  // A value in the general format with 5 significant digits: fixed for at
  // most 5 integer digits and magnitudes from 0.00001, else d.ddddE+xx;
  // no trailing zeros; the locale's decimal separator.
  static QString GeneralText5(double value, const QLocale& locale = QLocale());

  // Section and keys of the window's bounds in the settings file.
  static const char* const IniSection;

protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  // A session's readings go to the view, and its end shows, while the
  // window is seen.
  void ReadingTaken(const TInstData& record) override;
  void SessionEnded(const TSessionEngine& engine) override;
  class TImageTarget;

  void BuildControls();
  void ReadBounds();
  void WriteBounds();
  void TakeInstrument();
  TInstDataRecorder* Recorder() const;

  std::unique_ptr<TImageTarget> target_;
  std::unique_ptr<TInstGraph> view_;
  TWindowBounds* bounds_ = nullptr;
  QString saveInitialDir_;
  double timeFactor_ = 0.0;
  bool timeFactorSet_ = false;
  int uncountedReadings_ = 0;
  int unshownReadings_ = 0;
};

extern TFGraph* FGraph;
