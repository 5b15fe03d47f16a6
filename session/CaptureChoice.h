#pragma once
// The recording devices the user chooses from, and what the sensor records
// from: the capture layer as the settings window sees it.

#include <QList>
#include <QString>
#include <functional>

class TAudioSensor_OneRun;
class TCaptureInputs;

struct TInputChoice {
  QString Name;         // as the capture option stores it
  QString Description;  // what the user sees
};

// The system's recording devices, the default first; false (and none) when
// the sound system cannot be asked.
bool ListInputChoices(QList<TInputChoice>& inputs);
// The device list in force: the platform's unless a test installed one (not
// owned; nullptr restores the platform's).
void SetInputList(TCaptureInputs* inputs);
// What the sensor's last capture recorded from, else what its next would;
// empty without a sensor.
QString InputInUse(TAudioSensor_OneRun* sensor);
// report gets the name of a chosen device that a capture found gone (an
// empty report stops that).
void ReportMissingInput(TAudioSensor_OneRun& sensor, std::function<void(const QString&)> report);
