#include "ui/app.h"

namespace zelm {

void App::Start(bool show) {
  window = std::make_unique<MainWindow>(form, host);
  host.SetWindow(window.get());
  form.FormLoad();
  window->Sync();
  if (show) window->show();
}

}  // namespace zelm
