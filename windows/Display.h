#pragma once
// The instrument panel: needle gauge, level dial, gain and level modes.
// (Skeleton: the interface other windows use.)

#include <QWidget>

class QLineEdit;

class TFDisplay : public QWidget {
  Q_OBJECT
public:
  explicit TFDisplay(QWidget* parent = nullptr);
  ~TFDisplay() override;

  QLineEdit* EGaugeAmp = nullptr;

  // The gain handler shared by the gain buttons and the gain edit.
  void BAmpUpClick(QObject* sender);
  // Draws the gauge, then the level dial; nothing before they exist.
  void DrawIndicators();
};

extern TFDisplay* FDisplay;
