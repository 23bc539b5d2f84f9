#include "ui/help_windows.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "ui/main_window.h"

namespace zelm {

namespace {

constexpr int kTwips = 15;  // twips per pixel

// Stands in for a picture the program was built without: a plain page of the picture's size.
QPixmap Placeholder(int width, int height, const QString& caption) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  painter.setPen(QColor(128, 128, 128));
  painter.drawRect(0, 0, width - 1, height - 1);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, caption);
  return pixmap;
}

}  // namespace

const HelpLayout HelpWindows::kReference{"HelpFormRef", "ZELM Help Reference", 14475, 8475, 120, 120, 14310, 8220,
                                         ":/help/reference.png"};
const HelpLayout HelpWindows::kTutorial{"HelpFormTut", "ZELM Help Tutorial", 14310, 8850, 120, 120, 14250, 8370,
                                        ":/help/tutorial.png"};

void HelpPicture::mousePressEvent(QMouseEvent* e) {
  pressed_ = true;
  e->accept();
}

void HelpPicture::mouseReleaseEvent(QMouseEvent* e) {
  e->accept();
  const bool click = pressed_ && rect().contains(e->position().toPoint());
  pressed_ = false;
  if (click && onClick) onClick();
}

HelpWindow::HelpWindow(const HelpLayout& layout) : QWidget(nullptr) {
  setObjectName(layout.name);
  setWindowTitle(layout.caption);
  setFixedSize(layout.clientWidth / kTwips, layout.clientHeight / kTwips);

  image_ = new HelpPicture(this);
  image_->setObjectName("Image1");
  image_->setGeometry(layout.imageLeft / kTwips, layout.imageTop / kTwips, layout.imageWidth / kTwips,
                      layout.imageHeight / kTwips);
  // The picture at its natural size, top left; what lies beyond the window's edge is cut off.
  image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPixmap picture(layout.picture);
  if (picture.isNull()) picture = Placeholder(image_->width(), image_->height(), layout.caption);
  image_->setPixmap(picture);
  image_->onClick = [this] {
    const bool wasActive = isActiveWindow();
    hide();
    if (wasActive && onHidden) onHidden();
  };
}

bool HelpWindow::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate && onActivate) onActivate();
  return QWidget::event(e);
}

HelpWindows::HelpWindows(MainWindow& main) : QObject(&main), main_(main) {}

HelpWindows::~HelpWindows() {
  delete ref_;
  delete tut_;
}

HelpWindows& HelpWindows::Of(MainWindow& main) {
  if (auto* existing = main.findChild<HelpWindows*>(QString(), Qt::FindDirectChildrenOnly)) return *existing;
  return *new HelpWindows(main);
}

HelpWindow* HelpWindows::Create(const HelpLayout& layout) {
  auto* window = new HelpWindow(layout);
  window->onActivate = [this] { main_.NoteHelpWindowActive(); };
  // The main window takes over when the active help window is hidden, and its activation runs.
  window->onHidden = [this] {
    main_.raise();
    main_.activateWindow();
  };
  return window;
}

void HelpWindows::Show(int button) {
  HelpWindow** slot = button == 1 ? &ref_ : button == 2 ? &tut_ : nullptr;
  if (!slot) return;
  if (!*slot) *slot = Create(button == 1 ? kReference : kTutorial);
  HelpWindow* window = *slot;
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace zelm
