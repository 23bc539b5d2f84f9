// Plain models of the main window's controls. The desktop view mirrors them; handlers change them.
// Each model carries a change counter so the view can tell what to refresh.
#pragma once

#include <limits>
#include <string>
#include <vector>

namespace zelm {

struct Control {
  Control(std::string name, int left, int top, int width, int height, int tab)
      : Name(std::move(name)), Left(left), Top(top), Width(width), Height(height), TabIndex(tab) {}
  virtual ~Control() = default;

  std::string Name;
  int Left, Top, Width, Height;  // twips
  int TabIndex;
  bool Enabled = true;
  bool Visible = true;
  unsigned Changes = 0;  // raised at every change the view must show

  void Touch() { ++Changes; }
  void SetEnabled(bool on) { Enabled = on, Touch(); }
  void SetVisible(bool on) { Visible = on, Touch(); }
};

// Buttons, labels and frames: a caption.
struct CaptionControl : Control {
  using Control::Control;
  std::string Caption;
  void SetCaption(std::string text) { Caption = std::move(text), Touch(); }
};

struct TextBox : Control {
  using Control::Control;
  std::string Text;
  void SetText(std::string text) { Text = std::move(text), Touch(); }
};

struct OptionButton : Control {
  using Control::Control;
  bool Value = false;
};

// The progress bar: a filled rectangle whose width changes.
struct BarShape : Control {
  using Control::Control;
  void SetWidth(float twips) { Width = static_cast<int>(twips), Touch(); }
};

// A list box. A sorted one orders its items by the ordering of coded texts; equal items keep the order in which they
// came. Adding is cheap (append); the order is made lazily before the items are read. Each item may carry a number
// of its own, its item data, which stays with it when the list is ordered and goes when it is removed.
struct ListBox : Control {
  // The item data of an item that was given none.
  static constexpr double kNoData = std::numeric_limits<double>::quiet_NaN();

  ListBox(std::string name, int left, int top, int width, int height, int tab, bool sorted)
      : Control(std::move(name), left, top, width, height, tab), Sorted(sorted) {}

  const bool Sorted;

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Item(int i) const;  // i from 0; must be < Count()
  const std::vector<std::string>& Items() const;
  void AddItem(std::string text, double data = kNoData);
  // The item data of item i (from 0; must be < Count()), kNoData when it was given none.
  double ItemData(int i) const;
  void RemoveItem(int i);  // out-of-range indices are ignored
  void Clear();
  // The highlighted item, -1 for none.
  int ListIndex() const { return listIndex_; }
  // Sets the highlight (clamped to -1 for out of range). Returns true when it changed; the caller runs the click event.
  bool SetListIndex(int i);
  // The highlighted item's text, empty when none.
  std::string SelectedText() const;
  // Moves the view's scroll so that the highlight shows (the view reads it).
  int TopIndex = 0;

 private:
  void Order() const;
  mutable std::vector<std::string> items_;
  mutable std::vector<double> data_;  // beside items_, one for each
  mutable bool ordered_ = true;
  int listIndex_ = -1;
};

}  // namespace zelm
