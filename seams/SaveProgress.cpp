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
    dialog_ = std::make_unique<QProgressDialog>(QStringLiteral("Сохранение данных..."),
                                                QStringLiteral("Отмена"), 0, total, parent);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(500);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setValue(0);
  }

  bool Advance(int done) override {
    if (!dialog_) return true;
    dialog_->setValue(done);
    // Until the dialog shows (and blocks the other windows) only repaints and
    // timers are handled: a click elsewhere must not start a session while
    // the recorder is being read.
    QCoreApplication::processEvents(dialog_->isVisible() ? QEventLoop::AllEvents
                                                         : QEventLoop::ExcludeUserInputEvents);
    return !dialog_->wasCanceled();
  }

  void End() override { dialog_.reset(); }

private:
  std::unique_ptr<QProgressDialog> dialog_;
};

TSaveProgress* installed = nullptr;

} // namespace

TSaveProgress& SaveProgress() {
  static TQtSaveProgress qtProgress;
  return installed ? *installed : qtProgress;
}

void SetSaveProgress(TSaveProgress* progress) { installed = progress; }
