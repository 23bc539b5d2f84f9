#include "ui/qt_host.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
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
  QMessageBox box(window_);
  box.setWindowTitle(ToUnicode(title));
  box.setText(ToUnicode(text));
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

void QtHost::SetClipboardText(const std::string& text) { QApplication::clipboard()->setText(ToUnicode(text)); }

void QtHost::SetPrinterFont(const std::string& name, double points) {
  printerFontName_ = name;
  printerFontPoints_ = points;
}

std::string QtHost::PrintText(const std::string& text) {
  if (QPrinterInfo::availablePrinters().isEmpty()) return "No printer is available.";
  if (!printer_) {
    printer_ = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
      painter_.reset();
      printer_.reset();
      return "The printer could not be started.";
    }
    painter_->setFont(SubstituteFont(QString::fromStdString(printerFontName_), printerFontPoints_));
    printY_ = 0;
  }
  QFontMetrics metrics(painter_->font(), printer_.get());
  const int pageHeight = painter_->viewport().height();
  QString all = ToUnicode(text);
  for (const QString& line : all.split("\r\n")) {
    if (printY_ + metrics.height() > pageHeight) {
      printer_->newPage();
      printY_ = 0;
    }
    painter_->drawText(0, printY_ + metrics.ascent(), line);
    printY_ += metrics.height();
  }
  return {};
}

void QtHost::FinishPrinting() {
  if (painter_) painter_->end();
  painter_.reset();
  printer_.reset();
}

void QtHost::Yield() { QApplication::processEvents(QEventLoop::AllEvents); }

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
