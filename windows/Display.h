#pragma once
// The instrument panel: the needle gauge of the instrument value, the level
// dial of the probe's baseline, the gain with its edit and buttons, the probe's
// level modes and the button that opens the graph window.
//
// The indicators are made on the first activation that finds the measurement
// chain built (the main window builds it on its own first activation) and
// kept for the rest of the run. Position, size and the gain text are written
// to the settings file when the window is destroyed.

#include "session/SessionEngine.h"
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TImageView;
class TIndicatorCanvas;
class TInstIndGaugeV1;
class TLevelCtrlV1;
class TWindowBounds;
class TCalibrationDialog;
struct TCalibrationProposal;

class TFDisplay : public QWidget, private TSessionListener {
  Q_OBJECT
public:
  explicit TFDisplay(QWidget* parent = nullptr);
  ~TFDisplay() override;

  QLineEdit* EGaugeAmp = nullptr;

  // The gain handler shared by the gain buttons and the gain edit.
  void BAmpUpClick(QObject* sender);
  // Draws the gauge, then the level dial; nothing before they exist.
  void DrawIndicators();

  // Widgets (objectNames as the fields are named).
  TImageView* IGauge = nullptr;
  TImageView* ILevel = nullptr;
  QLabel* Label5 = nullptr;
  QToolButton* BAmpUp = nullptr;
  QToolButton* BAmpDown = nullptr;
  QToolButton* BAmpUp10 = nullptr;
  QToolButton* BAmpDown10 = nullptr;
  QToolButton* BAmp1 = nullptr;
  QToolButton* BAmp5 = nullptr;
  QToolButton* BAmp10 = nullptr;
  QToolButton* BAmp20 = nullptr;
  QToolButton* BAmp50 = nullptr;
  QToolButton* BAmp100 = nullptr;
  QToolButton* BAmp500 = nullptr;
  QToolButton* BAmp1000 = nullptr;
  QPushButton* BGraph = nullptr;
  // Opens the calibration assistant.
  QPushButton* BCalibrate = nullptr;
  // Opens the assistant and starts its run at once: a carer's one click.
  QPushButton* BCalibrateRun = nullptr;
  QToolButton* BLevelSet = nullptr;
  QToolButton* BLevelFixed = nullptr;
  QToolButton* BLevelFind = nullptr;
  QToolButton* BLevelAuto = nullptr;
  // "Фикс", "Слеж" and "Автм": one of them is down.
  QButtonGroup* LevelModeGroup = nullptr;

  // The bounds written to the settings file (see TWindowBounds).
  TWindowBounds* Bounds = nullptr;
  // The settings file named at creation; written again at destruction.
  QString SettingsFile;

  // Window handlers.
  void FormCreate();
  // Makes the indicators once, when the chain exists.
  void FormActivate();
  // Redraws the gauge at the image's new size.
  void FormResize();
  // Writes the bounds and the gain text; a refused write is reported.
  void FormDestroy();
  void BLevelSetClick();
  void BLevelFixedClick();
  void BLevelFindClick();
  void BLevelAutoClick();
  void BGraphClick();
  // Shows the probe's level mode on its button (the disabled "Автм" for the
  // automatic mode the probe starts in); the buttons' handlers don't run.
  void ShowLevelMode();

  // The calibration assistant: refused during a session; an accepted
  // proposal goes to the gain edit, the on and off level fields and the
  // level-mode buttons, as if typed and clicked.
  void BCalibrateClick();
  void BCalibrateRunClick();
  // The proposal's gain, levels and level mode (with its "Level Acc Depth"
  // for the automatic level) go to the options and the probe; the mode and
  // the rest level measured are kept in the "Calibration" section.
  void ApplyCalibration(const TCalibrationProposal& proposal);
  // Puts the accepted calibration's level mode (and, fixed, its rest level)
  // into the probe and onto the buttons; nothing before one was accepted.
  void RestoreCalibration();
  // Runs the assistant's dialog and returns its result; an empty runner
  // restores the default, the modal dialog.
  using TCalibrationRunner = std::function<int(TCalibrationDialog&)>;
  static void SetCalibrationRunner(TCalibrationRunner runner);

  bool IndicatorsCreated() const { return created_; }
  TInstIndGaugeV1* Gauge() const { return gaugeInd_.get(); }
  TLevelCtrlV1* LevelControl() const { return levelInd_.get(); }

protected:
  bool event(QEvent* event) override;

private:
  // A session's reading: the indicators are redrawn while the panel is seen.
  void ReadingTaken(const TInstData& record) override;
  void BuildWidgets();
  QToolButton* GainButton(const char* name, const QString& text, int width);
  void Calibrate(bool beginAtOnce);
  // Once a calibration was accepted, a mode chosen by hand is the one kept.
  void KeepLevelMode(uint8_t mode);

  bool created_ = false;
  bool destroyed_ = false;
  bool keepingMode_ = false;
  std::unique_ptr<TIndicatorCanvas> gaugeCanvas_;
  std::unique_ptr<TIndicatorCanvas> levelCanvas_;
  std::unique_ptr<TInstIndGaugeV1> gaugeInd_;
  std::unique_ptr<TLevelCtrlV1> levelInd_;
};

extern TFDisplay* FDisplay;
