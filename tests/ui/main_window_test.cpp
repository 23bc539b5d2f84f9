// The main window on the offscreen platform: geometry, start-up and activation, heights, text coding, exit.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QHelpEvent>

#include "core/result_line.h"
#include "text/text.h"
#include "core/graph_surface.h"
#include "ui/app.h"
#include "ui/codec.h"
#include "ui/widgets.h"

using namespace zelm;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir work_;
  std::unique_ptr<App> app_;
  bool ended_ = false;

  QWidget* W(const Control& c) { return app_->window->WidgetOf(c); }

  // Types masses into the mass box, presses Enter, and gives the results list.
  QListView* TypeAndEnter(const char* masses) {
    auto* box = static_cast<QLineEdit*>(W(app_->form.FindMass));
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, masses);
    QTest::keyClick(box, Qt::Key_Return);
    return static_cast<QListView*>(W(app_->form.Results));
  }

 private slots:
  void init() {
    QVERIFY(work_.isValid());
    QDir::setCurrent(work_.path());
    app_ = std::make_unique<App>();
    ended_ = false;
    app_->host.onEnd = [this] { ended_ = true; };
    app_->Start();
    QVERIFY(QTest::qWaitForWindowExposed(app_->window.get()));
    app_->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(app_->window.get()));
  }
  void cleanup() { app_.reset(); }

  void resultLinesShowTheirFormulaAndMassAsTheCoreReadsThem() {
    // The view draws the two parts the core reads from a line: formulas around the column's width, masses of either
    // sign.
    for (int width : {28, 29, 30, 31, 40}) {
      const std::string formula = std::string(static_cast<size_t>(width - 1), 'C') + SubDigit(5);
      for (const char* mass : {" 120.5", "-18.01"}) {
        const std::string line = ResultLine(formula, mass);
        const auto [shownFormula, shownMass] = ResultLineDelegate::Split(ToUnicode(line));
        QCOMPARE(shownFormula, ToUnicode(formula));
        QCOMPARE(shownMass, ToUnicode(std::string(Trim(mass))));
      }
    }
  }

  void everyControlStandsAtItsPlace() {
    Form1& f = app_->form;
    for (Control* c : f.Controls()) {
      QWidget* w = W(*c);
      QVERIFY2(w, c->Name.c_str());
      if (c == &f.Bar) continue;  // its width follows the search
      QCOMPARE(w->geometry(), QRect(c->Left / 15, c->Top / 15, c->Width / 15, c->Height / 15));
    }
    QCOMPARE(W(f.Option0)->parentWidget(), W(f.Frame1));
    QCOMPARE(W(f.Label2)->parentWidget(), W(f.Frame1));
    QCOMPARE(W(f.ReportBox)->parentWidget(), W(f.Graph));
    // The library button lies wholly under the mass box.
    QRect button = W(f.WorkListBtn)->geometry();
    QCOMPARE(app_->window->childAt(button.center()), W(f.FindMass));
    QCOMPARE(app_->window->childAt(button.topRight()), W(f.FindMass));
    QCOMPARE(app_->window->width(), 686);
  }

  void startStateIsTheDesignedOne() {
    Form1& f = app_->form;
    QCOMPARE(app_->window->height(), (3360 - 385) / 15);
    QCOMPARE(static_cast<QLineEdit*>(W(f.FindMass))->text(), QString("120"));
    QCOMPARE(QApplication::focusWidget(), W(f.FindMass));
    auto* work = static_cast<QListView*>(W(f.WorkList));
    QCOMPARE(work->model()->rowCount(), f.WorkList.Count());
    QVERIFY(f.WorkList.Count() > 0);
    QCOMPARE(work->model()->index(1, 0).data().toString(), ToUnicode(f.WorkList.Item(1)));
    QVERIFY(work->model()->index(1, 0).data().toString().startsWith(QString::fromUtf8("¹²C, 12")));
    QCOMPARE(static_cast<QListView*>(W(f.Results))->model()->rowCount(), 0);
    QVERIFY(static_cast<QRadioButton*>(W(f.Option0))->isChecked());
    QVERIFY(!static_cast<QRadioButton*>(W(f.OptionPlus))->isChecked());
    QVERIFY(!static_cast<QRadioButton*>(W(f.OptionMinus))->isChecked());
    QVERIFY(!W(f.Teach)->isEnabled());
    QVERIFY(!W(f.Confidence)->isEnabled());
    QVERIFY(W(f.QuickSearch)->isEnabled());
    QVERIFY(W(f.ReportBox)->isHidden());
    auto* help = static_cast<FitLabel*>(W(f.HelpLine));
    QVERIFY(help->text().startsWith(
        "Help Line: Enter a Search Mass and click on Search. Click Help for more information."));
    QCOMPARE(static_cast<QPushButton*>(W(f.MaxMassN))->text(), QString("15"));
    QCOMPARE(static_cast<QPushButton*>(W(f.WorkListBtn))->text(), QString("Quick"));
    QCOMPARE(W(f.Bar)->width(), 0);
    QVERIFY(app_->window->windowTitle().startsWith("ZELM: Zelmara            "));
    QVERIFY(!(app_->window->windowFlags() & Qt::WindowMaximizeButtonHint));
  }

  void tabOrderFollowsTheTable() {
    Form1& f = app_->form;
    QCOMPARE(W(f.FindMass)->nextInFocusChain(), W(f.WorkList));
    QWidget* w = W(f.Range);
    QCOMPARE(w->nextInFocusChain(), W(f.Exit));
  }

  void heightsFollowTheModel() {
    Form1& f = app_->form;
    f.SetHeight(kHeightPlot);
    app_->window->Sync();
    QCOMPARE(app_->window->height(), (6400 - 385) / 15);
    QVERIFY(W(f.Graph)->isVisible());
    QVERIFY(W(f.Graph)->geometry().bottom() < app_->window->height());
    f.SetHeight(kHeightSearching);
    app_->window->Sync();
    QCOMPARE(app_->window->height(), (3420 - 385) / 15);
  }

  void activationRunsAgainOnlyAfterAHelpWindow() {
    Form1& f = app_->form;
    f.SetHeight(kHeightPlot);
    f.XAxisEnd = 300;
    app_->window->Sync();
    // A message box of the program closing, or another window, does not run it.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    app_->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(app_->window.get()));
    QCOMPARE(f.XAxisEnd, int16_t(300));
    QCOMPARE(f.WindowHeight, kHeightPlot);
    // Coming back from a help window runs it: compact height, ranges reset.
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    app_->window->NoteHelpWindowActive();
    app_->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(app_->window.get()));
    QTRY_COMPARE(f.XAxisEnd, int16_t(200));
    QCOMPARE(f.WindowHeight, kHeightCompact);
    QCOMPARE(app_->window->height(), (3360 - 385) / 15);
  }

  void everyByteRoundTripsThroughTheMassBoxAndClipboard() {
    Form1& f = app_->form;
    std::string all;
    for (int b = 32; b < 256; ++b) all += static_cast<char>(b);
    f.FindMass.SetText(all);
    app_->window->Sync();
    auto* box = static_cast<QLineEdit*>(W(f.FindMass));
    QCOMPARE(box->text().size(), 224);
    QCOMPARE(FromUnicode(box->text()), all);
    // Typing into the box reaches the model as bytes.
    box->setFocus();
    box->selectAll();
    for (QChar c : QString::fromUtf8("¹²C₁₀")) {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(box, &key);
    }
    QCOMPARE(f.FindMass.Text, ToSuperscript("12") + "C" + ToSubscript("10"));
    app_->host.SetClipboardText(all);
    QCOMPARE(app_->host.ClipboardText(), all);
    QCOMPARE(QApplication::clipboard()->text().left(3), QString(" !\""));
    for (int b = 0; b < 256; ++b) QCOMPARE(int(static_cast<unsigned char>(FromUnicode(ToUnicode(std::string(1, char(b))))[0])), b);
  }

  void sendKeyTypesAtTheCaret() {
    Form1& f = app_->form;
    auto* box = static_cast<QLineEdit*>(W(f.FindMass));
    box->setFocus();
    box->setCursorPosition(1);
    app_->host.SendKey(SuperDigit(3));
    QCOMPARE(f.FindMass.Text, '1' + ToSuperscript("3") + "20");
  }

  void helpLineRepaintsAtOnce() {
    Form1& f = app_->form;
    f.SetHelp(" Now sorting index.", true);
    QCOMPARE(static_cast<FitLabel*>(W(f.HelpLine))->text(), QString(" Now sorting index."));
  }

  void typingMassesAndEnterSearchesAndDraws() {
    Form1& f = app_->form;
    auto* results = TypeAndEnter("120,60");
    QCOMPARE(results->model()->rowCount(), 4);
    QCOMPARE(results->currentIndex().row(), 3);
    const QString c5 = QString::fromUtf8("¹²C₅");
    QCOMPARE(results->model()->index(3, 0).data().toString().left(4), c5);
    QCOMPARE(static_cast<FitLabel*>(W(f.HelpLine))->text(), "Results:" + c5 + " has  0 fragment(s) ");
    QCOMPARE(app_->window->height(), (6400 - 385) / 15);
    QVERIFY(W(f.Graph)->isVisible());
    bool green = false;
    for (const GraphItem& item : f.Graph.Items) green |= item.colour == kPlotGreen && item.x1 == 60;
    QVERIFY(green);
    // A click on the ten carbons names the five carbons as its fragment.
    QRect ten = results->visualRect(results->model()->index(2, 0));
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, ten.center());
    QCOMPARE(static_cast<FitLabel*>(W(f.HelpLine))->text(),
             "Results:" + QString::fromUtf8("¹²C₁₀") + " has  1 fragment(s) [" + c5 + "]");
  }

  void eachResultLineHasATooltipWithItsHillFormulaErrorAndRdbe() {
    Form1& f = app_->form;
    auto* results = TypeAndEnter("120,60");
    QAbstractItemModel* model = results->model();
    QCOMPARE(model->rowCount(), 4);
    auto tip = [&](int row) { return model->index(row, 0).data(Qt::ToolTipRole).toString(); };
    QCOMPARE(model->index(2, 0).data().toString().left(5), QString::fromUtf8("¹²C₁₀"));
    QCOMPARE(tip(2), QString::fromUtf8("C₁₀\nerror 0.00 ppm (0.00 mDa)\nRDBE 11"));
    QCOMPARE(tip(3), QString::fromUtf8("C₅\nerror 0.00 ppm (0.00 mDa)\nRDBE 6"));
    // Mg3CH6NO weighs 120.00006390838: 0.0639 mDa above the measured 120, -0.5326 ppm.
    int magnesium = -1;
    for (int row = 0; row < model->rowCount(); ++row)
      if (model->index(row, 0).data().toString().startsWith(QString::fromUtf8("¹H₆¹²C₁¹⁴N₁¹⁶O₁²⁴Mg₃"))) magnesium = row;
    QVERIFY(magnesium >= 0);
    QCOMPARE(tip(magnesium), QString::fromUtf8("CH₆Mg₃NO\nerror -0.53 ppm (-0.06 mDa)\nRDBE -0.5"));
    // The list shows it when the mouse rests on the line; the line's own text is unchanged.
    const QRect five = results->visualRect(model->index(3, 0));
    QHelpEvent help(QEvent::ToolTip, five.center(), results->viewport()->mapToGlobal(five.center()));
    QApplication::sendEvent(results->viewport(), &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), tip(3));
    QCOMPARE(model->index(3, 0).data().toString(), ToUnicode(f.Results.Item(3)));
    QToolTip::hideText();
  }

  void stopIsSeenAtTheSearchsYield() {
    Form1& f = app_->form;
    // The click on Stop waits in the event queue until the search yields.
    int barDuringSearch = -1;
    QTimer::singleShot(0, this, [&] {
      barDuringSearch = W(app_->form.Bar)->width();
      QTest::mouseClick(W(app_->form.Stop), Qt::LeftButton);
    });
    QTest::mouseClick(W(f.QuickSearch), Qt::LeftButton);
    QCOMPARE(f.StopRequested, int16_t(1));
    // Stopped at the first change of the top-level position: nothing below the heaviest entry was searched, the
    // bar keeps its width.
    QCOMPARE(f.Results.Count(), 0);
    QCOMPARE(static_cast<FitLabel*>(W(f.HelpLine))->text(), QString("No match found."));
    QCOMPARE(W(f.Bar)->width(), int((f.IndexCount - 2) * 1935.0 / f.IndexCount) / 15);
    // The bar showed the progress while the search waited for events.
    QCOMPARE(barDuringSearch, W(f.Bar)->width());
    QCOMPARE(QApplication::focusWidget(), W(f.FindMass));
  }

  void exitAndTheCloseBoxEndTheProgram() {
    QTest::mouseClick(W(app_->form.Exit), Qt::LeftButton);
    QVERIFY(ended_);
    ended_ = false;
    app_->window->close();
    QVERIFY(ended_);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
