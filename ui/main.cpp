#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/app.h"

int main(int argc, char** argv) {
  // Without a display Qt would abort: say so plainly instead.
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if ((!platform || !*platform) && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    std::fprintf(stderr,
                 "zelm: no display found. ZELM is a desktop program: start it from a desktop session, or under a\n"
                 "virtual display with: xvfb-run -a zelm\n"
                 "(xvfb-run comes with Debian's packages xvfb and xauth; install them as root with:\n"
                 "apt-get install -y xvfb xauth)\n");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("ZELM");
  zelm::App zelm;
  zelm.Start();
  return app.exec();
}
