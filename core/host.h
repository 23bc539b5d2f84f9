// The services the program takes from the desktop. The Qt edge implements them; tests use a fake.
// Every text crossing this interface is 8-bit in the label coding.
#pragma once

#include <chrono>
#include <string>

namespace zelm {

struct Control;

// Message box buttons and answers, with the values callers test for.
enum class Buttons { Ok, OkCancel, YesNo };
constexpr int kAnswerOk = 1;
constexpr int kAnswerCancel = 2;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

// Mouse button and shift codes of mouse and key events.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kShiftKey = 1;
constexpr int kCtrlKey = 2;
constexpr int kAltKey = 4;

class Host {
 public:
  virtual ~Host() = default;

  // Modal message box; returns kAnswerOk, kAnswerYes, or another value for Cancel, No and closing the box.
  // defaultYes makes Yes (or OK) the default button.
  virtual int MessageBox(const std::string& text, const std::string& title, Buttons buttons,
                         bool defaultYes = true) = 0;
  virtual std::string ClipboardText() = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  // The printer's font, set once at start-up.
  virtual void SetPrinterFont(const std::string& name, double points) = 0;
  // Prints one text whose lines are separated by CR LF. Returns an empty text, or what went wrong.
  virtual std::string PrintText(const std::string& text) = 0;
  // Handles every pending user-interface event before it returns.
  virtual void Yield() = 0;
  // Seconds since midnight, with fractions.
  virtual float Timer() = 0;
  // Seconds on a clock that never goes back, for measuring how long work has run.
  virtual double Clock() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  }
  // Full path of the current directory.
  virtual std::string CurrentDirectory() = 0;
  // One character reaches the focused control as if typed.
  virtual void SendKey(char code) = 0;
  // Ends the program at once.
  virtual void End() = 0;
  // Repaints one control now, while a handler is still running.
  virtual void RepaintNow(Control& control) = 0;
};

}  // namespace zelm
