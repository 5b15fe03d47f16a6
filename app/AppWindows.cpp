#include "app/AppWindows.h"

#include "session/SessionModel.h"
#include "windows/Display.h"
#include "windows/Graph.h"
#include "windows/Main.h"
#include "windows/Settings.h"
#include "windows/WindowBounds.h"

void CreateAppWindows() {
  new TSessionModel;
  FMain = new TFMain;
  FSettings = new TFSettings;
  FDisplay = new TFDisplay;
  FGraph = new TFGraph;
}

namespace {
template <typename T>
void Destroy(T*& window) {
  delete window;
  window = nullptr;
}
} // namespace

void DestroyAppWindows() {
  // Every window writes its part of the settings file; a file that cannot be
  // written is reported once, not once per window.
  TOneWriteReport report;
  Destroy(FGraph);
  Destroy(FDisplay);
  Destroy(FSettings);
  Destroy(FMain);
  delete SessionModel;
}
