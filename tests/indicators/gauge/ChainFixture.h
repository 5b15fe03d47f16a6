#pragma once
// A measurement chain over a scripted capture device: sensor (0..1, step
// 0.1), probe and the -100..+100 instrument model, without a recorder.

#include "capture/FakeCaptureDevice.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"

#include <memory>

struct TTestChain {
  TFakeCaptureDevice* Device;
  TAudioSensor_OneRun Sensor;
  TProbe Probe;
  TGaugePM100 Model;

  TTestChain()
      : Device(new TFakeCaptureDevice),
        Sensor(nullptr, std::unique_ptr<TCaptureDevice>(Device)),
        Probe(Sensor),
        Model(Probe, nullptr) {}
};
