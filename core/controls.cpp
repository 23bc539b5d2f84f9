#include "core/controls.h"

#include <algorithm>

#include "text/text.h"

namespace zelm {

void ListBox::Order() const {
  if (ordered_) return;
  std::stable_sort(items_.begin(), items_.end(),
                   [](const std::string& a, const std::string& b) { return CodedLess(a, b); });
  ordered_ = true;
}

const std::vector<std::string>& ListBox::Items() const {
  Order();
  return items_;
}

const std::string& ListBox::Item(int i) const {
  Order();
  return items_.at(static_cast<size_t>(i));
}

void ListBox::AddItem(std::string text) {
  if (Sorted && !items_.empty() && ordered_ && CodedLess(text, items_.back())) ordered_ = false;
  items_.push_back(std::move(text));
  Touch();
}

void ListBox::RemoveItem(int i) {
  if (i < 0 || i >= Count()) return;
  Order();
  items_.erase(items_.begin() + i);
  if (listIndex_ == i) listIndex_ = -1;
  else if (listIndex_ > i) --listIndex_;
  Touch();
}

void ListBox::Clear() {
  items_.clear();
  ordered_ = true;
  listIndex_ = -1;
  TopIndex = 0;
  Touch();
}

bool ListBox::SetListIndex(int i) {
  if (i < -1 || i >= Count()) i = -1;
  if (i == listIndex_) return false;
  listIndex_ = i;
  Touch();
  return true;
}

std::string ListBox::SelectedText() const {
  if (listIndex_ < 0 || listIndex_ >= Count()) return {};
  return Item(listIndex_);
}

}  // namespace zelm
