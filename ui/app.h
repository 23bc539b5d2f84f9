// Builds the program around one session: the host, the session record and the main window, then runs start-up.
#pragma once

#include <memory>

#include "core/form1.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

namespace zelm {

struct App {
  QtHost host;
  Form1 form{host};
  std::unique_ptr<MainWindow> window;

  // Start-up: the window and its controls, the session's start values and data, then the window shows.
  void Start(bool show = true);
};

}  // namespace zelm
