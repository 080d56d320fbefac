#include "common/window_system.h"

namespace {
WindowSystem* g_ui = nullptr;
}

WindowSystem& Ui() {
  return *g_ui;
}

void InstallUi(WindowSystem* ui) {
  g_ui = ui;
}
