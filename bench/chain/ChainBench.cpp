// One poll through the whole chain, and the recorder's file traffic, each
// measured next to a plain baseline in the same run. The ratios are printed
// after the table.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "capture/FakeCaptureDevice.h"
#include "recording/Instrecord.h"
#include "sensor/Inst.h"
#include "sensor/Sens.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRecords = 1000000;
constexpr int kPollBytes = 320;  // 40 ms at 8000 samples per second
constexpr int kPeriodMs = 20000;

// 40 ms of a 440 Hz tone around mid-scale.
std::vector<uint8_t> PollSamples() {
  std::vector<uint8_t> s(kPollBytes);
  for (int i = 0; i < kPollBytes; ++i)
    s[i] = static_cast<uint8_t>(128 + std::lround(60 * std::sin(2 * M_PI * 440 * i / 8000.0)));
  return s;
}

std::string TempFile(const char* name) {
  return (fs::temp_directory_path() / (std::string("quillora-bench-") + name)).string();
}

TInstData Record(int i) {
  TInstData r;
  r.Sensor = (i % 100) * 0.01;
  r.Level = 0.2;
  r.Inst = (i % 200) - 100.0;
  r.Gain = 100.0;
  r.Time = i / 86400000.0;
  r.Tag = -1;
  return r;
}

long ResidentKiB() {
  std::ifstream in("/proc/self/status");
  std::string key;
  while (in >> key) {
    if (key == "VmRSS:") {
      long kib = 0;
      in >> kib;
      return kib;
    }
    in.ignore(1 << 16, '\n');
  }
  return -1;
}

}  // namespace

// (a) One poll: TGaugePM100::Measure through probe and sensor, 320 new bytes
// from the device, the record appended to the recorder; the drum's rearm
// check as in fast mode.
static void BM_Poll_Chain(benchmark::State& state) {
  const std::string path = TempFile("poll.data");
  auto device = std::make_unique<TFakeCaptureDevice>();
  device->SetAutoDeliver(PollSamples());
  TAudioSensor_OneRun sensor(nullptr, std::move(device));
  TProbe probe(sensor);
  probe.DataChannel().SetDepth(4);
  probe.LevelChannel().SetDepth(20);
  TInstDataRecorder recorder(path, 1000, false);
  TGaugePM100 gauge(probe, &recorder);
  gauge.NeedleChannel().SpringEnabled = true;
  sensor.Start(kPeriodMs);
  for (auto _ : state) {
    sensor.Rearm(kPeriodMs);
    benchmark::DoNotOptimize(gauge.Measure());
    benchmark::DoNotOptimize(gauge.Data().Inst);
  }
  recorder.Close();
  fs::remove(path);
}
BENCHMARK(BM_Poll_Chain);

// Baseline: the same work written plainly: peak of 320 bytes, the same
// arithmetic, a 48-byte record appended to a buffered file.
static void BM_Poll_Baseline(benchmark::State& state) {
  const std::string path = TempFile("poll-base.data");
  std::FILE* f = std::fopen(path.c_str(), "w+b");
  const std::vector<uint8_t> samples = PollSamples();
  double level = 0, avg = 0, p = 0, v = 0;
  for (auto _ : state) {
    int peak = 0;
    for (uint8_t b : samples)
      if (b) peak = std::max(peak, std::abs(b - 128));
    const double reading = peak / 128.0;
    avg = avg * 0.75 + reading * 0.25;
    level = level * 0.95 + reading * 0.05;
    const double x = (avg - level) * 100.0;
    const double a = x - (5 * p + 3.1 * v) / 0.5;
    p += v * 0.22;
    v += a * 0.22;
    TInstData r;
    r.Sensor = avg;
    r.Level = level;
    r.Inst = std::fmin(100.0, std::fmax(-100.0, p * 10));
    std::fwrite(&r, sizeof r, 1, f);
    benchmark::DoNotOptimize(r);
  }
  std::fclose(f);
  fs::remove(path);
}
BENCHMARK(BM_Poll_Baseline);

// (b) Appending a million records, the file opened afresh and closed.
static void BM_Append_Recorder(benchmark::State& state) {
  const std::string path = TempFile("append.data");
  for (auto _ : state) {
    TInstDataRecorder recorder(path, 1000, false);
    for (int i = 0; i < kRecords; ++i) recorder.Write(Record(i));
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  fs::remove(path);
}
BENCHMARK(BM_Append_Recorder)->Unit(benchmark::kMillisecond);

static void BM_Append_Baseline(benchmark::State& state) {
  const std::string path = TempFile("append-base.data");
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "r+b");
    if (!f) f = std::fopen(path.c_str(), "w+b");
    const unsigned char header[8] = {0, 0, 0, 0, 1, 0, 0, 0};
    std::fwrite(header, 1, 8, f);
    for (int i = 0; i < kRecords; ++i) {
      const TInstData r = Record(i);
      std::fwrite(&r, sizeof r, 1, f);
    }
    std::fclose(f);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  fs::remove(path);
}
BENCHMARK(BM_Append_Baseline)->Unit(benchmark::kMillisecond);

// Reading everything back: Seek(0), ReadNext over every record.
static void BM_ReadBack_Recorder(benchmark::State& state) {
  const std::string path = TempFile("read.data");
  TInstDataRecorder recorder(path, 1000, false);
  for (int i = 0; i < kRecords; ++i) recorder.Write(Record(i));
  double sum = 0;
  for (auto _ : state) {
    recorder.Seek(0);
    TInstData r;
    while (recorder.ReadNext(r)) sum += r.Inst;
    recorder.Seek(recorder.Count());
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRecords);
  recorder.Close();
  fs::remove(path);
}
BENCHMARK(BM_ReadBack_Recorder)->Unit(benchmark::kMillisecond);

static void BM_ReadBack_Baseline(benchmark::State& state) {
  const std::string path = TempFile("read-base.data");
  {
    TInstDataRecorder recorder(path, 1000, false);
    for (int i = 0; i < kRecords; ++i) recorder.Write(Record(i));
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  double sum = 0;
  for (auto _ : state) {
    std::fseek(f, 8, SEEK_SET);
    TInstData r;
    for (int i = 0; i < kRecords && std::fread(&r, sizeof r, 1, f) == 1; ++i) sum += r.Inst;
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRecords);
  std::fclose(f);
  fs::remove(path);
}
BENCHMARK(BM_ReadBack_Baseline)->Unit(benchmark::kMillisecond);

// (c) The recorder holds one page: resident size before and after a million
// appends (48 MB of records).
static void BM_Memory_OnePage(benchmark::State& state) {
  const std::string path = TempFile("memory.data");
  long growth = 0, before = 0, after = 0;
  for (auto _ : state) {
    before = ResidentKiB();
    TInstDataRecorder recorder(path, 1000, false);
    for (int i = 0; i < kRecords; ++i) recorder.Write(Record(i));
    after = ResidentKiB();
    growth = after - before;
  }
  state.counters["rss_before_KiB"] = static_cast<double>(before);
  state.counters["rss_after_KiB"] = static_cast<double>(after);
  state.counters["rss_growth_KiB"] = static_cast<double>(growth);
  state.counters["page_KiB"] = 1000.0 * sizeof(TInstData) / 1024.0;
  state.counters["records_MiB"] = double(kRecords) * sizeof(TInstData) / (1024.0 * 1024.0);
  fs::remove(path);
}
BENCHMARK(BM_Memory_OnePage)->Unit(benchmark::kMillisecond)->Iterations(1);

namespace {

// The console table, then each measured benchmark against its baseline.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  TRatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) seconds_[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    auto& out = GetOutputStream();
    Ratio(out, "poll (chain time / baseline time, < 5 us per call wanted)", "BM_Poll_Chain",
          "BM_Poll_Baseline", false);
    Ratio(out, "append throughput (recorder / fwrite, >= 0.5 wanted)", "BM_Append_Recorder",
          "BM_Append_Baseline", true);
    Ratio(out, "read-back throughput (recorder / fread, >= 0.5 wanted)", "BM_ReadBack_Recorder",
          "BM_ReadBack_Baseline", true);
  }

private:
  void Ratio(std::ostream& out, const char* what, const std::string& measured,
             const std::string& baseline, bool throughput) {
    if (!seconds_.count(measured) || !seconds_.count(baseline)) return;
    const double m = seconds_[measured], b = seconds_[baseline];
    const double ratio = throughput ? b / m : m / b;
    char line[256];
    std::snprintf(line, sizeof line, "%-62s %8.3f\n", what, ratio);
    out << line;
  }
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
