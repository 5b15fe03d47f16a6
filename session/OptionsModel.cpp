#include "OptionsModel.h"

void TOptionsModel::Set(const TOptions& v) {
  Set(v.Session);
  Set(v.Signal);
  Set(v.Needle);
  Set(v.Speech);
  Set(v.Speed);
  Set(v.Keys);
  Set(v.Capture);
  Set(v.Tape);
  Set(v.Switch);
  Set(v.Calibration);
  Set(v.HandsFree);
}
