// The desktop services on Qt: message boxes, clipboard, printer, yield, timer, keystrokes, end, repaint now.
#pragma once

#include <QPointer>
#include <QPrinterInfo>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "core/host.h"

class QPrinter;
class QPainter;
class QWidget;

namespace zelm {

class MainWindow;

class QtHost : public Host {
 public:
  QtHost();
  ~QtHost() override;
  void SetWindow(MainWindow* window) { window_ = window; }

  int MessageBox(const std::string& text, const std::string& title, Buttons buttons, bool defaultYes) override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override;
  void SetPrinterFont(const std::string& name, double points) override;
  std::string PrintText(const std::string& text) override;
  void Yield() override;
  float Timer() override;
  std::string CurrentDirectory() override;
  void SendKey(char code) override;
  void End() override;
  void RepaintNow(Control& control) override;

  // Hands the open print document to the printer (at the end of the program).
  void FinishPrinting();
  // True while a message box of the program is open, so the main window can tell its return from a help window's.
  bool InMessageBox() const { return messageBoxes_ > 0; }
  // Replaces the end of the process (tests end their own way).
  std::function<void()> onEnd;
  // The PDF file that takes the prints while no printer is available; empty until the user chose one.
  const QString& PdfPath() const { return pdfPath_; }

 protected:
  // The desktop's side of printing and asking, replaced in tests.
  virtual QPrinterInfo DefaultPrinter() const;
  virtual QString ChoosePdfFile(const QString& suggested);
  virtual int ShowBox(const QString& text, const QString& title, Buttons buttons, bool defaultYes);

 private:
  std::string PrintOnPrinter(const QPrinterInfo& printer, const std::string& text);
  std::string SaveAsPdf(const std::string& text);
  QFont PrinterFont() const;

  MainWindow* window_ = nullptr;
  std::string printerFontName_ = "Chemistry Serif";
  double printerFontPoints_ = 16;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
  int printY_ = 0;
  int messageBoxes_ = 0;
  // Without a printer the prints of the session go to one PDF file, rewritten whole at every print.
  QString pdfPath_;
  QStringList pdfPrints_;
};

}  // namespace zelm
