// The real window driven by mouse and keys: copy mode, Delete with its confirmation, coded digits typed with Alt and
// Ctrl, and Enter starting a search.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "text/text.h"
#include "ui/app.h"

using namespace zelm;

class WindowEditingTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir work_;
  std::unique_ptr<App> app_;

  QWidget* W(const Control& c) { return app_->window->WidgetOf(c); }
  QListView* WorkList() { return static_cast<QListView*>(W(app_->form.WorkList)); }
  QByteArray Quick() {
    QFile f(work_.filePath("EMassQuick.txt"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void ClickRow(QListView* view, int row) {
    QRect r = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
  }
  // Answers the next message box with the given button; records its text.
  void Answer(QMessageBox::StandardButton button, QString* text = nullptr) {
    QTimer::singleShot(0, this, [=] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      if (text) *text = box->windowTitle() + "|" + box->text();
      box->button(button)->click();
    });
  }

 private slots:
  void init() {
    QVERIFY(work_.isValid());
    QDir::setCurrent(work_.path());
    QFile::remove(work_.filePath("EMassQuick.txt"));
    QFile quick(work_.filePath("EMassQuick.txt"));
    QVERIFY(quick.open(QIODevice::WriteOnly));
    quick.write("C,12\r\nH,1.0078\r\n");
    quick.close();
    app_ = std::make_unique<App>();
    app_->Start();
    QVERIFY(QTest::qWaitForWindowExposed(app_->window.get()));
  }
  void cleanup() { app_.reset(); }

  void copyModeRoundTrip() {
    QCOMPARE(WorkList()->model()->rowCount(), 2);
    QTest::mouseClick(W(app_->form.Load), Qt::LeftButton);
    QVERIFY(WorkList()->model()->rowCount() > 50);  // the enhanced library
    QCOMPARE(app_->form.PendingEntry, std::string("COPYMODE"));
    const std::string picked = app_->form.WorkList.Item(3);
    ClickRow(WorkList(), 3);
    QCOMPARE(app_->form.PendingEntry, std::string());
    QCOMPARE(WorkList()->model()->rowCount(), 3);
    QCOMPARE(app_->form.WorkList.Item(2), picked);
    QCOMPARE(Quick(), QByteArray("C,12\r\nH,1.0078\r\n") + QByteArray::fromStdString(picked) + "\r\n");
    QCOMPARE(QApplication::focusWidget(), W(app_->form.FindMass));
  }

  void deleteAsksAndCancelKeepsTheFile() {
    ClickRow(WorkList(), 0);
    QString asked;
    Answer(QMessageBox::Cancel, &asked);
    QTest::mouseClick(W(app_->form.Cut), Qt::LeftButton);
    QCOMPARE(asked, QString("ZELM Item Delete|Click OK to confirm deletion."));
    QCOMPARE(Quick(), QByteArray("C,12\r\nH,1.0078\r\n"));
    ClickRow(WorkList(), 0);
    Answer(QMessageBox::Ok);
    QTest::mouseClick(W(app_->form.Cut), Qt::LeftButton);
    QCOMPARE(WorkList()->model()->rowCount(), 1);
    QCOMPARE(Quick(), QByteArray("H,1.0078\r\n"));
  }

  void altAndCtrlDigitsTypeCodedDigits() {
    auto* box = static_cast<QLineEdit*>(W(app_->form.FindMass));
    box->setFocus();
    box->clear();
    app_->form.FindMass.Text.clear();
    QTest::keyClick(box, Qt::Key_1, Qt::AltModifier);
    QTest::keyClick(box, Qt::Key_2, Qt::AltModifier);
    QTest::keyClicks(box, "C");
    QTest::keyClick(box, Qt::Key_1, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(app_->form.FindMass.Text, ToSuperscript("12") + "C" + ToSubscript("10"));
  }

  void enterSearchesWithTheQuickLibrary() {
    auto* box = static_cast<QLineEdit*>(W(app_->form.FindMass));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(app_->form.Results.Count() >= 1);
    QCOMPARE(app_->form.StoredResults[0], std::string("1"));
  }
};

QTEST_MAIN(WindowEditingTest)
#include "window_editing_test.moc"
