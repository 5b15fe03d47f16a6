#include "CaptureChoice.h"

#include <memory>

#include "capture/CaptureInputs.h"
#include "sensor/Sens.h"

namespace {

TCaptureInputs* InstalledInputs = nullptr;

TCaptureInputs& InputList() {
  if (InstalledInputs) return *InstalledInputs;
  static const std::unique_ptr<TCaptureInputs> platform = CreateDefaultCaptureInputs();
  return *platform;
}

}  // namespace

bool ListInputChoices(QList<TInputChoice>& choices) {
  std::vector<TCaptureInput> inputs;
  const bool ok = InputList().List(inputs);
  choices.clear();
  for (const TCaptureInput& i : inputs)
    choices.append({QString::fromStdString(i.Name), QString::fromStdString(i.Description)});
  return ok;
}

void SetInputList(TCaptureInputs* inputs) { InstalledInputs = inputs; }

QString InputInUse(TAudioSensor_OneRun* sensor) {
  return sensor ? QString::fromStdString(sensor->Device().InputInUse()) : QString();
}

void ReportMissingInput(TAudioSensor_OneRun& sensor, std::function<void(const QString&)> report) {
  if (!report) {
    sensor.Device().OnInputMissing = nullptr;
    return;
  }
  sensor.Device().OnInputMissing = [report = std::move(report)](const std::string& missing) {
    report(QString::fromStdString(missing));
  };
}
