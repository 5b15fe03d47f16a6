// Placeholder bodies until the main window is written; they do nothing.
#include "Main.h"

TFMain* FMain = nullptr;

TFMain::TFMain(QWidget* parent) : QWidget(parent) {}
TFMain::~TFMain() = default;
void TFMain::LoadWindowSettings(const QString&) {}
void TFMain::SaveWindowSettings(const QString&) {}
void TFMain::DrawDrum() {}
void TFMain::SelectSymbol() {}
void TFMain::BStopClick() {}
bool TFMain::FormKeyDown(QKeyEvent*) { return false; }
