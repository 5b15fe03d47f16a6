// Cost of one drum picture, against filling the same image with the window
// colour (the least any redraw costs).
#include <benchmark/benchmark.h>

#include <QImage>

#include "indicators/DrumPainter.h"

namespace {

TDrumScene Scene(int count, bool marked = false) {
  TDrumScene scene;
  for (int i = 0; i < count; ++i) scene.Symbols << QString(QChar(u'A' + i % 26));
  scene.Symbols[count / 2] = QStringLiteral("--");
  scene.Running = true;
  scene.Position = 3;
  scene.Phase = 2;
  scene.Background = QColor(240, 240, 240);
  // The coming order spread over the ring, as prediction plans it.
  if (marked) scene.Coming = {count / 3, count - 2, 7, count / 2 + 1};
  return scene;
}

void Baseline(benchmark::State& state) {
  QImage image(int(state.range(0)), int(state.range(1)), QImage::Format_ARGB32_Premultiplied);
  const QColor face(240, 240, 240);
  for (auto _ : state) {
    image.fill(face);
    benchmark::DoNotOptimize(image.constBits());
  }
}

void Paint(benchmark::State& state) {
  QImage image(int(state.range(0)), int(state.range(1)), QImage::Format_ARGB32_Premultiplied);
  TDrumScene scene = Scene(int(state.range(2)), state.range(3) != 0);
  for (auto _ : state) {
    scene.Phase = (scene.Phase + 1) % 6;
    PaintDrum(image, scene);
    benchmark::DoNotOptimize(image.constBits());
  }
}

// One frame of a session in the main window's painter, which paints only
// what changed: rests on a planned order (jumps across the ring), each with
// its five move frames.
void Frames(benchmark::State& state) {
  QImage picture(int(state.range(0)), int(state.range(1)), TDrumPainter::Format);
  const int count = int(state.range(2));
  TDrumScene scene = Scene(count);
  scene.Phase = 0;
  TDrumPainter painter;
  int step = 0, phase = 0;
  const auto planned = [count](int k) { return 1 + (k * 7 + k * k) % count; };
  for (auto _ : state) {
    scene.Phase = phase;
    scene.Position = planned(step);
    scene.Target = planned(step + 1);
    if (state.range(3) != 0) scene.Coming = {planned(step + 1), planned(step + 2), planned(step + 3), planned(step + 4)};
    benchmark::DoNotOptimize(painter.Paint(picture, scene));
    if (++phase == 6) {
      phase = 0;
      ++step;
    }
  }
}

}  // namespace

BENCHMARK(Baseline)->Args({449, 409})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
// The last argument: the coming order marked.
BENCHMARK(Paint)
    ->Args({449, 409, 28, 0})
    ->Args({1920, 1080, 100, 0})
    ->Args({449, 409, 36, 0})
    ->Args({449, 409, 36, 1})
    ->Args({1920, 1080, 100, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(Frames)->Args({449, 409, 36, 0})->Args({449, 409, 36, 1})->Unit(benchmark::kMicrosecond);
