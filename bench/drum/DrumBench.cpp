// Cost of one drum picture, against filling the same image with the window
// colour (the least any redraw costs).
#include <benchmark/benchmark.h>

#include <QImage>

#include "indicators/DrumPainter.h"

namespace {

TDrumScene Scene(int count) {
  TDrumScene scene;
  for (int i = 0; i < count; ++i) scene.Symbols << QString(QChar(u'A' + i % 26));
  scene.Symbols[count / 2] = QStringLiteral("--");
  scene.Running = true;
  scene.Position = 3;
  scene.Phase = 2;
  scene.Background = QColor(240, 240, 240);
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
  TDrumScene scene = Scene(int(state.range(2)));
  for (auto _ : state) {
    scene.Phase = (scene.Phase + 1) % 6;
    PaintDrum(image, scene);
    benchmark::DoNotOptimize(image.constBits());
  }
}

}  // namespace

BENCHMARK(Baseline)->Args({449, 409})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(Paint)->Args({449, 409, 28})->Args({1920, 1080, 100})->Unit(benchmark::kMicrosecond);
