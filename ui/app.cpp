#include "ui/app.h"

#include <QApplication>
#include <QStyleFactory>

namespace zelm {

void App::Start(bool show) {
  // One look on every desktop, drawn the same under a virtual display.
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  window = std::make_unique<MainWindow>(form, host);
  host.SetWindow(window.get());
  form.FormLoad();
  window->Sync();
  if (show) window->show();
}

}  // namespace zelm
