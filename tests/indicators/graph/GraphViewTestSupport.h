#pragma once
// A graph view over a drawing area of a chosen size, with the instrument of
// this system (scale -100..+100) over a sensor of range 0..1.

#include <QImage>
#include <QLocale>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

#include "tests/support/ScriptedSensor.h"
#include "indicators/Instgraph.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "tests/support/Readings.h"

class TFakeGraphTarget : public TInstGraphTarget {
public:
  QSize Size{600, 210};
  QImage Shown;
  int Shows = 0;
  QStringList Hints;

  QSize DrawingArea() const override { return Size; }
  void ShowPicture(const QImage& picture) override {
    Shown = picture;
    ++Shows;
  }
  void ShowHint(const QString& text) override { Hints << text; }
};

class GraphViewFixture : public ::testing::Test {
protected:
  TScriptedSensor Sensor;  // reads 0 throughout
  TProbe Probe{Sensor};
  TGaugePM100 Gauge{Probe, nullptr};
  TFakeGraphTarget Target;
  std::unique_ptr<TInstGraph> View;

  void SetUp() override { View = std::make_unique<TInstGraph>(&Gauge, false, &Target); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }

  // Readings 40 ms apart from 12:00:00.000, record i with Sensor i / 1000.
  void Fill(int count, int first = 0) {
    for (int i = first; i < first + count; ++i)
      View->AddReading(Reading(DayTime(12, 0, 0, 0) + i * 40 / 86400000.0, i / 1000.0));
  }

  QRgb Pixel(int x, int y) const { return Target.Shown.pixel(x, y) & 0xFFFFFF; }
};
