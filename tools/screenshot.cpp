// Renders the main window offscreen to a PNG, to check its look: zelm_screenshot OUT.png [MASSES [ROW]]
// Runs in a fresh working folder with the built-in data. With MASSES (for example 120,60) it searches them first;
// with ROW it also shows the tooltip of that Results line (from 0), as when the mouse rests on it.
#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QListView>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>

#include "ui/app.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: zelm_screenshot OUT.png [MASSES]\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QString out = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
  QTemporaryDir work;
  QDir::setCurrent(work.path());
  zelm::App zelm;
  zelm.Start();
  QApplication::processEvents();
  zelm.window->activateWindow();
  QApplication::processEvents();
  if (argc > 2) {
    zelm.form.FindMass.SetText(argv[2]);
    zelm.form.QuickSearch_Click();
    zelm.window->Sync();
    QApplication::processEvents();
  }
  QPixmap shot = zelm.window->grab();
  if (argc > 3) {
    auto* results = static_cast<QListView*>(zelm.window->WidgetOf(zelm.form.Results));
    const QRect line = results->visualRect(results->model()->index(QString::fromLocal8Bit(argv[3]).toInt(), 0));
    const QPoint at = line.center();
    QHelpEvent help(QEvent::ToolTip, at, results->viewport()->mapToGlobal(at));
    QApplication::sendEvent(results->viewport(), &help);
    QApplication::processEvents();
    // The tooltip is a window of its own: drawn into the picture where it stands over the main window.
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || !w->inherits("QTipLabel")) continue;
      const QPoint offset = w->mapToGlobal(QPoint(0, 0)) - zelm.window->mapToGlobal(QPoint(0, 0));
      QPainter painter(&shot);
      painter.drawPixmap(offset, w->grab());
    }
  }
  if (!shot.save(out)) {
    std::fprintf(stderr, "could not write %s\n", argv[1]);
    return 1;
  }
  std::printf("%s: %dx%d\n", qPrintable(out), shot.width(), shot.height());
  return 0;
}
