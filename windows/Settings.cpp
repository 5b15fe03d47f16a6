// Placeholder bodies until the settings window is written; they do nothing.
#include "Settings.h"

TFSettings* FSettings = nullptr;

TFSettings::TFSettings(QWidget* parent) : QWidget(parent) {}
TFSettings::~TFSettings() = default;
int TFSettings::SymbolCount() const { return 0; }
QString TFSettings::Symbol(int) const { return QString(); }
void TFSettings::EnableSessionControls(bool) {}
void TFSettings::LoadSettings(const QString&) {}
bool TFSettings::SaveSettings(const QString&, bool) { return true; }
