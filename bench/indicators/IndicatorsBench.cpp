// Cost of one redraw of the instrument panel's indicators (the needle gauge
// and the level dial, as every poll draws them), against filling images of
// the same sizes (the least any redraw costs).
#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>

#include "capture/FakeCaptureDevice.h"
#include "indicators/Instdisplay.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"

namespace {

// Keeps the picture it was shown, as the panel's image view does.
class TKeepingCanvas : public TIndicatorCanvas {
public:
  explicit TKeepingCanvas(QSize size) : Size(size) {}
  QSize LogicalSize() const override { return Size; }
  void Show(const QImage& picture) override { Shown = picture; }
  // A picture painted in place is read where it is, as the panel's view does.
  void ShowChanged(const QImage& picture, const QRegion&) override { Shown = QImage(); Last = &picture; }
  QSize Size;
  QImage Shown;
  const QImage* Last = nullptr;
};

struct TChain {
  TAudioSensor_OneRun Sensor{nullptr, std::make_unique<TFakeCaptureDevice>()};
  TProbe Probe{Sensor};
  TGaugePM100 Model{Probe, nullptr};
  TChain() {
    // Needle at 30 percent: sensor value 0 from no sound, level -0.3.
    Sensor.NoSensor = true;
    Probe.LevelMode = TProbe::LevelFixed;
    Probe.Level = -0.3;
    Model.Measure();
  }
};

void Fill(QImage& image) {
  image.fill(Qt::white);
  benchmark::DoNotOptimize(image.constBits());
}

// Filling a gauge image and a dial image.
void BaselinePanel(benchmark::State& state) {
  QImage gauge(561, 401, QImage::Format_RGB32);
  QImage dial(217, 217, QImage::Format_RGB32);
  for (auto _ : state) {
    Fill(gauge);
    Fill(dial);
  }
}

// The gauge's Draw then the dial's Draw at the design size.
void Panel(benchmark::State& state) {
  TChain chain;
  TKeepingCanvas gaugeCanvas(QSize(561, 401));
  TKeepingCanvas dialCanvas(QSize(217, 217));
  TInstIndGaugeV1 gauge(chain.Model, gaugeCanvas, QString());
  TLevelCtrlV1 dial(chain.Model, dialCanvas, QString());
  int i = 0;
  for (auto _ : state) {
    chain.Probe.Level = (i++ % 100) / 100.0;
    // Whole faces: bench_window measures what a poll paints in place.
    gauge.Invalidate();
    dial.Invalidate();
    gauge.Draw();
    dial.Draw();
    benchmark::DoNotOptimize(dialCanvas.Last);
  }
}

void BaselineLarge(benchmark::State& state) {
  QImage image(int(state.range(0)), int(state.range(1)), QImage::Format_RGB32);
  for (auto _ : state) Fill(image);
}

// The gauge alone on a large image.
void GaugeLarge(benchmark::State& state) {
  TChain chain;
  TKeepingCanvas canvas(QSize(int(state.range(0)), int(state.range(1))));
  TInstIndGaugeV1 gauge(chain.Model, canvas, QString());
  for (auto _ : state) {
    gauge.Invalidate();  // the whole face every time
    gauge.Draw();
    benchmark::DoNotOptimize(canvas.Last);
  }
}

}  // namespace

BENCHMARK(BaselinePanel)->Unit(benchmark::kMicrosecond);
BENCHMARK(Panel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BaselineLarge)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(GaugeLarge)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
