// The settings window as a view of the options in force: its controls are
// filled from them, at creation and whenever a group changes, and every edit
// goes back to them at once. A control is set only when it shows something
// else, so that filling never moves the cursor of a field being typed in.
#include "Settings.h"

#include "SymbolTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

namespace {

void Show(QLineEdit* edit, const QString& text) {
  if (edit->text() != text) edit->setText(text);
}

void Show(QCheckBox* box, bool checked) {
  if (box->isChecked() != checked) box->setChecked(checked);
}

void Show(QSpinBox* box, int value) {
  if (box->value() != value) box->setValue(value);
}

// A combo box of names (key names, devices) shows the one given, the first
// item for a name it does not offer.
void Show(QComboBox* box, const QString& name) {
  const int index = std::max(0, box->findData(name));
  if (box->currentIndex() != index) box->setCurrentIndex(index);
}

}  // namespace

void TFSettings::ShowOptions() {
  for (TOptionGroup g : {TOptionGroup::Session, TOptionGroup::Signal, TOptionGroup::Needle,
                         TOptionGroup::Speech, TOptionGroup::Speed, TOptionGroup::Keys,
                         TOptionGroup::Capture, TOptionGroup::Tape, TOptionGroup::Switch,
                         TOptionGroup::HandsFree})
    ShowOptions(g);
}

void TFSettings::ShowOptions(TOptionGroup group) {
  const TOptions& o = OptionsInForce().Get();
  const bool wasFilling = filling_;
  filling_ = true;
  switch (group) {
    case TOptionGroup::Session: {
      const TSessionOptions& s = o.Session;
      Show(CBFixedSelected, s.FixedSelected);
      Show(CBFastSlowMode, s.FastSlowMode);
      Show(EFastModeSymbol, s.FastSymbol);
      Show(EStopSymbol, s.StopSymbols);
      Show(EBackspaceSymbol, s.BackspaceSymbol);
      Show(EOnLevel, s.OnLevel);
      Show(EOffLevel, s.OffLevel);
      Show(CBNoSensor, s.NoSensorMode);
      Show(EOpLogo, s.OperatorLogo);
      Show(ESpLogo, s.SpiritLogo);
      const int n = static_cast<int>(s.Symbols.size());
      if (grid_->SymbolCount() != n) {
        grid_->SetSymbolCount(n);
        grid_->Renumber();
      }
      for (int k = 1; k <= n; ++k)
        if (grid_->Symbol(k) != s.Symbols[k - 1]) grid_->SetSymbol(k, s.Symbols[k - 1]);
      break;
    }
    case TOptionGroup::Signal:
      Show(EDataAccDepth, o.Signal.DataAccDepth);
      Show(ELevelAccDepth, o.Signal.LevelAccDepth);
      Show(CBInvertSensorData, o.Signal.InvertSensorData);
      break;
    case TOptionGroup::Needle:
      Show(EGaugeSpringDump, o.Needle.SpringDump);
      Show(EGaugeSpringSpeed, o.Needle.SpringSpeed);
      Show(CBGaugeSpringEn, o.Needle.SpringEnabled);
      break;
    case TOptionGroup::Speech:
      Show(CBAuditoryScanning, o.Speech.AuditoryScanning);
      Show(CBSaySelected, o.Speech.SaySelected);
      Show(CBReadLines, o.Speech.ReadLines);
      Show(CBBlockSensor, o.Speech.BlockSensor);
      Show(ECueVolume, o.Speech.Cue.Volume);
      Show(ECueRate, o.Speech.Cue.Rate);
      Show(EMainVolume, o.Speech.Main.Volume);
      Show(EMainRate, o.Speech.Main.Rate);
      Show(CBOpenTime, o.Speech.OpenTime);
      Show(EEchoMs, o.Speech.EchoMs);
      break;
    case TOptionGroup::Speed:
      Show(CBRestartAfterSelect, o.Speed.RestartAfterSelection);
      Show(CBPredictLetter, o.Speed.PredictNextLetter);
      Show(EUndoPlace, o.Speed.UndoPlace);
      Show(CBShowComingOrder, o.Speed.ShowComingOrder);
      Show(CBGroupScan, o.Speed.GroupScan);
      break;
    case TOptionGroup::Keys:
      Show(DDSelectKey, o.Keys.SelectKey);
      Show(DDStartKey, o.Keys.StartKey);
      Show(DDStopKey, o.Keys.StopKey);
      break;
    case TOptionGroup::Capture:
      Show(CBCaptureDevice, o.Capture.Device);
      break;
    case TOptionGroup::Tape:
      Show(ETapeFontSize, o.Tape.FontSize);
      break;
    case TOptionGroup::Switch:
      ShowSwitchOptions();
      break;
    case TOptionGroup::Calibration:  // the panel's, not shown here
      break;
    case TOptionGroup::HandsFree:
      ShowHandsFreeOptions();
      break;
  }
  filling_ = wasFilling;
}

void TFSettings::ConnectEdits() {
  const auto session = [this](QLineEdit* edit, QString TSessionOptions::*field) {
    connect(edit, &QLineEdit::textChanged, this, [this, field](const QString& text) {
      Edit(&TOptionsModel::Session, [&](TSessionOptions& o) { o.*field = text; });
    });
  };
  session(EFastModeSymbol, &TSessionOptions::FastSymbol);
  session(EStopSymbol, &TSessionOptions::StopSymbols);
  session(EBackspaceSymbol, &TSessionOptions::BackspaceSymbol);
  session(EOnLevel, &TSessionOptions::OnLevel);
  session(EOffLevel, &TSessionOptions::OffLevel);
  connect(CBFixedSelected, &QCheckBox::toggled, this, [this](bool on) {
    Edit(&TOptionsModel::Session, [on](TSessionOptions& o) { o.FixedSelected = on; });
  });
  connect(CBFastSlowMode, &QCheckBox::toggled, this, [this](bool on) {
    Edit(&TOptionsModel::Session, [on](TSessionOptions& o) { o.FastSlowMode = on; });
  });
  connect(CBRestartAfterSelect, &QCheckBox::toggled, this, [this](bool on) {
    Edit(&TOptionsModel::Speed, [on](TSpeedOptions& o) { o.RestartAfterSelection = on; });
  });
  connect(CBPredictLetter, &QCheckBox::toggled, this, [this](bool on) {
    Edit(&TOptionsModel::Speed, [on](TSpeedOptions& o) { o.PredictNextLetter = on; });
  });
  connect(EUndoPlace, &QSpinBox::valueChanged, this, [this](int place) {
    Edit(&TOptionsModel::Speed, [place](TSpeedOptions& o) { o.UndoPlace = place; });
  });
  connect(CBShowComingOrder, &QCheckBox::toggled, this, [this](bool on) {
    Edit(&TOptionsModel::Speed, [on](TSpeedOptions& o) { o.ShowComingOrder = on; });
  });
  connect(CBGroupScan, &QCheckBox::toggled, this, [this](bool on) {
    Edit(&TOptionsModel::Speed, [on](TSpeedOptions& o) { o.GroupScan = on; });
  });
  // Every change of the grid, by the editing steps, by typing or by code.
  QAbstractItemModel* cells = grid_->model();
  connect(cells, &QAbstractItemModel::dataChanged, this, &TFSettings::WriteSymbolsBack);
  connect(cells, &QAbstractItemModel::rowsInserted, this, &TFSettings::WriteSymbolsBack);
  connect(cells, &QAbstractItemModel::rowsRemoved, this, &TFSettings::WriteSymbolsBack);
  connect(cells, &QAbstractItemModel::modelReset, this, &TFSettings::WriteSymbolsBack);
}

void TFSettings::WriteSymbolsBack() {
  Edit(&TOptionsModel::Session, [this](TSessionOptions& o) {
    o.Symbols.clear();
    for (int k = 1; k <= grid_->SymbolCount(); ++k) o.Symbols << grid_->Symbol(k);
  });
}
