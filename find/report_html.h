// The report: one self-contained HTML page of ranked features that a chemist reads at a glance. A summary table of
// every feature (its best formula and the runner-up with their probabilities, the number of candidates), each row
// linking to the feature's section: its best candidates side by side (figures, evidence, rules broken), its measured
// isotope peaks beside the best candidate's pattern, and its merged MS/MS spectrum with the peaks the best candidate's
// fragments explain coloured and labelled. Everything is inline (style, pictures as SVG, a little script for the
// search box and the sorting of the summary): the page asks for nothing over the network and reads in full with
// scripts turned off. Every text from the input is escaped.
//
// zelm-find builds each feature's part on the thread that ranked it and joins the parts in order (ReportWriter);
// ReportHtml does it all at once for those who hold every result.
#pragma once

#include <string>
#include <vector>

#include "chemistry/element_table.h"
#include "chemistry/isotope_pattern.h"
#include "rank/candidate.h"
#include "rank/config.h"
#include "spectra/spectrum.h"

namespace zelm {

struct ReportSettings {
  size_t top = 5;                                // candidates shown per feature (0: 5)
  const chem::ElementTable* table = nullptr;     // for the isotope patterns; null: none drawn (it must outlive use)
  double resolution = chem::kDefaultResolution;  // of the isotope patterns, m/dm
  std::string title;                             // what the page reports on (the input's name), as given
  std::string settings;                          // a line on how the features were searched, as given
};

// The settings of a report on features ranked with config: its top (5 when it gives all), element table,
// resolution, and a line naming its elements, tolerances and ion types. The fragment labels need a ranking with
// config.explain on: without it the MS/MS peaks are drawn, none labelled.
ReportSettings ReportSettingsFor(const RankConfig& config, std::string title);

// One feature's part of the page: its row of the summary table and its section. `index` numbers the features from
// 0 in the page's order and names the section (id "f" + index). Depends on nothing but its arguments, so parts may
// be built on several threads at once.
struct ReportPart {
  std::string row, section;
  bool answered = false;  // the feature has a candidate
};
ReportPart ReportFeature(const Feature& feature, const RankResult& result, size_t index,
                         const ReportSettings& settings);

// Joins the parts, handed over in their order, into the page.
class ReportWriter {
 public:
  explicit ReportWriter(ReportSettings settings) : settings_(std::move(settings)) {}
  void Add(const ReportPart& part);
  // The whole page; the writer is empty afterwards.
  std::string Finish();

 private:
  ReportSettings settings_;
  std::string rows_, sections_;
  size_t count_ = 0, answered_ = 0;
};

// The page of features[i] ranked as results[i] (as many results as features).
std::string ReportHtml(const std::vector<Feature>& features, const std::vector<RankResult>& results,
                       const ReportSettings& settings);

}  // namespace zelm
