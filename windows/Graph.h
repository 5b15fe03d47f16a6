#pragma once
// The graph window: live strip chart, markers, zoom, export and deletion.
// (Skeleton: the interface other windows use.)

#include <QWidget>

struct TInstData;

class TFGraph : public QWidget {
  Q_OBJECT
public:
  explicit TFGraph(QWidget* parent = nullptr);
  ~TFGraph() override;

  void AddReading(const TInstData& record);
  void UpdateCounters();
};

extern TFGraph* FGraph;
