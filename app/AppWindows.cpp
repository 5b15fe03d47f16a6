#include "app/AppWindows.h"

#include "windows/Display.h"
#include "windows/Graph.h"
#include "windows/Main.h"
#include "windows/Settings.h"

void CreateAppWindows() {
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
  Destroy(FGraph);
  Destroy(FDisplay);
  Destroy(FSettings);
  Destroy(FMain);
}
