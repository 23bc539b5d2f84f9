// The help windows on an offscreen desktop: which button opens which window, one window each, hiding by the picture,
// and the main window's activation on return.
#include <QApplication>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "support/temp_dir.h"
#include "ui/app.h"
#include "ui/help_windows.h"

using namespace zelm;

class HelpWindowsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TempDir> dir_;
  std::unique_ptr<App> app_;

  QWidget* HelpButton() { return app_->window->WidgetOf(app_->form.Help); }
  HelpWindows& Help() { return HelpWindows::Of(*app_->window); }
  static int TopLevelNamed(const char* name) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == name) ++n;
    return n;
  }
  void ActivateMain() {
    app_->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(app_->window.get()));
  }

 private slots:
  void init() {
    dir_ = std::make_unique<TempDir>();
    std::filesystem::current_path(dir_->Path());
    app_ = std::make_unique<App>();
    app_->Start();
    QVERIFY(QTest::qWaitForWindowActive(app_->window.get()));
  }

  void cleanup() {
    app_.reset();
    std::filesystem::current_path("/");
    dir_.reset();
  }

  void rightClickOpensTheTutorialLeftTheReference() {
    QTest::mouseClick(HelpButton(), Qt::RightButton);
    HelpWindow* tut = Help().HelpFormTut();
    QVERIFY(tut);
    QVERIFY(!Help().HelpFormRef());
    QVERIFY(tut->isVisible());
    QCOMPARE(tut->windowTitle(), QString("ZELM Help Tutorial"));
    QVERIFY(QTest::qWaitForWindowActive(tut));

    QTest::mouseClick(HelpButton(), Qt::LeftButton);
    HelpWindow* ref = Help().HelpFormRef();
    QVERIFY(ref);
    QCOMPARE(ref->windowTitle(), QString("ZELM Help Reference"));
    QVERIFY(QTest::qWaitForWindowActive(ref));
    // Both can be open at once.
    QVERIFY(tut->isVisible());
  }

  void windowAndPictureSizes() {
    QTest::mouseClick(HelpButton(), Qt::LeftButton);
    QTest::mouseClick(HelpButton(), Qt::RightButton);
    HelpWindow* ref = Help().HelpFormRef();
    HelpWindow* tut = Help().HelpFormTut();
    QCOMPARE(ref->size(), QSize(965, 565));
    QCOMPARE(ref->Image1()->geometry(), QRect(8, 8, 954, 548));
    QCOMPARE(tut->size(), QSize(954, 590));
    QCOMPARE(tut->Image1()->geometry(), QRect(8, 8, 950, 558));
    // The tutorial picture runs 4 pixels past its window's right edge.
    QCOMPARE(tut->Image1()->geometry().right() - tut->rect().right(), 4);
    QVERIFY(!ref->Image1()->pixmap().isNull());
    QCOMPARE(ref->Image1()->pixmap().size(), QSize(954, 548));
    QCOMPARE(tut->Image1()->pixmap().size(), QSize(950, 558));
    // The pictures are the ones built into the program, not the placeholder.
    QCOMPARE(QImage(":/help/reference.png").size(), QSize(954, 548));
    QCOMPARE(QImage(":/help/tutorial.png").size(), QSize(950, 558));
    QCOMPARE(ref->Image1()->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
             QImage(":/help/reference.png").convertToFormat(QImage::Format_RGB32));
  }

  void otherButtonsAndTheSpaceKeyOpenNothing() {
    QTest::mouseClick(HelpButton(), Qt::MiddleButton);
    HelpButton()->setFocus();
    QTest::keyClick(HelpButton(), Qt::Key_Space);
    QTest::keyClick(HelpButton(), Qt::Key_Return);
    QVERIFY(!Help().HelpFormRef());
    QVERIFY(!Help().HelpFormTut());
    QCOMPARE(TopLevelNamed("HelpFormRef") + TopLevelNamed("HelpFormTut"), 0);
  }

  void secondClickBringsTheSameWindowForward() {
    QTest::mouseClick(HelpButton(), Qt::LeftButton);
    HelpWindow* first = Help().HelpFormRef();
    QVERIFY(QTest::qWaitForWindowActive(first));
    ActivateMain();
    QVERIFY(!first->isActiveWindow());

    QTest::mouseClick(HelpButton(), Qt::LeftButton);
    QCOMPARE(Help().HelpFormRef(), first);
    QVERIFY(QTest::qWaitForWindowActive(first));
    QCOMPARE(TopLevelNamed("HelpFormRef"), 1);

    // Hidden and shown again: still the same window.
    QTest::mouseClick(first->Image1(), Qt::LeftButton);
    QVERIFY(!first->isVisible());
    QTest::mouseClick(HelpButton(), Qt::LeftButton);
    QCOMPARE(Help().HelpFormRef(), first);
    QVERIFY(first->isVisible());
    QCOMPARE(TopLevelNamed("HelpFormRef"), 1);
  }

  void clickingOnePictureHidesOnlyItsWindow() {
    QTest::mouseClick(HelpButton(), Qt::LeftButton);
    QTest::mouseClick(HelpButton(), Qt::RightButton);
    HelpWindow* ref = Help().HelpFormRef();
    HelpWindow* tut = Help().HelpFormTut();
    QVERIFY(QTest::qWaitForWindowActive(tut));

    QTest::mouseClick(tut->Image1(), Qt::LeftButton);
    QVERIFY(!tut->isVisible());
    QVERIFY(ref->isVisible());

    // A press that is released outside the picture is no click.
    QTest::mousePress(ref->Image1(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(ref->Image1(), Qt::LeftButton, {}, QPoint(-5, -5));
    QVERIFY(ref->isVisible());
  }

  void returnFromHelpRunsTheActivation() {
    Form1& form = app_->form;
    // The state a search leaves: the plot shown, its ranges moved.
    form.XAxisStart = 40;
    form.XAxisEnd = 240;
    form.YAxisTop = " 50";
    form.SetHeight(kHeightPlot);
    app_->window->Sync();

    QTest::mouseClick(HelpButton(), Qt::LeftButton);
    HelpWindow* ref = Help().HelpFormRef();
    QVERIFY(QTest::qWaitForWindowActive(ref));
    QCOMPARE(form.WindowHeight, kHeightPlot);  // opening help changes nothing in the main window

    QTest::mouseClick(ref->Image1(), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(app_->window.get()));
    QTRY_COMPARE(form.WindowHeight, kHeightCompact);
    QCOMPARE(form.XAxisStart, 0.0);
    QCOMPARE(int(form.XAxisEnd), 200);
    QCOMPARE(form.YAxisTop, std::string("100"));
  }

  void messageBoxDoesNotRunTheActivation() {
    Form1& form = app_->form;
    form.SetHeight(kHeightPlot);
    form.XAxisStart = 40;
    app_->window->Sync();
    // A message box of the program opens and closes over the main window.
    QTimer::singleShot(0, [] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    app_->host.MessageBox("Would you also like to print these results?", "Zelmara", Buttons::YesNo, true);
    ActivateMain();
    QCOMPARE(form.WindowHeight, kHeightPlot);
    QCOMPARE(form.XAxisStart, 40.0);
  }
};

QTEST_MAIN(HelpWindowsTest)
#include "help_windows_test.moc"
