// Program entry: the four windows, in this order, and the event loop.
// Closing the main window ends the program; the windows are then destroyed
// in reverse order, each writing its part of the settings file.
// --help and --version are answered before any window (or display) exists.
#include "ProgramIdentity.h"
#include "ProgramInfo.h"
#include "QtTranslations.h"
#include "SafeApplication.h"
#include "app/AppWindows.h"
#include "windows/Display.h"
#include "windows/Graph.h"
#include "app/KeyForwarder.h"
#include "windows/Main.h"
#include "windows/Settings.h"

namespace {

int Run(int argc, char** argv) {
  TSafeApplication app(argc, argv);
  ApplyProgramIdentity(app);
  InstallQtTranslations(app);
  app.setQuitOnLastWindowClosed(false);
  int result = 0;
  try {
    TKeyForwarder forwarder;
    forwarder.Install();

    CreateAppWindows();
    QObject::connect(FMain, &TFMain::Closed, &app, &QApplication::quit, Qt::QueuedConnection);

    FMain->show();
    result = app.exec();

    DestroyAppWindows();
  } catch (...) {
    TSafeApplication::ShowCurrentException();
    return 1;
  }
  return result;
}

} // namespace

int main(int argc, char** argv) {
  if (PrintInfoOption(argc, argv)) return 0;
  return Run(argc, argv);
}
