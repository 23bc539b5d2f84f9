#include "python/ranking_session.h"

#include <sstream>

#include "find/report_html.h"
#include "find/run_all.h"

namespace zelm {

std::vector<ColumnData> EmptyColumns(const std::vector<Column>& columns) {
  std::vector<ColumnData> table;
  for (const Column& c : columns) table.push_back({c, {}, {}});
  return table;
}

void AppendRow(const Cell* cells, std::vector<ColumnData>& table) {
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i].column.number) table[i].numbers.push_back(cells[i].number);
    else table[i].texts.emplace_back(cells[i].text);
  }
}

std::unique_ptr<RankingSession> RankingSession::Make(const std::vector<std::string>& args, std::string* why) {
  auto session = std::unique_ptr<RankingSession>(new RankingSession);
  if (!ReadFindArguments(args, session->options_, why)) return nullptr;
  MadeConfig made = MakeFindConfig(session->options_);
  if (!made.config) {
    *why = made.problem->message;
    return nullptr;
  }
  session->ranker_ = std::make_unique<Ranker>(std::move(*made.config));
  return session;
}

FindInput RankingSession::Input() const {
  std::istringstream none;
  return ReadFindInput(options_, *ranker_, none);
}

void RankingSession::RankInOrder(const std::vector<Feature>& features,
                                 const std::function<void(const Feature&, const RankResult&)>& take) const {
  // Each feature is ranked on a thread of its own; its result is handed on in the features' order, and let go.
  std::vector<RankResult> results(features.size());
  size_t next = 0;
  std::ostringstream quiet;
  RunAll(
      features.size(), std::max(options_.threads, 1u), false, quiet,
      [&](size_t i) {
        results[i] = ranker_->Rank(features[i]);
        return FeatureText{};
      },
      [&](FeatureText&) {
        const size_t i = next++;
        take(features[i], results[i]);
        results[i] = RankResult{};
      });
}

Tables RankingSession::Rank(const std::vector<Feature>& features) const {
  const bool explain = ranker_->Config().explain, unicode = options_.unicode;
  Tables tables{EmptyColumns(CandidateTable()), explain ? EmptyColumns(ExplainTable()) : std::vector<ColumnData>()};
  RankInOrder(features, [&](const Feature& f, const RankResult& r) {
    CandidateCells(f, r, unicode, [&](const Cell* c) { AppendRow(c, tables.candidates); });
    if (explain) ExplainCells(f, r, unicode, [&](const Cell* c) { AppendRow(c, tables.explanations); });
  });
  return tables;
}

std::vector<std::string> RankingSession::RankText(const std::vector<Feature>& features, TableFormat format) const {
  const bool explain = ranker_->Config().explain, unicode = options_.unicode;
  TableWriter candidates(format, CandidateColumns()), explanations(format, ExplainColumns());
  RankInOrder(features, [&](const Feature& f, const RankResult& r) {
    CandidateRows(f, r, unicode, candidates);
    if (explain) ExplainRows(f, r, unicode, explanations);
  });
  candidates.End();
  std::vector<std::string> texts = {candidates.Take()};
  if (explain) {
    explanations.End();
    texts.push_back(explanations.Take());
  }
  return texts;
}

std::string RankingSession::Report(const std::vector<Feature>& features, const std::string& title) const {
  const ReportSettings settings = ReportSettingsFor(ranker_->Config(), title);
  ReportWriter page(settings);
  size_t index = 0;
  RankInOrder(features, [&](const Feature& f, const RankResult& r) { page.Add(ReportFeature(f, r, index++, settings)); });
  return page.Finish();
}

FeatureList ReadFileOfArguments(const std::vector<std::string>& args, const std::string& path, std::string* why) {
  FindOptions o;
  if (!ReadFindArguments(args, o, why)) return {};
  MadeConfig made = MakeConfig(o.rank);
  if (!made.config) {
    *why = made.problem->message;
    return {};
  }
  FeatureList list = ReadInputFile(o, path, *made.config);
  if (!list.problems.empty()) *why = list.problems.front().Text();
  return list;
}

}  // namespace zelm
