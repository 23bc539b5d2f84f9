// The existence-confidence filter: the stored lines of a search run listed in Results, except those that the
// confidence memory rates below the threshold.
#include <algorithm>
#include <string_view>

#include "core/form1.h"
#include "text/text.h"

namespace zelm {

namespace {

// Ratings are compared with this many leading characters of a result line.
constexpr size_t kConfidenceKeyLength = 40;

}  // namespace

void Form1::ShowResults() {
  const double count = LeadingNumber(StoredResults[0]);
  if (!(count > 0)) {
    SetHelp("Either no search was performed or the search produced no results.");
    return;
  }
  Results.Clear();
  const int lines = static_cast<int>(std::min<double>(count, kStoredLimit));
  const int entries = std::clamp(static_cast<int>(LeadingNumber(ConfidenceTable[0].Percent)), 0, kConfidenceLimit);
  for (int i = 1; i <= lines; ++i) {
    const std::string& line = StoredResults[i];
    const std::string_view key = std::string_view(line).substr(0, kConfidenceKeyLength);
    bool hidden = false;
    for (int j = 1; j <= entries && !hidden; ++j) {
      const Rating& entry = ConfidenceTable[j];
      hidden = LeadingNumber(entry.Percent) < ConfidenceThreshold && entry.Key == key;
    }
    if (!hidden) Results.AddItem(line, StoredErrors[i]);
  }
}

}  // namespace zelm
