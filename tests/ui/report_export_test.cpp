// The two "Copy Results" buttons in the real window: the report list over the plot, and the clipboard as other
// programs see it.
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "text/text.h"
#include "support/temp_dir.h"
#include "ui/app.h"

using namespace zelm;

class ReportExportTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TempDir> dir_;
  std::unique_ptr<App> app_;

  static std::string Line(const std::string& formula, const char* mass) {
    std::string line = formula;
    line.resize(30, ' ');
    return line + mass;
  }

  // The result lines as other programs see them: Unicode superscript and subscript digits.
  static QString C10() { return QString::fromUtf8(u8"¹²C₁₀") + QString(25, ' ') + " 120"; }
  static QString C5() { return QString::fromUtf8(u8"¹²C₅") + QString(26, ' ') + " 60"; }

 private slots:
  void init() {
    dir_ = std::make_unique<TempDir>();
    std::filesystem::current_path(dir_->Path());
    app_ = std::make_unique<App>();
    app_->Start();
    QVERIFY(QTest::qWaitForWindowExposed(app_->window.get()));
  }

  void cleanup() {
    app_.reset();
    std::filesystem::current_path("/");
    dir_.reset();
  }

  void reportListCoversThePlotAndTheClipboardKeepsBareCRs() {
    Form1& form = app_->form;
    const std::string c10 = Line(ToSuperscript("12") + "C" + ToSubscript("10"), " 120");
    const std::string c5 = Line(ToSuperscript("12") + "C" + ToSubscript("5"), " 60");
    form.StoredResults[0] = '2';
    form.StoredResults[1] = c10;
    form.StoredResults[2] = c5;
    form.SelectedResult = c10;
    form.FragmentList = "   2";
    form.IsotopeLines[0][0] = 1;
    form.IsotopeLines[1] = {121.003355, 11};
    form.SetHeight(kHeightPlot);
    app_->window->Sync();

    QWidget* report = app_->window->WidgetOf(form.ReportBox);
    QVERIFY(!report->isVisible());
    QTest::mouseClick(app_->window->WidgetOf(form.Report), Qt::LeftButton);
    QVERIFY(report->isVisible());
    QCOMPARE(report->parentWidget(), app_->window->WidgetOf(form.Graph));
    QCOMPARE(report->geometry(), QRect(0, 0, 677, 172));

    const QString expected = C10() + "\r  Isotope line: 121.003355 at  11%\r     " + C5() +
                             "\r          Remaining Fragment: 60\r";
    QCOMPARE(QApplication::clipboard()->text(), expected);
    auto* view = static_cast<QListView*>(report);
    QCOMPARE(view->model()->rowCount(), 4);
  }

  void copyAllAnsweredNoLeavesCrLfLines() {
    Form1& form = app_->form;
    form.Results.AddItem(Line(ToSuperscript("12") + "C" + ToSubscript("5"), " 60"));
    form.Results.AddItem(Line(ToSuperscript("12") + "C" + ToSubscript("10"), " 120"));
    app_->window->Sync();

    QString question;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      question = box->windowTitle() + "|" + box->text() + "|" +
                 (box->defaultButton() == box->button(QMessageBox::Yes) ? "Yes" : "other");
      box->button(QMessageBox::No)->click();
    });
    QTest::mouseClick(app_->window->WidgetOf(form.CopyAll), Qt::LeftButton);

    QCOMPARE(question, QString("Zelmara|Would you also like to print these results?|Yes"));
    QCOMPARE(QApplication::clipboard()->text(),
             C10() + "\r\n" + C5() + "\r\n");
    auto* results = static_cast<QListView*>(app_->window->WidgetOf(form.Results));
    QCOMPARE(results->currentIndex().row(), 1);
    QCOMPARE(app_->window->focusWidget(), app_->window->WidgetOf(form.FindMass));
  }
};

QTEST_MAIN(ReportExportTest)
#include "report_export_test.moc"
