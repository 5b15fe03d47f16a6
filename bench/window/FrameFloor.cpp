// The floor under the program's CPU during a session: the same windows, the
// same timers and the same number of frames a second sent to the X server,
// with nothing drawn but a small fill. Whatever this costs on a machine, the
// program cannot cost less there without showing fewer frames.
//
//   frame_floor [SECONDS]   (under an X server; prints the share of a core)
//
// A session at 0.1 s per symbol: the drum timer ticks every 40 ms through a
// move of five frames, then rests 100 ms; the poll timer ticks every 40 ms
// and every second poll shows a new column of the graph.
#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

class TSurface : public QWidget {
public:
  TSurface(const QString& title, const QSize& size) {
    setWindowTitle(title);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(size);
  }
  int Frame = 0;

protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(event->rect(), Frame % 2 ? Qt::white : Qt::lightGray);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
  TSurface main(QStringLiteral("main"), QSize(640, 480));
  TSurface settings(QStringLiteral("settings"), QSize(600, 500));
  TSurface panel(QStringLiteral("panel"), QSize(700, 450));
  TSurface graph(QStringLiteral("graph"), QSize(641, 313));
  for (TSurface* w : {&main, &settings, &panel, &graph}) w->show();

  int phase = 0;
  QTimer drum;
  drum.setTimerType(Qt::PreciseTimer);
  drum.setSingleShot(true);
  QObject::connect(&drum, &QTimer::timeout, [&] {
    phase = (phase + 1) % 6;
    ++main.Frame;
    main.update(100 + 10 * phase, 100, 70, 70);  // a circle's worth of a move
    drum.start(phase == 0 ? 100 : 40);
  });
  int polls = 0;
  QTimer poll;
  poll.setTimerType(Qt::PreciseTimer);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (++polls % 2) return;
    ++graph.Frame;
    graph.update(620, 60, 2, 209);  // the graph's new columns
  });

  double start = 0;
  QTimer::singleShot(3000, [&] { start = CpuSeconds(); });
  QTimer::singleShot(3000 + seconds * 1000, [&] {
    std::printf("floor: %.1f %% of one core over %d s\n",
                100.0 * (CpuSeconds() - start) / seconds, seconds);
    app.quit();
  });
  drum.start(40);
  poll.start(40);
  return app.exec();
}
