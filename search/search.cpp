// The window's combination search: the engine's search driven with the index of the session record, each combination
// inside the window listed through the candidate check, and the pauses turned into yields to the desktop, with the
// progress bar, Stop and the help line. Search skips what cannot be listed; SearchWalk walks every position, and is
// what Search is measured against.
#include <algorithm>

#include "core/form1.h"
#include "engine/combination_search.h"

namespace zelm {

namespace {

class FormSink : public SearchSink {
 public:
  FormSink(Form1& form, int n, double workMass) : form_(form), n_(n), workMass_(workMass) {}
  bool Hit(const int* slot, int k, double sum) override { return form_.ListCombination(slot, k, sum); }
  Resume Pause(bool top, int left, const SearchStats& sofar) override {
    // The bar moves with the top-level position only.
    if (top) form_.Bar.SetWidth(static_cast<float>(static_cast<double>(left) / n_ * 1935));
    form_.SearchStatistics = sofar;
    form_.host.Yield();
    // A search run during the yield listed for its own mass; the lines from here on are this search's again.
    form_.ListingMass = workMass_;
    return {form_.IndexMass.data(), form_.StopRequested == 1};
  }
  double Clock() override { return form_.host.Clock(); }

 private:
  Form1& form_;
  const int n_;
  const double workMass_;
};

// One search of the window for WorkMass through the engine's search or walk.
template <typename Run>
void SearchWith(Form1& form, double WorkMass, Run run) {
  const SearchWindow window = form.BeginSearch(WorkMass);
  const int n = std::clamp<int>(form.IndexCount, 0, kIndexLimit);
  FormSink sink(form, n, WorkMass);
  form.ListingMass = WorkMass;
  // The index tables always hold kIndexLimit + 1 positions, whatever a handler run during a pause loads into them.
  form.SearchStatistics = run(form.IndexMass.data(), n, window, sink);
  form.ListingMass = ListBox::kNoData;
  if (form.SearchStatistics.stopped) {
    form.SetHelp("Search has been stopped.", true);
    return;
  }
  form.EndSearch(form.SearchStatistics.cut);
}

}  // namespace

void Form1::Search(double& WorkMass) {
  SearchWith(*this, WorkMass, [this](const double* mass, int n, const SearchWindow& window, SearchSink& sink) {
    return SearchCombinations(mass, n, window, sink, SearchSettings);
  });
}

void Form1::SearchWalk(double& WorkMass) {
  SearchWith(*this, WorkMass, [this](const double* mass, int n, const SearchWindow& window, SearchSink& sink) {
    return WalkCombinations(mass, n, window, sink, SearchSettings);
  });
}

void Form1::Stop_Click() {
  StopRequested = 1;
  ++StopClicks;
  SetFocus(FindMass);
}

}  // namespace zelm
