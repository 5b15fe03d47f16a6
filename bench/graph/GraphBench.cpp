// The graph view's AddReading with its redraw on a full window, and saving
// every reading of a long recording, each against a plain baseline measured
// in the same run:
// - AddReading: filling the same image white (the least any redraw costs);
// - saving: the same lines written with fprintf from records in memory.
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tests/support/ScriptedSensor.h"
#include "indicators/Instgraph.h"
#include "recording/Instrecord.h"
#include "sensor/Inst.h"
#include "sensor/Probe.h"
#include "sensor/Sens.h"
#include "files/ReadingsExport.h"

namespace {

// Takes the picture shown, as the image widget does: a picture redrawn in
// place is read where it is, without holding a copy.
class THoldingTarget : public TInstGraphTarget {
public:
  explicit THoldingTarget(QSize size) : Size(size) {}
  QSize DrawingArea() const override { return Size; }
  void ShowPicture(const QImage& picture) override { Shown = picture; }
  void ShowChanged(const QImage& picture, const QRegion&) override { Last = &picture; }
  void ShowHint(const QString&) override {}
  QSize Size;
  QImage Shown;
  const QImage* Last = nullptr;
};

// A needle swinging through most of the scale (a few seconds per swing) with
// a little noise, over a slowly drifting level.
TInstData Reading(int i) {
  TInstData r;
  r.Time = 0.5 + i * 40 / 86400000.0;
  const double noise = ((i * 7919) % 1000) / 1000.0 - 0.5;
  r.Inst = 80.0 * std::sin(i * 0.05) + 5.0 * noise;
  r.Level = 0.45 + 0.05 * std::sin(i * 0.002);
  r.Sensor = r.Level + r.Inst / 100.0 / 100.0;
  r.Gain = 100.0;
  return r;
}

// The worst case: every reading jumps between the ends of the scale, so each
// record draws a line across the whole plot.
TInstData JumpingReading(int i) {
  TInstData r = Reading(i);
  r.Inst = (i % 2) ? 100.0 : -100.0;
  r.Level = (i % 2) ? 0.0 : 1.0;
  return r;
}

void BM_AddReadingFullWindow(benchmark::State& state) {
  const QSize size(int(state.range(0)), int(state.range(1)));
  const bool jumping = state.range(2) != 0;
  auto reading = jumping ? JumpingReading : Reading;
  TScriptedSensor sensor;
  TProbe probe(sensor);
  TGaugePM100 gauge(probe, nullptr);
  THoldingTarget target(size);
  TInstGraph view(&gauge, false, &target);
  int i = 0;
  for (; i < size.width(); ++i) view.AddReading(reading(i));
  view.SetMarker1(size.width() / 2);
  view.SetMarker2(size.width() - 10);
  view.Hover(100, size.height() / 3);
  for (auto _ : state) view.AddReading(reading(i++));
  state.SetLabel(jumping ? "full window, every reading across the plot" : "full window, swinging needle");
}
BENCHMARK(BM_AddReadingFullWindow)
    ->ArgNames({"width", "height", "jumping"})
    ->Args({625, 209, 0})
    ->Args({1920, 209, 0})
    ->Args({1920, 1000, 0})
    ->Args({625, 209, 1})
    ->Args({1920, 209, 1})
    ->Args({1920, 1000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_BaselineFillImage(benchmark::State& state) {
  QImage image(int(state.range(0)), int(state.range(1)), QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_BaselineFillImage)->Args({625, 209})->Args({1920, 1000})->Unit(benchmark::kMillisecond);

constexpr int kRecords = 1000000;

struct TRecording {
  QTemporaryDir dir;
  std::unique_ptr<TInstDataRecorder> recorder;
  TRecording() {
    recorder = std::make_unique<TInstDataRecorder>(dir.filePath("instrec.data").toStdString(), 1000, false);
    for (int i = 0; i < kRecords; ++i) recorder->Write(Reading(i / 2));
  }
};

void BM_SaveAllReadings(benchmark::State& state) {
  TRecording rec;
  TInstDataRecorder& recorder = *rec.recorder;
  const QString out = rec.dir.filePath("all.txt");
  for (auto _ : state) {
    const TExportResult r = TReadingsExport::Write(out, recorder.Count(), [&](int i, TInstData& record) {
      if (i == 0) recorder.Seek(0);
      return recorder.ReadNext(record);
    });
    recorder.Seek(recorder.Count());
    if (r != TExportResult::Written) state.SkipWithError("save failed");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_SaveAllReadings)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BaselineFprintf(benchmark::State& state) {
  QTemporaryDir dir;
  std::vector<TInstData> records(kRecords);
  for (int i = 0; i < kRecords; ++i) records[i] = Reading(i / 2);
  const QByteArray out = dir.filePath("plain.txt").toLocal8Bit();
  for (auto _ : state) {
    std::FILE* f = std::fopen(out.constData(), "wb");
    std::fprintf(f, "Time\tTemp\r\n\r\n");
    const double t0 = records[0].Time;
    for (const TInstData& r : records)
      std::fprintf(f, "%1.7lg\t%1.7lg\r\n", (r.Time - t0) * 86400.0, r.Sensor);
    std::fclose(f);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_BaselineFprintf)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
