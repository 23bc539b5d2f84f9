#include "find/find_main.h"

#include <unistd.h>

#include <iostream>

#include <CLI/CLI.hpp>

#include "find/find_input.h"
#include "find/find_options.h"
#include "find/find_rows.h"
#include "find/pattern_main.h"
#include "find/report_html.h"
#include "find/run_all.h"
#include "find/table_output.h"
#include "rank/ranker.h"
#include "text/textfile.h"

namespace zelm {

namespace {

constexpr char kUsage[] = "Usage: zelm-find [OPTIONS] [MZ...]   (zelm-find --help tells more)";

struct Failure {
  std::string message;
};

// The notes of a feature whose candidates were cut by --max-candidates.
std::string Notes(const Feature& f, const RankResult& r, size_t most) {
  std::string notes;
  for (size_t k = 0; k < r.found.size(); ++k)
    if (most > 0 && static_cast<size_t>(r.found[k]) > most)
      notes += "zelm-find: " + f.id + " " + r.ions[k].Notation() + ": " + std::to_string(r.found[k]) +
               " candidates, the " + std::to_string(most) + " closest ranked (--max-candidates)\n";
  return notes;
}

int Run(const FindOptions& o, std::istream& in, std::ostream& out, std::ostream& err) {
  MadeConfig made = MakeFindConfig(o);
  if (!made.config) throw Failure{made.problem->message};
  const Ranker ranker(std::move(*made.config));
  if (!ranker.Config().known && o.rank.knownFormulas.empty() && !o.quiet)
    err << "zelm-find: no list of known formulas at " << DefaultKnownFormulasPath()
        << " (Debian: openms-common); ranking without one\n";
  FindInput input = ReadFindInput(o, ranker, in);
  if (!input.problem.empty()) throw Failure{input.problem};
  const std::vector<Feature>& features = input.features;

  const bool progress = !o.quiet && &err == &std::cerr && ::isatty(STDERR_FILENO);
  const TableFormat format = *TableFormatNamed(o.format);
  const bool explain = o.rank.explain;
  const std::optional<ReportSettings> report =
      o.report.empty() ? std::nullopt
                       : std::optional(ReportSettingsFor(ranker.Config(), o.input.empty() ? "the masses given"
                                                                          : o.input == "-" ? "standard input"
                                                                                           : o.input));
  auto work = [&](size_t i) {
    const Feature& f = features[i];
    FeatureText text;
    if (o.countOnly) {
      long long n = 0;
      for (long long found : ranker.Count(f).found) n += found;
      text.rows = f.id + "\t" + std::to_string(n) + "\n";
      return text;
    }
    const RankResult r = ranker.Rank(f);
    TableWriter table(format, explain ? ExplainColumns() : CandidateColumns(), false);
    if (explain) ExplainRows(f, r, o.unicode, table);
    else CandidateRows(f, r, o.unicode, table);
    text.anyRow = table.AnyRow();
    text.rows = table.Take();
    text.notes = Notes(f, r, ranker.Config().maxCandidates);
    if (report) {
      ReportPart part = ReportFeature(f, r, i, *report);
      text.reportRow = std::move(part.row);
      text.reportSection = std::move(part.section);
      text.answered = part.answered;
    }
    return text;
  };
  // Standard output gets each feature's rows as they come; a file is written whole at the end, or not at all.
  std::string whole;
  auto emit = [&](const std::string& piece) {
    if (o.output.empty()) out << piece;
    else whole += piece;
  };
  const std::vector<std::string>& columns = explain ? ExplainColumns() : CandidateColumns();
  if (!o.countOnly) emit(TableHead(format, columns));
  bool anyRow = false;
  std::optional<ReportWriter> page;
  if (report) page.emplace(*report);
  RunAll(features.size(), std::max(o.threads, 1u), progress, err, work, [&](FeatureText& t) {
    if (!t.rows.empty()) {
      if (anyRow && t.anyRow) emit(TableBetween(format));
      emit(t.rows);
      anyRow = anyRow || t.anyRow;
    }
    if (!o.quiet && !t.notes.empty()) err << t.notes;
    if (page) page->Add({std::move(t.reportRow), std::move(t.reportSection), t.answered});
  });
  if (!o.countOnly) emit(TableTail(format, anyRow));
  if (o.output.empty()) {
    out << std::flush;
  } else if (std::string problem = WriteFileAtomic(o.output, whole); !problem.empty()) {
    throw Failure{problem};
  }
  if (page)
    if (std::string problem = WriteFileAtomic(o.report, page->Finish()); !problem.empty()) throw Failure{problem};
  return 0;
}

}  // namespace

int FindMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  CLI::App app{"Candidate formulas for measured masses: every combination of the elements (or of a ZELM library's "
               "entries) whose ion lies within the tolerance of each m/z and that keeps the chemistry rules, ranked "
               "by mass error, rules, isotope fit and MS/MS evidence.",
               "zelm-find"};
  FindOptions o;
  DeclareOptions(app, o);
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::CallForVersion&) {
    out << app.version() << "\n";
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "zelm-find: " << e.what() << "\n" << kUsage << "\n";
    return 1;
  }
  NoteGiven(app, o);
  if (app.count("--pattern"))
    return WritePattern({o.pattern, o.rank.ions.value_or(""), o.rank.resolution, o.rank.isotopes, o.format, o.output},
                        out, err);
  try {
    return Run(o, in, out, err);
  } catch (const Failure& f) {
    err << "zelm-find: " << f.message << "\n";
    return 2;
  }
}

}  // namespace zelm
