#include "ui/qt_host.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTime>
#include <cstdlib>

#include "core/controls.h"
#include "ui/codec.h"
#include "ui/fonts.h"
#include "ui/main_window.h"

namespace zelm {

QtHost::QtHost() = default;

QtHost::~QtHost() { FinishPrinting(); }

int QtHost::MessageBox(const std::string& text, const std::string& title, Buttons buttons, bool defaultYes) {
  return ShowBox(ToUnicode(text), ToUnicode(title), buttons, defaultYes);
}

int QtHost::ShowBox(const QString& text, const QString& title, Buttons buttons, bool defaultYes) {
  QMessageBox box(window_);
  box.setWindowTitle(title);
  box.setText(text);
  QMessageBox::StandardButton yes = QMessageBox::Ok, no = QMessageBox::NoButton;
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      no = QMessageBox::Cancel;
      break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      yes = QMessageBox::Yes;
      no = QMessageBox::No;
      break;
  }
  box.setDefaultButton(defaultYes || no == QMessageBox::NoButton ? yes : no);
  if (no != QMessageBox::NoButton) box.setEscapeButton(no);
  ++messageBoxes_;
  int answer = box.exec();
  --messageBoxes_;
  if (answer == QMessageBox::Ok) return kAnswerOk;
  if (answer == QMessageBox::Yes) return kAnswerYes;
  if (answer == QMessageBox::No) return kAnswerNo;
  return kAnswerCancel;
}

std::string QtHost::ClipboardText() { return FromUnicode(QApplication::clipboard()->text()); }

// Coded superscript and subscript digits go out as Unicode digits, so the text pastes anywhere as formulas. Line ends
// are passed as they are: CR alone for the peak report, CR LF for the results list.
void QtHost::SetClipboardText(const std::string& text) { QApplication::clipboard()->setText(ToUnicode(text)); }

void QtHost::SetPrinterFont(const std::string& name, double points) {
  printerFontName_ = name;
  printerFontPoints_ = points;
}

QFont QtHost::PrinterFont() const {
  return SubstituteFont(QString::fromStdString(printerFontName_), printerFontPoints_);
}

namespace {

constexpr char kPrintTitle[] = "ZELM Print";

// Draws the lines of one print (separated by CR LF) from the height y down, starting new pages as needed. The text
// is followed by one line end: a text that ends with CR LF leaves one empty line after it.
void DrawPrint(QPrinter& printer, QPainter& painter, const QString& text, int& y) {
  QFontMetrics metrics(painter.font(), &printer);
  const int pageHeight = painter.viewport().height();
  for (const QString& line : text.split("\r\n")) {
    if (y > 0 && y + metrics.height() > pageHeight) {
      printer.newPage();
      y = 0;
    }
    painter.drawText(0, y + metrics.ascent(), line);
    y += metrics.height();
  }
}

}  // namespace

QPrinterInfo QtHost::DefaultPrinter() const { return QPrinterInfo::defaultPrinter(); }

QString QtHost::ChoosePdfFile(const QString& suggested) {
  ++messageBoxes_;
  QString path = QFileDialog::getSaveFileName(window_, "ZELM Save Print as PDF", suggested, "PDF files (*.pdf)");
  --messageBoxes_;
  return path;
}

std::string QtHost::PrintText(const std::string& text) {
  QPrinterInfo printer = DefaultPrinter();
  if (printer.isNull()) return SaveAsPdf(text);
  return PrintOnPrinter(printer, text);
}

std::string QtHost::PrintOnPrinter(const QPrinterInfo& info, const std::string& text) {
  // The document stays open for every print of the session; it goes to the printer when the program ends.
  if (!printer_) {
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
      painter_.reset();
      printer_.reset();
      return "The printer " + info.printerName().toStdString() + " could not be started.";
    }
    painter_->setFont(PrinterFont());
    printY_ = 0;
  }
  DrawPrint(*printer_, *painter_, ToUnicode(text), printY_);
  return {};
}

std::string QtHost::SaveAsPdf(const std::string& text) {
  // Without a printer the user may keep the print as a PDF file instead. The file is chosen at the first print; every
  // later print of the session is added to it, as it would be to the printer's open document. The file is rewritten
  // whole each time, so it is always complete.
  const bool first = pdfPath_.isEmpty();
  if (first) {
    if (ShowBox("No printer is available. Would you like to save the print as a PDF file instead?", kPrintTitle,
                Buttons::YesNo, true) != kAnswerYes)
      return {};
    QString path = ChoosePdfFile(QDir::current().filePath("ZELM results.pdf"));
    if (path.isEmpty()) return {};
    if (QFileInfo(path).suffix().isEmpty()) path += ".pdf";
    pdfPath_ = path;
  }
  pdfPrints_.append(ToUnicode(text));

  const QString part = pdfPath_ + ".part";
  bool written = false;
  {
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(part);
    pdf.setDocName("ZELM results");
    QPainter painter;
    if (painter.begin(&pdf)) {
      painter.setFont(PrinterFont());
      int y = 0;
      for (const QString& print : pdfPrints_) DrawPrint(pdf, painter, print, y);
      written = painter.end();
    }
  }
  if (written && QFile::exists(pdfPath_)) written = QFile::remove(pdfPath_);
  if (written) written = QFile::rename(part, pdfPath_);
  if (!written) {
    QFile::remove(part);
    const std::string failed = "The PDF file " + FromUnicode(QDir::toNativeSeparators(pdfPath_)) +
                               " could not be written.";
    pdfPrints_.removeLast();
    if (first) pdfPath_.clear();
    return failed;
  }
  ShowBox((first ? "The print has been saved as a PDF file:\n" : "The print has been added to the PDF file:\n") +
              QDir::toNativeSeparators(pdfPath_),
          kPrintTitle, Buttons::Ok, true);
  return {};
}

void QtHost::FinishPrinting() {
  if (painter_) painter_->end();
  painter_.reset();
  printer_.reset();
}

void QtHost::Yield() {
  // Show what the running handler changed so far (the progress bar, the lines found), then let events in.
  if (window_) window_->Sync();
  QApplication::processEvents(QEventLoop::AllEvents);
}

float QtHost::Timer() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0f; }

std::string QtHost::CurrentDirectory() { return QDir::currentPath().toStdString(); }

void QtHost::SendKey(char code) {
  QWidget* target = QApplication::focusWidget();
  if (!target) return;
  QString text = ToUnicode(std::string(1, code));
  QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
}

void QtHost::End() {
  // At once, also from inside a search's yield: hand the print document over, then leave.
  FinishPrinting();
  if (onEnd) {
    onEnd();
    return;
  }
  std::exit(0);
}

void QtHost::RepaintNow(Control& control) {
  if (window_) window_->RepaintNow(control);
}

}  // namespace zelm
