#pragma once
// The session indicator of the main window: a small circle filled with one
// colour (white idle, red after Start, green once the signal was quiet).

#include <QColor>
#include <QWidget>

class TMainSemaphore : public QWidget {
  Q_OBJECT
public:
  explicit TMainSemaphore(QWidget* parent = nullptr);

  void SetColor(const QColor& color);
  const QColor& Color() const { return fill_; }

  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QColor fill_ = Qt::white;
};
