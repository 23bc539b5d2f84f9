// The two help windows: the reference page and the tutorial page, each one picture in a window of its own.
#pragma once

#include <QLabel>
#include <QObject>
#include <QWidget>
#include <functional>

namespace zelm {

class MainWindow;

// The picture of a help window: a click on it (press and release of a mouse button over it) reports itself.
class HelpPicture : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
  std::function<void()> onClick;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  bool pressed_ = false;
};

// One help window. Sizes in twips, 15 twips a pixel.
struct HelpLayout {
  const char* name;     // object name: HelpFormRef, HelpFormTut
  const char* caption;
  int clientWidth, clientHeight;
  int imageLeft, imageTop, imageWidth, imageHeight;
  const char* picture;  // Qt resource path
};

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(const HelpLayout& layout);
  HelpPicture* Image1() const { return image_; }
  // Runs whenever the window becomes the active window.
  std::function<void()> onActivate;
  // Runs after a click on the picture hid the window.
  std::function<void()> onHidden;

 protected:
  bool event(QEvent* e) override;

 private:
  HelpPicture* image_;
};

// The help windows of one main window: each created at its first showing, then shown and hidden until the program
// ends. Owned by the main window (a child object), the windows themselves are top-level windows of their own.
class HelpWindows : public QObject {
  Q_OBJECT
 public:
  static HelpWindows& Of(MainWindow& main);
  ~HelpWindows() override;

  // Help button released with this mouse button code: left (1) the reference, right (2) the tutorial, others nothing.
  void Show(int button);
  // The windows, null until first shown.
  HelpWindow* HelpFormRef() const { return ref_; }
  HelpWindow* HelpFormTut() const { return tut_; }

  static const HelpLayout kReference;
  static const HelpLayout kTutorial;

 private:
  explicit HelpWindows(MainWindow& main);
  HelpWindow* Create(const HelpLayout& layout);

  MainWindow& main_;
  HelpWindow* ref_ = nullptr;
  HelpWindow* tut_ = nullptr;
};

}  // namespace zelm
