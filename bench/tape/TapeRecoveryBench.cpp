// The cost of keeping the tape's copy: one change of a tape of 30 lines
// (about an hour's work) written to tape.recovery in a temporary folder, as
// the main window does after a selection. The baseline is a plain write of
// the same text to a file, without the temporary file, the sync and the
// rename that make the copy survive a crash, measured in the same run. The
// poll period is 40 ms; a change comes at most once per poll.
//
//   bench_tape
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "session/TapeRecovery.h"

namespace {

QString HourOfTape() {
  QStringList lines;
  for (int i = 0; i < 30; ++i)
    lines << QStringLiteral("- ПРИВЕТ МИР КАК ДЕЛА") << QStringLiteral("---  08.12.2026 16:30:00  ---");
  return lines.join(QLatin1Char('\n'));
}

// Baseline: the same bytes written over a plain file.
void BM_PlainWrite(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("plain.txt"));
  const QByteArray bytes = HourOfTape().toUtf8();
  for (auto _ : state) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    f.close();
  }
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);

// One selection: a symbol appended, the copy written.
void BM_RecoveryPerChange(benchmark::State& state) {
  QTemporaryDir dir;
  QString tape = HourOfTape();
  TTapeRecovery recovery(dir.filePath(TTapeRecovery::FileName()));
  recovery.SetSource([&tape] { return tape; });
  for (auto _ : state) {
    tape += QLatin1Char('A');
    recovery.Changed();
    recovery.WriteNow();
  }
}
BENCHMARK(BM_RecoveryPerChange)->Unit(benchmark::kMillisecond);

}  // namespace
