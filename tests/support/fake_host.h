// A host for tests: records what the program asks of the desktop and answers message boxes from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/controls.h"
#include "core/host.h"

namespace zelm {

class FakeHost : public Host {
 public:
  struct Box {
    std::string text, title;
    Buttons buttons;
    bool defaultYes = true;
  };

  explicit FakeHost(std::string dir = ".") : dir_(std::move(dir)) {}

  // Answers for the next message boxes, in order; when none is left a box answers OK (or Yes).
  std::deque<int> answers;
  std::vector<Box> boxes;
  std::string clipboard;
  std::vector<std::string> printed;
  std::string printerFont;
  double printerSize = 0;
  std::string printError;
  int yields = 0;
  float now = 0;
  // The monotonic clock: every reading moves it on by clockStep seconds (none unless a test sets it).
  double clock = 0;
  double clockStep = 0;
  int clockReadings = 0;
  std::vector<char> keys;
  bool ended = false;
  // Every text the help line showed when it was repainted at once, in order.
  std::vector<std::string> repaints;
  // Runs at every yield, so a test can press a button in the middle of a search.
  std::function<void()> onYield;

  int MessageBox(const std::string& text, const std::string& title, Buttons buttons, bool defaultYes) override {
    boxes.push_back({text, title, buttons, defaultYes});
    int answer = buttons == Buttons::YesNo ? kAnswerYes : kAnswerOk;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    return answer;
  }
  std::string ClipboardText() override { return clipboard; }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  void SetPrinterFont(const std::string& name, double points) override {
    printerFont = name;
    printerSize = points;
  }
  std::string PrintText(const std::string& text) override {
    if (printError.empty()) printed.push_back(text);
    return printError;
  }
  void Yield() override {
    ++yields;
    if (onYield) onYield();
  }
  float Timer() override { return now; }
  double Clock() override {
    ++clockReadings;
    clock += clockStep;
    return clock;
  }
  std::string CurrentDirectory() override { return dir_; }
  void SendKey(char code) override { keys.push_back(code); }
  void End() override { ended = true; }
  void RepaintNow(Control& control) override {
    if (auto* label = dynamic_cast<CaptionControl*>(&control); label && label->Name == "HelpLine")
      repaints.push_back(label->Caption);
  }

 private:
  std::string dir_;
};

}  // namespace zelm
