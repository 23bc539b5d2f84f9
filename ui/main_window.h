// The main window on the desktop: real widgets at the model's positions, mirroring Form1 and forwarding events.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>
#include <map>

#include "core/form1.h"
#include "ui/widgets.h"

namespace zelm {

class QtHost;
class GraphView;

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  MainWindow(Form1& form, QtHost& host);

  Form1& form() { return form_; }
  // Brings every widget in line with its model.
  void Sync();
  // Mirrors one control at once and paints it, while a handler still runs.
  void RepaintNow(Control& control);
  // The widget that shows a control.
  QWidget* WidgetOf(const Control& control) const;
  // Tells the window that one of the program's help windows became the active window.
  void NoteHelpWindowActive() { helpWasActive_ = true; }
  // Help button released: the left button opens the reference, the right one the tutorial.
  void ShowHelp(int button);

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void Build();
  void SyncControl(Control& control);
  void SyncWindow();
  // Runs a handler and mirrors what it changed.
  template <typename F>
  void Run(F&& handler) {
    handler();
    Sync();
  }

  Form1& form_;
  QtHost& host_;
  std::map<const Control*, QWidget*> widgets_;
  std::map<const Control*, unsigned> seen_;
  std::map<const ListBox*, ListModel*> models_;
  unsigned seenWindow_ = ~0u;
  bool activatedOnce_ = false;
  bool helpWasActive_ = false;
  bool syncing_ = false;
};

}  // namespace zelm
