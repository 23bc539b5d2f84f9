#include "core/controls.h"

#include <algorithm>
#include <utility>

#include "text/text.h"

namespace zelm {

void ListBox::Order() const {
  if (ordered_) return;
  // Each text is ordered together with its item data.
  std::vector<std::pair<std::string, double>> both;
  both.reserve(items_.size());
  for (size_t i = 0; i < items_.size(); ++i) both.emplace_back(std::move(items_[i]), data_[i]);
  std::stable_sort(both.begin(), both.end(), [](const auto& a, const auto& b) { return CodedLess(a.first, b.first); });
  for (size_t i = 0; i < both.size(); ++i) {
    items_[i] = std::move(both[i].first);
    data_[i] = both[i].second;
  }
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

void ListBox::AddItem(std::string text, double data) {
  if (Sorted && !items_.empty() && ordered_ && CodedLess(text, items_.back())) ordered_ = false;
  items_.push_back(std::move(text));
  data_.push_back(data);
  Touch();
}

double ListBox::ItemData(int i) const {
  Order();
  return data_.at(static_cast<size_t>(i));
}

void ListBox::RemoveItem(int i) {
  if (i < 0 || i >= Count()) return;
  Order();
  items_.erase(items_.begin() + i);
  data_.erase(data_.begin() + i);
  if (listIndex_ == i) listIndex_ = -1;
  else if (listIndex_ > i) --listIndex_;
  Touch();
}

void ListBox::Clear() {
  items_.clear();
  data_.clear();
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
