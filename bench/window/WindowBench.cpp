// Frames as the windows show them: drawn and copied to a real widget on the
// offscreen platform, painted at once with repaint(). Each case has three
// variants measured in the same run:
// - Floor: filling pictures of the same sizes and copying them whole (the
//   least a redraw of everything costs);
// - RedrawAll: the whole picture drawn and copied for every frame;
// - InPlace: what the program does: only what changed is drawn and copied;
//   for the drum, whose turns repeat, this is the steady state of a session;
// - FirstTurn (the drum only): as InPlace, but every frame drawn the first
//   time, as in a session's first turn.
// CPU is the whole process's: Qt hands large blends to threads of its own.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>
#include <QThread>
#include <QWindow>
#include <cstdlib>
#include <QRegion>
#include <cmath>
#include <memory>
#include <vector>

#include "capture/FakeCaptureDevice.h"
#include "indicators/DrumPainter.h"
#include "indicators/Instdisplay.h"
#include "indicators/Instgraph.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "windows/ImageView.h"

namespace {

enum TVariant { Floor, RedrawAll, InPlace, FirstTurn };

// A shown image view of a size.
std::unique_ptr<TImageView> View(const QSize& size) {
  auto view = std::make_unique<TImageView>();
  view->resize(size);
  view->show();
  // Painting reaches the window only once it is exposed.
  for (int i = 0; i < 500 && !(view->windowHandle() && view->windowHandle()->isExposed()); ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(2);
  }
  if (!view->windowHandle() || !view->windowHandle()->isExposed()) std::abort();
  QCoreApplication::processEvents();
  return view;
}

// A picture shown whole, as a redraw of everything shows it.
void ShowWhole(TImageView& view, QImage& picture) {
  view.ShowBuffer(picture, QRegion());
  view.repaint();
}

void Fill(TImageView& view, QImage& picture, const QColor& colour) {
  picture.fill(colour);
  ShowWhole(view, picture);
}

// --- the drum ------------------------------------------------------------

// The scenes of a session at 0.1 s per symbol: five move frames and a rest
// per symbol.
std::vector<TDrumScene> DrumSession(int count, bool fixedWindow) {
  TDrumScene s;
  for (int i = 0; i < count; ++i) s.Symbols << QString(QChar(u'A' + i % 26));
  s.Symbols[count / 2] = QStringLiteral("--");
  s.Running = true;
  s.FixedWindow = fixedWindow;
  s.Background = QColor(240, 240, 240);
  std::vector<TDrumScene> scenes;
  for (int step = 0; step < count; ++step) {
    for (int phase = 0; phase <= 5; ++phase) {
      s.Phase = phase;
      scenes.push_back(s);
    }
    s.Position = s.Position >= count ? 1 : s.Position + 1;
  }
  return scenes;
}

void BM_DrumFrame(benchmark::State& state) {
  const QSize size(int(state.range(0)), int(state.range(1)));
  const auto variant = TVariant(state.range(3));
  const std::vector<TDrumScene> scenes = DrumSession(int(state.range(2)), state.range(4) != 0);
  auto view = View(size);
  QImage picture(size, TDrumPainter::Format);
  auto painter = std::make_unique<TDrumPainter>();
  std::size_t k = 0;
  for (auto _ : state) {
    if (variant == FirstTurn && k % scenes.size() == 0) {
      // A painter that has seen no frame yet, brought to the turn's last
      // picture outside the measurement.
      state.PauseTiming();
      painter = std::make_unique<TDrumPainter>();
      painter->Paint(picture, scenes.back());
      state.ResumeTiming();
    }
    const TDrumScene& scene = scenes[k++ % scenes.size()];
    if (variant == Floor) {
      Fill(*view, picture, scene.Background);
    } else if (variant == RedrawAll) {
      PaintDrum(picture, scene);
      ShowWhole(*view, picture);
    } else {
      const QRegion changed = painter->Paint(picture, scene);
      view->ShowBuffer(picture, changed);
      if (!changed.isEmpty()) view->repaint(changed);
    }
  }
}

// --- the instrument panel and the graph ------------------------------------

struct TChain {
  TAudioSensor_OneRun Sensor{nullptr, std::make_unique<TFakeCaptureDevice>()};
  TProbe Probe{Sensor};
  TGaugePM100 Model{Probe, nullptr};
  int Polls = 0;
  TChain() {
    Sensor.NoSensor = true;
    Probe.LevelMode = TProbe::LevelFixed;
  }
  // A needle swinging through most of the scale with a little noise, and
  // on every other poll a reading that jumps across it.
  void Poll(bool jumping) {
    const int i = Polls++;
    const double noise = ((i * 7919) % 1000) / 1000.0 - 0.5;
    Probe.Level = jumping ? ((i % 2) ? -2.0 : 2.0) : -0.4 * std::sin(i * 0.05) + 0.02 * noise;
    Model.Measure();
  }
};

// An indicator's image control.
class TViewCanvas : public TIndicatorCanvas {
public:
  explicit TViewCanvas(TImageView& view) : View(view) {}
  QSize LogicalSize() const override { return View.size(); }
  void Show(const QImage& picture) override { View.SetImage(picture); }
  void ShowChanged(const QImage& picture, const QRegion& changed) override {
    View.ShowBuffer(picture, changed);
    if (!changed.isEmpty()) View.repaint(changed);
  }
  TImageView& View;
};

// The graph window's image.
class TViewTarget : public TInstGraphTarget {
public:
  explicit TViewTarget(TImageView& view) : View(view) {}
  QSize DrawingArea() const override { return View.size(); }
  void ShowPicture(const QImage& picture) override { View.SetImage(picture); }
  void ShowChanged(const QImage& picture, const QRegion& changed) override {
    View.ShowBuffer(picture, changed);
    if (!changed.isEmpty()) View.repaint(changed);
  }
  void ShowScrolled(const QImage& picture, int dx, const QRegion& changed) override {
    View.ScrollBuffer(picture, dx, changed);
    View.repaint(changed);
  }
  void ShowHint(const QString&) override {}
  TImageView& View;
};

// Sizes of the panel's gauge and dial and of the graph's image, at design
// size or with both windows spread over a 1920 x 1080 screen.
struct TPanelSizes {
  QSize Gauge, Dial, Graph;
};
TPanelSizes PanelSizes(bool large) {
  if (large) return {QSize(1700, 900), QSize(217, 217), QSize(1900, 960)};
  return {QSize(561, 401), QSize(217, 217), QSize(625, 209)};
}

// One poll with the panel and the graph visible: both indicators drawn and
// the reading added to the graph.
void BM_PollPanelAndGraph(benchmark::State& state) {
  const TPanelSizes sizes = PanelSizes(state.range(0) != 0);
  const auto variant = TVariant(state.range(1));
  TChain chain;
  auto gaugeView = View(sizes.Gauge);
  auto dialView = View(sizes.Dial);
  auto graphView = View(sizes.Graph);
  TViewCanvas gaugeCanvas(*gaugeView), dialCanvas(*dialView);
  TViewTarget graphTarget(*graphView);
  TInstIndGaugeV1 gauge(chain.Model, gaugeCanvas, QString());
  TLevelCtrlV1 dial(chain.Model, dialCanvas, QString());
  TInstGraph graph(&chain.Model, false, &graphTarget);
  for (int i = 0; i < sizes.Graph.width(); ++i) {
    chain.Poll(false);
    graph.AddReading(chain.Model.Data());
  }
  QImage gaugeFill(sizes.Gauge, QImage::Format_RGB32), dialFill(sizes.Dial, QImage::Format_RGB32),
      graphFill(sizes.Graph, QImage::Format_RGB32);
  for (auto _ : state) {
    chain.Poll(false);
    if (variant == Floor) {
      Fill(*gaugeView, gaugeFill, Qt::white);
      Fill(*dialView, dialFill, Qt::white);
      Fill(*graphView, graphFill, Qt::white);
      continue;
    }
    if (variant == RedrawAll) {
      gauge.Invalidate();
      dial.Invalidate();
      graph.Invalidate();
    }
    gauge.Draw();
    dial.Draw();
    graph.AddReading(chain.Model.Data());
  }
}

// The graph's worst case: a full window, markers and cursor set, and every
// reading jumping across the plot.
void BM_GraphWorstCase(benchmark::State& state) {
  const QSize size(int(state.range(0)), int(state.range(1)));
  const auto variant = TVariant(state.range(2));
  TChain chain;
  auto view = View(size);
  TViewTarget target(*view);
  TInstGraph graph(&chain.Model, false, &target);
  for (int i = 0; i < size.width(); ++i) {
    chain.Poll(true);
    graph.AddReading(chain.Model.Data());
  }
  graph.SetMarker1(size.width() / 2);
  graph.SetMarker2(size.width() - 10);
  graph.Hover(100, size.height() / 3);
  graph.Redraw();
  QImage fill(size, QImage::Format_RGB32);
  for (auto _ : state) {
    chain.Poll(true);
    if (variant == Floor) {
      Fill(*view, fill, Qt::white);
      continue;
    }
    if (variant == RedrawAll) graph.Invalidate();
    graph.AddReading(chain.Model.Data());
  }
}

void VariantArgs(benchmark::internal::Benchmark* b, std::vector<std::vector<int64_t>> sizes,
                 std::vector<int> variants = {Floor, RedrawAll, InPlace}) {
  for (const auto& s : sizes)
    for (const int v : variants) {
      auto args = s;
      args.insert(args.begin() + (s.size() == 4 ? 3 : s.size()), v);
      b->Args(args);
    }
}

}  // namespace

BENCHMARK(BM_DrumFrame)
    ->ArgNames({"width", "height", "symbols", "variant", "fixed"})
    ->Apply([](benchmark::internal::Benchmark* b) {
      VariantArgs(b, {{449, 409, 28, 0}, {449, 409, 28, 1}, {1920, 1080, 100, 0}, {1920, 1080, 100, 1}},
                  {Floor, RedrawAll, InPlace, FirstTurn});
    })
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PollPanelAndGraph)
    ->ArgNames({"large", "variant"})
    ->Apply([](benchmark::internal::Benchmark* b) { VariantArgs(b, {{0}, {1}}); })
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GraphWorstCase)
    ->ArgNames({"width", "height", "variant"})
    ->Apply([](benchmark::internal::Benchmark* b) { VariantArgs(b, {{625, 209}, {1920, 1000}}); })
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);
