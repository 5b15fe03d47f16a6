// The drum cycle per symbol of a real session: the main window's two timers
// on the Qt event loop, the chain over a capture device that records
// nothing, the drum drawn at every frame. A cycle should last T + 200 ms
// (the rest, then five frames of 40 ms). The baseline is a plain chain of
// one-shot precise timers with the same intervals and no work, measured in
// the same run.
//
//   bench_session            30 symbols at 100 ms per symbol
//   bench_session --slow     also 30 symbols at 1000 ms per symbol (about 75 s)
//   bench_session --speech   also with the cue voice naming every symbol at
//                            rest (needs a sound server to be heard)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <vector>

#include "capture/NullCaptureDevice.h"
#include "sensor/Sens.h"
#include "app/AppWindows.h"
#include "files/AppFolder.h"
#include "windows/Display.h"
#include "windows/Graph.h"
#include "windows/Main.h"
#include "windows/Settings.h"

namespace {

constexpr int kSymbols = 30;

QElapsedTimer& Clock() {
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  return clock;
}

// Notes the time of every capture start: one at each arrival at a symbol.
class TTimedSensor : public TAudioSensor_OneRun {
public:
  TTimedSensor() : TAudioSensor_OneRun(nullptr, std::make_unique<TNullCaptureDevice>()) {}
  bool Start(int periodMs) override {
    Arrivals.push_back(Clock().nsecsElapsed());
    return TAudioSensor_OneRun::Start(periodMs);
  }
  std::vector<qint64> Arrivals;
};

struct TCycles {
  double MeanMs = 0.0;
  double MeanDeviationMs = 0.0;
  double WorstDeviationMs = 0.0;
};

TCycles Summarise(const std::vector<qint64>& arrivals, int expectedMs) {
  TCycles c;
  const int n = static_cast<int>(arrivals.size()) - 1;
  if (n < 1) return c;
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    const double ms = (arrivals[i + 1] - arrivals[i]) / 1e6;
    sum += ms;
    c.WorstDeviationMs = std::max(c.WorstDeviationMs, std::abs(ms - expectedMs));
  }
  c.MeanMs = sum / n;
  c.MeanDeviationMs = c.MeanMs - expectedMs;
  return c;
}

// A session of kSymbols cycles through the main window.
std::vector<qint64> RunSession(int periodMs, bool speech = false) {
  QTemporaryDir dir;
  SetAppDataFolder(dir.path());
  if (speech) {
    QFile ini(dir.filePath(QStringLiteral("Quillora.ini")));
    if (ini.open(QIODevice::WriteOnly)) ini.write("[Speech]\r\nAuditory Scanning=1\r\n");
  }
  TTimedSensor* sensor = nullptr;
  TFMain::SetSensorFactory([&](void*) {
    auto s = std::make_unique<TTimedSensor>();
    sensor = s.get();
    return std::unique_ptr<TAudioSensor_OneRun>(std::move(s));
  });
  CreateAppWindows();
  FMain->show();
  FMain->FormActivate();
  // No sound device: the sensor reads its minimum instead of failing.
  FSettings->CBNoSensor->setChecked(true);
  FMain->ESymbolPeriod->setText(QString::number(periodMs / 1000.0, 'f', 3));
  FMain->BStartClick();

  QEventLoop loop;
  QTimer watch;
  watch.setInterval(5);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (static_cast<int>(sensor->Arrivals.size()) > kSymbols) loop.quit();
  });
  watch.start();
  loop.exec();
  FMain->BStopClick();
  std::vector<qint64> arrivals = sensor->Arrivals;
  arrivals.resize(kSymbols + 1);

  DestroyAppWindows();
  TFMain::SetSensorFactory({});
  SetAppDataFolder(QString());
  return arrivals;
}

// The same cycle from bare one-shot precise timers.
std::vector<qint64> RunBaseline(int periodMs) {
  std::vector<qint64> arrivals;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  int phase = 0;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (phase == 5) {
      phase = 0;
      arrivals.push_back(Clock().nsecsElapsed());
      if (static_cast<int>(arrivals.size()) > kSymbols) {
        loop.quit();
        return;
      }
      timer.start(periodMs);
    } else {
      ++phase;
      timer.start(40);
    }
  });
  arrivals.push_back(Clock().nsecsElapsed());
  timer.start(periodMs);
  loop.exec();
  return arrivals;
}

void Report(benchmark::State& state, const TCycles& c, const TCycles& base) {
  state.SetIterationTime(c.MeanMs / 1000.0);
  state.counters["cycle_ms"] = c.MeanMs;
  state.counters["mean_dev_ms"] = c.MeanDeviationMs;
  state.counters["worst_dev_ms"] = c.WorstDeviationMs;
  state.counters["base_cycle_ms"] = base.MeanMs;
  state.counters["base_worst_dev_ms"] = base.WorstDeviationMs;
  state.counters["ratio_to_base"] = base.MeanMs > 0 ? c.MeanMs / base.MeanMs : 0.0;
}

void BM_DrumCycle(benchmark::State& state) {
  const int periodMs = static_cast<int>(state.range(0));
  const int expected = periodMs + 200;
  for (auto _ : state) {
    const TCycles session = Summarise(RunSession(periodMs), expected);
    const TCycles base = Summarise(RunBaseline(periodMs), expected);
    Report(state, session, base);
  }
}

// The same with the cue voice on: speech must not lengthen a cycle.
void BM_DrumCycleSpeaking(benchmark::State& state) {
  const int periodMs = static_cast<int>(state.range(0));
  const int expected = periodMs + 200;
  for (auto _ : state) {
    const TCycles session = Summarise(RunSession(periodMs, true), expected);
    const TCycles base = Summarise(RunBaseline(periodMs), expected);
    Report(state, session, base);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  bool slow = false;
  bool speech = false;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--slow") == 0)
      slow = true;
    else if (std::strcmp(argv[i], "--speech") == 0)
      speech = true;
    else
      args.push_back(argv[i]);
  }
  int n = static_cast<int>(args.size());
  QApplication app(n, args.data());

  auto* b = benchmark::RegisterBenchmark("DrumCycle/period_ms", BM_DrumCycle);
  b->Arg(100);
  if (slow) b->Arg(1000);
  b->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
  if (speech) {
    auto* spoken = benchmark::RegisterBenchmark("DrumCycleSpeaking/period_ms", BM_DrumCycleSpeaking);
    spoken->Arg(100)->Arg(500);
    spoken->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
  }

  benchmark::Initialize(&n, args.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
