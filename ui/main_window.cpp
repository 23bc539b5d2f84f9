#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QItemSelectionModel>
#include <QPainter>

#include "ui/codec.h"
#include "ui/fonts.h"
#include "ui/graph_view.h"
#include "ui/help_windows.h"
#include "ui/qt_host.h"

namespace zelm {

namespace {

constexpr int kTwips = 15;  // twips per pixel
QRect PixelRect(const Control& c) {
  return QRect(c.Left / kTwips, c.Top / kTwips, c.Width / kTwips, c.Height / kTwips);
}
const QColor kLightGrey(192, 192, 192);
const QColor kDarkBlue(0, 0, 128);

}  // namespace

MainWindow::MainWindow(Form1& form, QtHost& host) : QWidget(nullptr), form_(form), host_(host) {
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  setFont(SubstituteFont("Chemistry SansSerif", 8.25));
  Build();
  Sync();
}

void MainWindow::Build() {
  Form1& f = form_;
  auto place = [this](Control& c, QWidget* w) {
    w->setGeometry(PixelRect(c));
    w->setFont(ControlFont(c.Name));
    w->setObjectName(QString::fromStdString(c.Name));
    widgets_[&c] = w;
  };
  auto clickButton = [&](CaptionControl& c, void (Form1::*handler)()) {
    auto* b = new QPushButton(this);
    place(c, b);
    if (handler) connect(b, &QPushButton::clicked, this, [this, handler] { Run([&] { (form_.*handler)(); }); });
    return b;
  };
  auto upButton = [&](CaptionControl& c, void (Form1::*handler)(int, int, float, float)) {
    auto* b = new MouseUpButton(this);
    place(c, b);
    b->onMouseUp = [this, handler](int button, int shift, float x, float y) {
      Run([&] { (form_.*handler)(button, shift, x, y); });
    };
    return b;
  };

  // Created from the bottom of the stacking order up, so the first control of the list lies on top.
  auto* label3 = new QLabel(this);
  label3->setTextFormat(Qt::PlainText);
  place(f.Label3, label3);
  auto* help = new FitLabel(this);
  place(f.HelpLine, help);
  help->setAutoFillBackground(true);
  QPalette hp = help->palette();
  hp.setColor(QPalette::Window, kDarkBlue);
  hp.setColor(QPalette::WindowText, Qt::white);
  help->setPalette(hp);
  auto* bar = new QFrame(this);
  place(f.Bar, bar);
  bar->setAutoFillBackground(true);
  QPalette bp = bar->palette();
  bp.setColor(QPalette::Window, kDarkBlue);
  bar->setPalette(bp);
  clickButton(f.CopyAll, &Form1::CopyAll_Click);
  clickButton(f.WorkListBtn, &Form1::WorkListBtn_Click);

  auto* mass = new MassBox(this);
  place(f.FindMass, mass);
  mass->onKeyDown = [this](int key, int shift) { Run([&] { form_.FindMass_KeyDown(key, shift); }); };
  mass->onKeyPress = [this](int key) { Run([&] { form_.FindMass_KeyPress(key); }); };
  mass->onDoubleClick = [this] { Run([&] { form_.FindMass_DblClick(); }); };
  connect(mass, &QLineEdit::textEdited, this, [this](const QString& t) { form_.FindMass.Text = FromUnicode(t); });

  auto makeList = [&](ListBox& list, QWidget* parent) {
    auto* view = new ListView(parent);
    place(list, view);
    auto* model = new ListModel(list, view);
    models_[&list] = model;
    view->setModel(model);
    view->setUniformItemSizes(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setTextElideMode(Qt::ElideNone);
    return view;
  };
  auto* work = makeList(f.WorkList, this);
  connect(work->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& now) {
    if (syncing_) return;
    Run([&] {
      if (form_.WorkList.SetListIndex(now.isValid() ? now.row() : -1)) form_.WorkList_Click();
    });
  });
  auto* range = new QLineEdit(this);
  place(f.Range, range);
  connect(range, &QLineEdit::textEdited, this, [this](const QString& t) { form_.Range.Text = FromUnicode(t); });
  auto* results = makeList(f.Results, this);
  results->setItemDelegate(new ResultLineDelegate(results));
  models_[&f.Results]->toolTip = [this](int row) { return form_.ResultsToolTip(row); };
  connect(results->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& now) {
    if (!syncing_) form_.Results.SetListIndex(now.isValid() ? now.row() : -1);
  });
  results->onMouseUp = [this](int button, int shift, float x, float y) {
    Run([&] { form_.Results_MouseUp(button, shift, x, y); });
  };

  auto* frame = new QFrame(this);
  place(f.Frame1, frame);
  frame->setFrameShape(QFrame::Box);
  frame->setFrameShadow(QFrame::Sunken);
  auto* label2 = new QLabel(frame);
  label2->setTextFormat(Qt::PlainText);
  place(f.Label2, label2);
  for (OptionButton* o : {&f.OptionMinus, &f.OptionPlus, &f.Option0}) {
    auto* r = new QRadioButton(frame);
    place(*o, r);
    connect(r, &QRadioButton::toggled, this, [this, o](bool on) {
      if (syncing_) return;
      // One of the three is always the set one: mirror all three.
      form_.Option0.Value = form_.OptionPlus.Value = form_.OptionMinus.Value = false;
      o->Value = on;
      for (OptionButton* other : {&form_.Option0, &form_.OptionPlus, &form_.OptionMinus})
        if (other != o) other->Value = static_cast<QRadioButton*>(WidgetOf(*other))->isChecked();
    });
  }

  auto* helpButton = new MouseUpButton(this);
  place(f.Help, helpButton);
  helpButton->onMouseUp = [this](int button, int, float, float) { ShowHelp(button); };
  clickButton(f.Teach, nullptr);
  clickButton(f.Confidence, nullptr);
  auto* search = clickButton(f.QuickSearch, &Form1::QuickSearch_Click);
  upButton(f.MaxMassN, &Form1::MaxMassN_MouseUp);
  auto* plusMinus = upButton(f.PlusMinusX, &Form1::PlusMinusX_MouseUp);
  for (QWidget* w : {static_cast<QWidget*>(search), static_cast<QWidget*>(plusMinus)}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Button, kLightGrey);
    w->setPalette(p);
  }
  clickButton(f.Add, &Form1::Add_Click);
  clickButton(f.Stop, &Form1::Stop_Click);
  clickButton(f.Cut, &Form1::Cut_Click);
  clickButton(f.Load, &Form1::Load_Click);
  clickButton(f.Exit, &Form1::Exit_Click);
  clickButton(f.PasteFromClipboard, &Form1::PasteFromClipboard_Click);

  auto* graph = new GraphView(form_, this);
  place(f.Graph, graph);
  graph->onMouseDown = [this](int b, int s, float x, float y) { Run([&] { form_.Graph_MouseDown(b, s, x, y); }); };
  graph->onMouseMove = [this](int b, int s, float x, float y) { Run([&] { form_.Graph_MouseMove(b, s, x, y); }); };
  auto* report = makeList(f.ReportBox, graph);
  report->setFocusPolicy(Qt::StrongFocus);
  clickButton(f.GraphClose, &Form1::GraphClose_Click);
  upButton(f.Expand, &Form1::Expand_MouseUp);
  clickButton(f.Report, &Form1::Report_Click);
  upButton(f.ExpandY, &Form1::ExpandY_MouseUp);
  upButton(f.MassAdjustment, &Form1::MassAdjustment_MouseUp);

  // Tab order by the controls' tab positions.
  std::vector<Control*> order;
  for (Control* c : f.Controls())
    if (c->TabIndex >= 0) order.push_back(c);
  std::sort(order.begin(), order.end(), [](Control* a, Control* b) { return a->TabIndex < b->TabIndex; });
  QWidget* previous = nullptr;
  for (Control* c : order) {
    QWidget* w = WidgetOf(*c);
    if (!w || w->focusPolicy() == Qt::NoFocus) continue;
    if (previous) setTabOrder(previous, w);
    previous = w;
  }
}

void MainWindow::ShowHelp(int button) { HelpWindows::Of(*this).Show(button); }

QWidget* MainWindow::WidgetOf(const Control& control) const {
  auto it = widgets_.find(&control);
  return it == widgets_.end() ? nullptr : it->second;
}

void MainWindow::SyncControl(Control& c) {
  QWidget* w = WidgetOf(c);
  if (!w) return;
  auto seen = seen_.find(&c);
  if (seen != seen_.end() && seen->second == c.Changes) return;
  seen_[&c] = c.Changes;
  syncing_ = true;
  w->setEnabled(c.Enabled);
  w->setVisible(c.Visible);
  if (auto* caption = dynamic_cast<CaptionControl*>(&c)) {
    if (auto* b = qobject_cast<QPushButton*>(w)) b->setText(ToUnicode(caption->Caption));
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(ToUnicode(caption->Caption));
    else if (auto* fit = qobject_cast<FitLabel*>(w)) fit->setText(ToUnicode(caption->Caption));
  } else if (auto* text = dynamic_cast<TextBox*>(&c)) {
    auto* edit = static_cast<QLineEdit*>(w);
    QString t = ToUnicode(text->Text);
    if (edit->text() != t) edit->setText(t);
  } else if (auto* list = dynamic_cast<ListBox*>(&c)) {
    auto* view = static_cast<QListView*>(w);
    models_[list]->Refresh();
    if (list->ListIndex() >= 0) {
      QModelIndex index = models_[list]->index(list->ListIndex());
      view->setCurrentIndex(index);
      view->scrollTo(index);
    } else {
      view->clearSelection();
      view->setCurrentIndex(QModelIndex());
    }
  } else if (&c == &form_.Bar) {
    w->setGeometry(PixelRect(c));
  } else if (auto* option = dynamic_cast<OptionButton*>(&c)) {
    static_cast<QRadioButton*>(w)->setChecked(option->Value);
  }
  syncing_ = false;
}

void MainWindow::SyncWindow() {
  if (seenWindow_ == form_.WindowChanges) return;
  seenWindow_ = form_.WindowChanges;
  setWindowTitle(ToUnicode(form_.Caption));
  setFixedSize(kClientWidth / kTwips, (form_.WindowHeight - kFrameHeight) / kTwips);
  if (QWidget* w = WidgetOf(*form_.Focus); w && w->isVisible()) w->setFocus();
}

void MainWindow::Sync() {
  for (Control* c : form_.Controls()) SyncControl(*c);
  // The option buttons carry no change counter of their own: mirror them every time.
  syncing_ = true;
  for (OptionButton* o : {&form_.Option0, &form_.OptionPlus, &form_.OptionMinus})
    static_cast<QRadioButton*>(WidgetOf(*o))->setChecked(o->Value);
  syncing_ = false;
  if (auto* g = static_cast<GraphView*>(WidgetOf(form_.Graph))) g->update();
  SyncWindow();
}

void MainWindow::RepaintNow(Control& control) {
  SyncControl(control);
  if (QWidget* w = WidgetOf(control)) w->repaint();
}

bool MainWindow::event(QEvent* e) {
  // The first showing runs the activation even where no window manager activates the window.
  if (e->type() == QEvent::Show && !activatedOnce_) {
    activatedOnce_ = true;
    bool result = QWidget::event(e);
    Run([&] { form_.FormActivate(); });
    return result;
  }
  if (e->type() == QEvent::WindowActivate) {
    // Activation runs when the window first shows and on every return from a help window; not when a message box
    // closes or the user comes back from another application.
    if (!activatedOnce_ || helpWasActive_) {
      activatedOnce_ = true;
      helpWasActive_ = false;
      bool result = QWidget::event(e);
      Run([&] { form_.FormActivate(); });
      return result;
    }
  }
  return QWidget::event(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
  e->accept();
  form_.Exit_Click();
}

}  // namespace zelm
