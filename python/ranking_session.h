// What the Python module runs, in plain C++: zelm-find's arguments made into its options and ranker once, the
// features read as zelm-find reads them, and the ranked features' rows gathered into columns for a DataFrame. The
// module turns keyword arguments into these arguments and the columns into numpy arrays; everything between is
// zelm-find's own code, so that both give the same rows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "find/find_input.h"
#include "find/find_options.h"
#include "find/find_rows.h"
#include "rank/ranker.h"
#include "spectra/feature_input.h"

namespace zelm {

// A table as columns: a number column holds numbers (NaN where zelm-find's cell is empty), a text column texts.
struct ColumnData {
  Column column;
  std::vector<double> numbers;
  std::vector<std::string> texts;
};

struct Tables {
  std::vector<ColumnData> candidates;
  std::vector<ColumnData> explanations;  // only when the options ask to explain
};

// The columns of a table, empty.
std::vector<ColumnData> EmptyColumns(const std::vector<Column>& columns);
// Appends one row of cells.
void AppendRow(const Cell* cells, std::vector<ColumnData>& table);

class RankingSession {
 public:
  // zelm-find's arguments (without the program's name) read and checked as zelm-find does; nullptr with *why (the
  // message zelm-find gives) when they cannot be used.
  static std::unique_ptr<RankingSession> Make(const std::vector<std::string>& args, std::string* why);

  const Ranker& RankerInUse() const { return *ranker_; }

  // The features of the arguments' masses and --input, as zelm-find reads and checks them.
  FindInput Input() const;
  // The ranked features' rows in zelm-find's order, ranked on the arguments' --threads.
  Tables Rank(const std::vector<Feature>& features) const;
  // The same rows as zelm-find's tables in `format` (with their heads): the candidates' and, when the options ask
  // to explain, the explanations'.
  std::vector<std::string> RankText(const std::vector<Feature>& features, TableFormat format) const;
  // The report page (find/report_html.h) of the ranked features, titled `title`. Its fragment labels need a session
  // made with --report among the arguments (which keeps each peak's fragment, as zelm-find does for its report).
  std::string Report(const std::vector<Feature>& features, const std::string& title) const;

 private:
  // Ranks the features on the arguments' --threads and hands each with its result to `take` in the features' order.
  void RankInOrder(const std::vector<Feature>& features,
                   const std::function<void(const Feature&, const RankResult&)>& take) const;
  FindOptions options_;
  std::unique_ptr<Ranker> ranker_;
};

// The features of one file, read as zelm-find reads its --input (with the tolerance and the retention time window
// of the arguments, in the format of --input-format if given, else of the file's name); *why when the arguments or
// the file cannot be used (the file's first problem: file, line and reason).
FeatureList ReadFileOfArguments(const std::vector<std::string>& args, const std::string& path, std::string* why);

}  // namespace zelm
