#include "app/KeyForwarder.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include "app/AboutBox.h"
#include "windows/Display.h"
#include "windows/Graph.h"
#include "windows/Main.h"
#include "session/SwitchKeys.h"
#include "windows/OptionsInForce.h"
#include "windows/Settings.h"

TKeyForwarder::TKeyForwarder(QObject* parent) : QObject(parent) {}

void TKeyForwarder::Install() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

namespace {

// Whether w lies in one of the four windows of the program (not in a
// message box or file dialog shown over them), or in the About box, which
// stays open beside a session: F9 and a switch select there too.
bool InProgramWindow(const QWidget* w) {
  const QWidget* top = w->window();
  return top && (top == FMain || top == FSettings || top == FDisplay || top == FGraph ||
                 top->objectName() == QLatin1String(kAboutBoxName));
}

// Whether the key would type a character into w (a space into an edit field).
bool TypesInto(const QWidget* w, const QKeyEvent* key) {
  return w->testAttribute(Qt::WA_InputMethodEnabled) && !key->text().isEmpty() &&
         key->text().at(0).isPrint();
}

// The switch keys of the options in force; true when the key was one of them
// and is consumed.
bool SwitchKey(const QWidget* w, const QKeyEvent* key) {
  if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
    return false;
  const int k = key->key();
  const TKeyOptions& keys = OptionsInForce().Keys();
  // While a reaction would start the next session the select key does too.
  const bool waiting = FMain->Engine().Waiting();
  if (FMain->Running() || waiting) {
    if (IsSwitchKey(k, SwitchKeyOfName(keys.SelectKey))) {
      // A held switch repeats its key: one press, one selection.
      if (!key->isAutoRepeat() && FMain->Engine().Selectable()) FMain->SelectSymbol();
      return true;
    }
    if (IsSwitchKey(k, SwitchKeyOfName(keys.StopKey))) {
      FMain->BStopClick();
      return true;
    }
    if (!waiting) return false;
  }
  if (IsSwitchKey(k, SwitchKeyOfName(keys.StartKey)) && !key->isAutoRepeat() && !TypesInto(w, key)) {
    FMain->BStartClick();
    return true;
  }
  return false;
}

}  // namespace

bool TKeyForwarder::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && FMain && watched->isWidgetType() &&
      InProgramWindow(static_cast<QWidget*>(watched))) {
    auto* key = static_cast<QKeyEvent*>(event);
    // F1, the usual help key, opens the About box over the window it came from.
    if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
      ShowAboutBox(static_cast<QWidget*>(watched)->window());
      key->accept();
      return true;
    }
    if (FMain->FormKeyDown(key) || SwitchKey(static_cast<QWidget*>(watched), key)) {
      key->accept();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}
