// Placeholder bodies until the graph window is written; they do nothing.
#include "Graph.h"

TFGraph* FGraph = nullptr;

TFGraph::TFGraph(QWidget* parent) : QWidget(parent) {}
TFGraph::~TFGraph() = default;
void TFGraph::AddReading(const TInstData&) {}
void TFGraph::UpdateCounters() {}
