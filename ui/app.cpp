#include "ui/app.h"

#include <QApplication>
#include <QStyleFactory>

// The help pictures live in the ui library's resources; a static library must register them itself.
static void InitResources() { Q_INIT_RESOURCE(help); }

namespace zelm {

void App::Start(bool show) {
  InitResources();
  // One look on every desktop, drawn the same under a virtual display.
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  window = std::make_unique<MainWindow>(form, host);
  host.SetWindow(window.get());
  form.FormLoad();
  window->Sync();
  if (show) window->show();
}

}  // namespace zelm
