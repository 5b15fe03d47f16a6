#include "seams/SaveProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <memory>

namespace {

// A modal progress dialog: the rest of the program stays blocked while the
// save reads the recorder, but windows repaint and the user can cancel.
class TQtSaveProgress final : public TSaveProgress {
public:
  void Begin(QWidget* parent, int total) override {
    Dialog = std::make_unique<QProgressDialog>(QStringLiteral("Сохранение данных..."),
                                               QStringLiteral("Отмена"), 0, total, parent);
    Dialog->setWindowModality(Qt::ApplicationModal);
    Dialog->setMinimumDuration(500);
    Dialog->setAutoClose(false);
    Dialog->setAutoReset(false);
    Dialog->setValue(0);
  }

  bool Advance(int done) override {
    if (!Dialog) return true;
    Dialog->setValue(done);
    // Until the dialog shows (and blocks the other windows) only repaints and
    // timers are handled: a click elsewhere must not start a session while
    // the recorder is being read.
    QCoreApplication::processEvents(Dialog->isVisible() ? QEventLoop::AllEvents
                                                        : QEventLoop::ExcludeUserInputEvents);
    return !Dialog->wasCanceled();
  }

  void End() override { Dialog.reset(); }

private:
  std::unique_ptr<QProgressDialog> Dialog;
};

TSaveProgress* installed = nullptr;

} // namespace

TSaveProgress& SaveProgress() {
  static TQtSaveProgress qtProgress;
  return installed ? *installed : qtProgress;
}

void SetSaveProgress(TSaveProgress* progress) { installed = progress; }
