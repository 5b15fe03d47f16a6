#pragma once
// The options in force, one group at a time. Windows fill their controls
// from it and write the user's edits back; the engine, calibration and the
// panel read it. Changed(group) tells every listener after a group differs.

#include <QObject>

#include "Options.h"

class TOptionsModel : public QObject {
  Q_OBJECT
public:
  explicit TOptionsModel(QObject* parent = nullptr) : QObject(parent) {}

  const TOptions& Get() const { return options_; }
  const TSessionOptions& Session() const { return options_.Session; }
  const TSignalOptions& Signal() const { return options_.Signal; }
  const TNeedleOptions& Needle() const { return options_.Needle; }
  const TSpeechOptions& Speech() const { return options_.Speech; }
  const TSpeedOptions& Speed() const { return options_.Speed; }
  const TKeyOptions& Keys() const { return options_.Keys; }
  const TCaptureOptions& Capture() const { return options_.Capture; }
  const TTapeOptions& Tape() const { return options_.Tape; }
  const TSwitchOptions& Switch() const { return options_.Switch; }
  const TCalibrationOptions& Calibration() const { return options_.Calibration; }
  const THandsFreeOptions& HandsFree() const { return options_.HandsFree; }

  // Each replaces its group; Changed follows when it differs.
  void Set(const TSessionOptions& v) { Replace(options_.Session, v, TOptionGroup::Session); }
  void Set(const TSignalOptions& v) { Replace(options_.Signal, v, TOptionGroup::Signal); }
  void Set(const TNeedleOptions& v) { Replace(options_.Needle, v, TOptionGroup::Needle); }
  void Set(const TSpeechOptions& v) { Replace(options_.Speech, v, TOptionGroup::Speech); }
  void Set(const TSpeedOptions& v) { Replace(options_.Speed, v, TOptionGroup::Speed); }
  void Set(const TKeyOptions& v) { Replace(options_.Keys, v, TOptionGroup::Keys); }
  void Set(const TCaptureOptions& v) { Replace(options_.Capture, v, TOptionGroup::Capture); }
  void Set(const TTapeOptions& v) { Replace(options_.Tape, v, TOptionGroup::Tape); }
  void Set(const TSwitchOptions& v) { Replace(options_.Switch, v, TOptionGroup::Switch); }
  void Set(const TCalibrationOptions& v) {
    Replace(options_.Calibration, v, TOptionGroup::Calibration);
  }
  void Set(const THandsFreeOptions& v) { Replace(options_.HandsFree, v, TOptionGroup::HandsFree); }
  // All groups, in the order above.
  void Set(const TOptions& v);

signals:
  void Changed(TOptionGroup group);

private:
  template <class T>
  void Replace(T& field, const T& value, TOptionGroup group) {
    if (field == value) return;
    field = value;
    emit Changed(group);
  }
  TOptions options_;
};
