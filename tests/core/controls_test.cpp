#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/controls.h"

namespace zelm {
namespace {

using Lines = std::vector<std::string>;

TEST(ListBox, RemovingALineKeepsTheSameLineHighlighted) {
  ListBox list{"L", 0, 0, 10, 10, 0, false};
  for (const char* s : {"a", "b", "c", "d"}) list.AddItem(s);
  list.SetListIndex(2);  // "c"
  list.RemoveItem(3);    // below the highlight: it stays
  EXPECT_EQ(list.ListIndex(), 2);
  list.RemoveItem(0);    // above it: the highlight moves up with its line
  EXPECT_EQ(list.ListIndex(), 1);
  EXPECT_EQ(list.SelectedText(), "c");
  list.RemoveItem(1);    // the highlighted line itself: nothing is highlighted
  EXPECT_EQ(list.ListIndex(), -1);
  EXPECT_EQ(list.Items(), (Lines{"b"}));
  list.RemoveItem(5);    // past the end: nothing happens
  list.RemoveItem(-1);
  EXPECT_EQ(list.Items(), (Lines{"b"}));
}

TEST(ListBox, ASortedListOrdersCodedTextsAndRemovesByTheShownOrder) {
  ListBox list{"L", 0, 0, 10, 10, 0, true};
  for (const char* s : {"c", "\x81" "a", "b", "a"}) list.AddItem(s);
  EXPECT_EQ(list.Items(), (Lines{"a", "b", "c", "\x81" "a"}));
  list.SetListIndex(3);
  list.RemoveItem(1);
  EXPECT_EQ(list.SelectedText(), "\x81" "a");
  EXPECT_EQ(list.ListIndex(), 2);
}

TEST(ListBox, ItemDataStaysWithItsItemWhenOrderedAndRemoved) {
  ListBox list{"L", 0, 0, 10, 10, 0, true};
  list.AddItem("c", 3);
  list.AddItem("a", 1);
  list.AddItem("b");
  list.AddItem("a", 4);  // equal items keep their order, and each its own data
  ASSERT_EQ(list.Items(), (Lines{"a", "a", "b", "c"}));
  EXPECT_EQ(list.ItemData(0), 1);
  EXPECT_EQ(list.ItemData(1), 4);
  EXPECT_TRUE(std::isnan(list.ItemData(2)));
  EXPECT_EQ(list.ItemData(3), 3);
  list.RemoveItem(0);
  EXPECT_EQ(list.ItemData(0), 4);
  EXPECT_EQ(list.ItemData(2), 3);
  list.AddItem("", 7);  // sorts first again
  EXPECT_EQ(list.ItemData(0), 7);
  EXPECT_EQ(list.ItemData(1), 4);
  list.Clear();
  list.AddItem("z");
  EXPECT_TRUE(std::isnan(list.ItemData(0)));
}

}  // namespace
}  // namespace zelm
