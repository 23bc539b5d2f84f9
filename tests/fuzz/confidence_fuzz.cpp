// The confidence ratings: read at start-up and used to leave rated lines out of the listed results.
#include <algorithm>
#include <utility>

#include "core/result_line.h"
#include "text/data_files.h"
#include "text/text.h"
#include "window_support.h"

using namespace zelm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::Text(data, size);

  const RatingData file = ReadRatings(fuzz::Scratch().Write("ConfFile.txt", bytes));
  FUZZ_CHECK(file.read);
  for (const RatingEntry& rating : file.ratings) {
    FUZZ_CHECK(rating.key.size() <= 40);
    FUZZ_CHECK(rating.percent.find('%') == std::string::npos);
    FUZZ_CHECK(rating.line > 0);
  }

  // A search of carbon 12 lists every stored line but those rated below the threshold.
  auto window = fuzz::StartWindow(std::pair{std::string("ConfFile.txt"), bytes},
                                  std::pair{std::string("EMassQuick.txt"), std::string("\x81\x82" "C,12\r\nH,1\r\n")});
  Form1& form = window->form;
  const int kept = fuzz::CountIn(form.ConfidenceTable[0].Percent);
  FUZZ_CHECK(kept == std::min<int>(file.ratings.size(), kConfidenceLimit));
  form.ConfidenceThreshold = static_cast<int16_t>(size % 120);
  form.FindMass.SetText("26");
  form.QuickSearch_Click();
  const int stored = fuzz::CountIn(form.StoredResults[0]);
  FUZZ_CHECK(stored >= 0 && stored <= kStoredLimit);
  FUZZ_CHECK(form.Results.Count() <= stored);
  // A line no rating names is listed; every listed line is a stored one.
  int unrated = 0;
  for (int i = 1; i <= stored; ++i) {
    const std::string key = form.StoredResults[i].substr(0, 40);
    bool named = false;
    for (int j = 1; j <= kept && !named; ++j) named = form.ConfidenceTable[j].Key == key;
    unrated += !named;
  }
  FUZZ_CHECK(form.Results.Count() >= unrated);
  for (int i = 0; i < form.Results.Count(); ++i) {
    const auto begin = form.StoredResults.begin() + 1, end = begin + stored;
    FUZZ_CHECK(std::find(begin, end, form.Results.Item(i)) != end);
  }
  return 0;
}
