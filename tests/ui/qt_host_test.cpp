// Printing on a desktop without a printer: the PDF file taken instead.
#include <QApplication>
#include <QFile>
#include <QtTest>
#include <memory>

#include "text/text.h"
#include "support/temp_dir.h"
#include "ui/qt_host.h"

using namespace zelm;

namespace {

// A desktop without a printer, whose boxes answer from a script and whose file dialog returns a set path.
class NoPrinterHost : public QtHost {
 public:
  QStringList texts;
  QList<int> answers;  // for the boxes, in order; Yes (or OK) when none is left
  QString chosen;
  int dialogs = 0;

 protected:
  QPrinterInfo DefaultPrinter() const override { return QPrinterInfo(); }
  QString ChoosePdfFile(const QString&) override {
    ++dialogs;
    return chosen;
  }
  int ShowBox(const QString& text, const QString&, Buttons buttons, bool) override {
    texts.append(text);
    if (!answers.isEmpty()) return answers.takeFirst();
    return buttons == Buttons::YesNo ? kAnswerYes : kAnswerOk;
  }
};

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class QtHostTest : public QObject {
  Q_OBJECT

 private slots:
  void withoutPrinterThePrintGoesToTheChosenPdf() {
    TempDir dir;
    NoPrinterHost host;
    host.chosen = QString::fromStdString(dir.File("results"));  // no suffix: .pdf is added
    const std::string print = ToSuperscript("12") + "C" + ToSubscript("10") + "   120\r\n";
    QCOMPARE(host.PrintText(print), std::string());
    const QString path = host.chosen + ".pdf";
    QCOMPARE(host.PdfPath(), path);
    QVERIFY(FileBytes(path).startsWith("%PDF"));
    QVERIFY(!QFile::exists(path + ".part"));
    QCOMPARE(host.texts.size(), 2);
    QVERIFY(host.texts[0].startsWith("No printer is available."));
    QVERIFY(host.texts[1].startsWith("The print has been saved as a PDF file:"));
    QVERIFY(host.texts[1].endsWith(path));
    const qint64 firstSize = FileBytes(path).size();

    // A later print is added to the same file without asking again.
    for (int i = 0; i < 80; ++i) QCOMPARE(host.PrintText(print), std::string());
    QCOMPARE(host.dialogs, 1);
    QCOMPARE(host.texts.size(), 82);
    QVERIFY(host.texts.last().startsWith("The print has been added to the PDF file:"));
    QVERIFY(FileBytes(path).size() > firstSize);
  }

  void declinedPdfWritesNothingAndAsksAgainNextTime() {
    TempDir dir;
    NoPrinterHost host;
    host.chosen = QString::fromStdString(dir.File("results.pdf"));
    host.answers = {kAnswerNo};
    QCOMPARE(host.PrintText("x\r\n"), std::string());
    QCOMPARE(host.dialogs, 0);
    QVERIFY(!QFile::exists(host.chosen));

    host.chosen.clear();  // the file dialog cancelled
    QCOMPARE(host.PrintText("x\r\n"), std::string());
    QCOMPARE(host.dialogs, 1);
    QVERIFY(host.PdfPath().isEmpty());
  }

  void unwritablePdfIsReported() {
    NoPrinterHost host;
    host.chosen = "/nonexistent-folder/results.pdf";
    const std::string problem = host.PrintText("x\r\n");
    QVERIFY(problem.find("could not be written") != std::string::npos);
    QVERIFY(host.PdfPath().isEmpty());
    QCOMPARE(host.texts.size(), 1);  // the question only, no "saved" message
  }
};

QTEST_MAIN(QtHostTest)
#include "qt_host_test.moc"
