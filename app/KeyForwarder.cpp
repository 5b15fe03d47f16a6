#include "app/KeyForwarder.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include "windows/Display.h"
#include "windows/Graph.h"
#include "windows/Main.h"
#include "windows/Settings.h"

TKeyForwarder::TKeyForwarder(QObject* parent) : QObject(parent) {}

void TKeyForwarder::Install() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

namespace {

// Whether w lies in one of the four windows of the program (not in a
// message box or file dialog shown over them).
bool InProgramWindow(const QWidget* w) {
  const QWidget* top = w->window();
  return top && (top == FMain || top == FSettings || top == FDisplay || top == FGraph);
}

}  // namespace

bool TKeyForwarder::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && FMain && watched->isWidgetType() &&
      InProgramWindow(static_cast<QWidget*>(watched))) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (FMain->FormKeyDown(key)) {
      key->accept();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}
