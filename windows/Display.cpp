// Placeholder bodies until the instrument panel is written; they do nothing.
#include "Display.h"

TFDisplay* FDisplay = nullptr;

TFDisplay::TFDisplay(QWidget* parent) : QWidget(parent) {}
TFDisplay::~TFDisplay() = default;
void TFDisplay::BAmpUpClick(QObject*) {}
void TFDisplay::DrawIndicators() {}
