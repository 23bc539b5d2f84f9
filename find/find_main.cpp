#include "find/find_main.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <sstream>
#include <thread>

#include <CLI/CLI.hpp>

#include "chemistry/formula_notation.h"
#include "chemistry/ion_type.h"
#include "engine/formula_enumeration.h"
#include "find/building_blocks.h"
#include "find/find_run.h"
#include "find/pattern_main.h"
#include "find/peak_input.h"
#include "find/table_output.h"
#include "text/defaults.h"
#include "text/textfile.h"

// The project's version, from CMakeLists.txt.
#ifndef ZELM_VERSION
#define ZELM_VERSION "0.2"
#endif

namespace zelm {

namespace {

constexpr char kVersion[] = "zelm-find " ZELM_VERSION;
constexpr char kUsage[] = "Usage: zelm-find [OPTIONS] [MZ...]   (zelm-find --help tells more)";

struct Failure {
  std::string message;
};

std::string ReadAll(std::istream& in) { return std::string(std::istreambuf_iterator<char>(in), {}); }

std::vector<chem::IonType> ParseIons(const std::string& list, const chem::ElementTable& table) {
  std::vector<chem::IonType> ions;
  std::stringstream s(list);
  std::string one;
  while (std::getline(s, one, ',')) {
    const auto first = one.find_first_not_of(" \t"), last = one.find_last_not_of(" \t");
    if (first == std::string::npos) continue;
    one = one.substr(first, last - first + 1);
    const auto parsed = chem::IonType::Parse(one, &table);
    if (!parsed) throw Failure{"the ion type \"" + one + "\" cannot be used: " + parsed.Error().message};
    ions.push_back(*parsed);
  }
  if (ions.empty()) throw Failure{"--ion names no ion type"};
  return ions;
}

// The ion types a query is searched for: the one its input names, or one for the charge it gives, or the list.
std::vector<chem::IonType> IonsOf(const Query& q, const std::vector<chem::IonType>& list, bool listGiven,
                                  const chem::ElementTable& table, const std::string& file) {
  if (!q.ion.empty()) {
    const auto parsed = chem::IonType::Parse(q.ion, &table);
    if (!parsed)
      throw Failure{file + " line " + std::to_string(q.line) + ": the ion type \"" + q.ion +
                    "\" cannot be used: " + parsed.Error().message};
    return {*parsed};
  }
  if (q.charge != 0 && !listGiven) {
    const int z = std::abs(q.charge);
    const std::string count = z == 1 ? "" : std::to_string(z);
    const std::string notation = q.charge > 0 ? "[M+" + count + "H]" + count + "+" : "[M-" + count + "H]" + count + "-";
    return {*chem::IonType::Parse(notation, &table)};
  }
  return list;
}


// What one query gives: its rows' text and its notes for standard error.
struct QueryText {
  std::string rows, notes;
  bool anyRow = false;
};

// Runs every query on `threads` threads and hands each one's text to `write` in the queries' order, as soon as it is
// there, so that the output is the same whatever the number of threads and a long run needs no more memory than the
// queries being worked on.
void RunAll(size_t count, unsigned threads, bool progress, std::ostream& err,
            const std::function<QueryText(size_t)>& work, const std::function<void(QueryText&)>& write) {
  std::vector<std::optional<QueryText>> ready(count);
  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<size_t> next{0};
  size_t done = 0;
  auto worker = [&] {
    for (size_t i = next++; i < count; i = next++) {
      QueryText text = work(i);
      std::lock_guard<std::mutex> lock(mutex);
      ready[i] = std::move(text);
      ++done;
      changed.notify_all();
    }
  };
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads; ++t) pool.emplace_back(worker);
  const auto start = std::chrono::steady_clock::now();
  bool shown = false;
  for (size_t i = 0; i < count; ++i) {
    std::unique_lock<std::mutex> lock(mutex);
    while (!ready[i]) {
      changed.wait_for(lock, std::chrono::milliseconds(100));
      // The progress bar shows once the run has taken a second.
      if (progress && std::chrono::steady_clock::now() - start >= std::chrono::seconds(1)) {
        const int filled = static_cast<int>(40 * done / std::max<size_t>(count, 1));
        err << "\r[" << std::string(static_cast<size_t>(filled), '#')
            << std::string(static_cast<size_t>(40 - filled), ' ') << "] " << done << "/" << count << std::flush;
        shown = true;
      }
    }
    QueryText text = std::move(*ready[i]);
    ready[i].reset();
    lock.unlock();
    write(text);
  }
  for (auto& t : pool) t.join();
  if (shown) err << "\r" << std::string(60, ' ') << "\r" << std::flush;
}

// Every option of zelm-find, as read.
struct Options {
  std::vector<std::string> masses;
  std::string input, inputFormat, elements, library, ionList, format = "tsv", output, isotopes;
  int maxCount = 15;
  double ppm = 0, mda = 0, msmsPpm = 0, msmsMda = 0;
  bool ppmGiven = false, mdaGiven = false, ionGiven = false;
  size_t maxCandidates = 0, top = 0;
  bool countOnly = false, unicode = false, quiet = false, explain = false, noMsms = false;
  unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  std::string rdbe, ratios = "extended", ratio, valence;
  bool rdbeHalf = false, noSenior = false;
  std::string pattern;
  double resolution = chem::kDefaultResolution;
};

// Declares zelm-find's options on app, to be read into o.
void Declare(CLI::App& app, Options& o) {
  app.add_option("mz", o.masses, "measured m/z values");
  app.add_option("-i,--input", o.input, "a peak list: plain text, CSV, TSV or MGF by its ending; - for standard input");
  app.add_option("--input-format", o.inputFormat, "the input's format whatever its ending")
      ->check(CLI::IsMember({"text", "txt", "csv", "tsv", "mgf"}));
  app.add_option("-e,--elements", o.elements,
                 "elements and isotopes with count ranges, such as \"C0-100 H0-200 N0-15 [13C]0-2 Cl\" (default: " +
                     std::string(kDefaultElements) + ")");
  app.add_option("-l,--library", o.library, "a ZELM library file (EMassQuick.txt ...): its entries instead of elements")
      ->excludes("--elements");
  app.add_option("--max-count", o.maxCount, "with --library: each entry from 0 to this count")
      ->check(CLI::Range(0, 100000));
  app.add_option("--ion", o.ionList, "ion types, comma-separated: \"[M+H]+,[M+Na]+\"; M for the neutral mass as it is "
                                     "(default: the input's, else [M+H]+)");
  app.add_option("--ppm", o.ppm, "tolerance in parts per million of the m/z (default 5)");
  app.add_option("--mda", o.mda, "tolerance in millidaltons (with --ppm, the wider one counts)");
  app.add_option("-f,--format", o.format, "tsv, csv or json")->check(CLI::IsMember({"tsv", "csv", "json"}));
  app.add_option("-o,--output", o.output, "write the table to this file (whole or not at all) instead of standard output");
  app.add_flag("--unicode", o.unicode, "formulas with Unicode subscript digits");
  app.add_option("--max-candidates", o.maxCandidates,
                 "rank at most this many candidates per query and ion, the smallest errors");
  app.add_option("--top", o.top, "write at most this many candidates per query, the best ranked");
  app.add_flag("--count-only", o.countOnly, "only the number of candidates of each query");
  app.add_option("--rdbe", o.rdbe, "the RDBE range of a neutral formula, MIN-MAX, or off (default 0-, whole)");
  app.add_flag("--rdbe-half", o.rdbeHalf, "let the RDBE be a half too (odd-electron formulas)");
  app.add_flag("--no-senior", o.noSenior, "do not apply the SENIOR valence rules");
  app.add_option("--ratios", o.ratios,
                 "element ratios to C: extended (the default), common (drops what the common ranges exclude) or off")
      ->check(CLI::IsMember({"extended", "common", "off"}));
  app.add_option("--ratio", o.ratio, "ratio ranges instead of the preset's, such as \"F/C=0-2,O/C=0-1.5\"");
  app.add_option("--valence", o.valence, "valences instead of the usual ones, such as \"S6,P5\"");
  app.add_flag("--no-msms", o.noMsms, "do not judge candidates by the MS/MS peaks");
  app.add_option("--msms-ppm", o.msmsPpm, "tolerance for MS/MS peaks in ppm (default: the --ppm tolerance)");
  app.add_option("--msms-mda", o.msmsMda, "tolerance for MS/MS peaks in mDa (default 2; the wider one counts)");
  app.add_flag("--explain", o.explain,
               "write each MS/MS peak of the best candidates (--top, default 3) with its fragment and error");
  app.add_option("-j,--threads", o.threads, "threads to use (default: every core); the output is the same")
      ->check(CLI::Range(1u, 1024u));
  app.add_flag("-q,--quiet", o.quiet, "no progress bar and no notes on standard error");
  app.add_option("--isotopes", o.isotopes, "an isotope table in the form of ZELM's isotopes.txt (default: built in)");
  app.add_option("--pattern", o.pattern, "write the isotope pattern of this formula's ion (--ion, default [M+H]+)")
      ->excludes("mz")
      ->excludes("--input");
  app.add_option("--resolution", o.resolution,
                 "resolving power m/dm of the isotope patterns (default " +
                     std::to_string(static_cast<int>(chem::kDefaultResolution)) + ")");
  app.set_version_flag("--version", kVersion);
}

// After parsing: which options were given at all, where their defaults depend on it.
void NoteGiven(const CLI::App& app, Options& o) {
  o.ppmGiven = app.count("--ppm") > 0;
  o.mdaGiven = app.count("--mda") > 0;
  o.ionGiven = app.count("--ion") > 0;
}

}  // namespace

// The search made ready: what every query shares.
struct FindSession::Impl {
  chem::LoadedTable loaded;
  Tolerance tolerance;
  std::vector<Block> blocks;
  std::unique_ptr<FormulaEnumerator> enumerator;
  std::vector<chem::IonType> ionTypes;
  bool ionGiven = false;
  RankSettings rank;
  size_t maxCandidates = 0;
  bool unicode = false;

  const chem::ElementTable& Table() const { return loaded.table; }

  explicit Impl(const Options& o) {
    // The element table: the built-in isotopes.txt, or the one given.
    loaded = o.isotopes.empty() ? chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt")
                                : chem::LoadElementTable(o.isotopes);
    if (loaded.table.Empty())
      throw Failure{(loaded.problems.empty() ? o.isotopes + " holds no element" : loaded.problems.front().reason)};
    if (o.ppmGiven && !(o.ppm > 0)) throw Failure{"the tolerance --ppm must be above 0"};
    if (o.mdaGiven && !(o.mda > 0)) throw Failure{"the tolerance --mda must be above 0"};
    tolerance = Tolerance{o.ppm, o.mda};
    if (!o.ppmGiven && !o.mdaGiven) tolerance.ppm = 5;

    std::string why;
    if (!o.library.empty()) {
      if (!LoadLibraryBlocks(o.library, o.maxCount, Table(), blocks, &why)) throw Failure{why};
    } else if (!ParseElements(o.elements.empty() ? std::string(kDefaultElements) : o.elements, Table(), blocks,
                              &why)) {
      throw Failure{"--elements: " + why};
    }
    std::vector<BlockRange> ranges;
    for (const Block& b : blocks) ranges.push_back({b.mass, b.min, b.max});
    enumerator = std::make_unique<FormulaEnumerator>(ranges);
    ionTypes = ParseIons(o.ionList.empty() ? "[M+H]+" : o.ionList, Table());
    ionGiven = o.ionGiven;

    chem::RuleSettings& rules = rank.rules;
    if (!o.valence.empty() && !rules.valences.Parse(o.valence, &why)) throw Failure{"--valence: " + why};
    if (!o.rdbe.empty() && !rules.ParseRdbe(o.rdbe, &why)) throw Failure{"--rdbe: " + why};
    rules.rdbeWhole = !o.rdbeHalf;
    rules.senior = !o.noSenior;
    rules.ratios = *chem::RatioPresetNamed(o.ratios);
    if (!o.ratio.empty() && !rules.ParseRatios(o.ratio, &why)) throw Failure{"--ratio: " + why};
    if (o.msmsPpm < 0 || o.msmsMda < 0) throw Failure{"the MS/MS tolerances must not be below 0"};
    rank.msms = !o.noMsms;
    rank.fragments.ppm = o.msmsPpm > 0 ? o.msmsPpm : tolerance.ppm;
    rank.fragments.mda = o.msmsMda > 0 ? o.msmsMda : 2;
    rank.explain = o.explain;
    rank.resolution = o.resolution;
    rank.top = o.top > 0 ? o.top : o.explain ? 3 : 0;
    maxCandidates = o.maxCandidates;
    unicode = o.unicode;
  }

  std::vector<chem::IonType> IonsOf(const Query& q, const std::string& file) const {
    return zelm::IonsOf(q, ionTypes, ionGiven, Table(), file);
  }
};

FindSession::FindSession(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FindSession::~FindSession() = default;

std::unique_ptr<FindSession> FindSession::Make(const std::vector<std::string>& args, std::string* why) {
  CLI::App app;
  Options o;
  Declare(app, o);
  std::vector<const char*> argv = {"zelm-find"};
  for (const auto& a : args) argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
    NoteGiven(app, o);
    return std::unique_ptr<FindSession>(new FindSession(std::make_unique<Impl>(o)));
  } catch (const CLI::Error& e) {
    if (why) *why = e.what();
  } catch (const Failure& f) {
    if (why) *why = f.message;
  }
  return nullptr;
}

std::vector<Candidate> FindSession::Rank(const Query& query) const {
  std::vector<Candidate> out;
  const auto ions = impl_->IonsOf(query, "the query");
  SearchQuery(query, ions, impl_->blocks, *impl_->enumerator, impl_->Table(), impl_->tolerance, impl_->maxCandidates,
              false, impl_->unicode, impl_->rank, [&](const Candidate& c) { out.push_back(c); });
  return out;
}

namespace {

int Run(const Options& o, std::istream& in, std::ostream& out, std::ostream& err) {
  const FindSession::Impl session(o);
  const chem::ElementTable& table = session.Table();

  // The queries: masses on the command line, then the input file's.
  std::vector<Query> queries;
  for (const std::string& m : o.masses) {
    std::vector<Query> one;
    InputError error;
    if (!ReadQueries(m, QueryFormat::Text, "the command line", one, &error) || one.size() != 1)
      throw Failure{"the mass \"" + m + "\" is not a number above 0"};
    queries.push_back(one.front());
  }
  std::string inputName = "the command line";
  if (!o.input.empty()) {
    inputName = o.input == "-" ? "standard input" : BaseName(o.input);
    std::string bytes;
    if (o.input == "-") {
      bytes = ReadAll(in);
    } else {
      std::string error;
      auto read = ReadWholeFile(o.input, &error);
      if (!read) throw Failure{error};
      bytes = std::move(*read);
    }
    QueryFormat f = QueryFormatOfFile(o.input);
    if (!o.inputFormat.empty()) f = *QueryFormatNamed(o.inputFormat);
    InputError error;
    if (!ReadQueries(bytes, f, inputName, queries, &error)) throw Failure{error.Text()};
  }
  if (queries.empty()) throw Failure{"no mass to search: give masses or --input FILE"};

  std::vector<std::vector<chem::IonType>> ions;
  for (const Query& q : queries) ions.push_back(session.IonsOf(q, inputName));

  const bool progress = !o.quiet && &err == &std::cerr && ::isatty(STDERR_FILENO);
  const TableFormat tableFormat = *TableFormatNamed(o.format);
  const std::vector<std::string> columns =
      o.explain ? std::vector<std::string>{"query", "rank", "formula", "ion", "peak_mz", "intensity", "fragment",
                                           "fragment_mz", "error_ppm", "error_mda"}
                : std::vector<std::string>{"query",     "mz",        "ion",   "formula",       "ion_formula",
                                           "mz_theoretical", "error_ppm", "error_mda", "rdbe", "rank",
                                           "score",     "isotope_score", "msms_explained", "rules"};
  // The notation of every query's ion types, written once.
  std::vector<std::vector<std::string>> notations;
  for (const auto& list : ions) {
    notations.emplace_back();
    for (const auto& ion : list) notations.back().push_back(ion.Notation());
  }
  auto work = [&](size_t i) {
    const Query& q = queries[i];
    QueryText text;
    auto add = [&](const CellView* cells) {
      if (text.anyRow) text.rows += TableBetween(tableFormat);
      text.anyRow = true;
      AppendRow(tableFormat, columns, cells, text.rows);
    };
    const QueryResult r = SearchQuery(
        q, ions[i], session.blocks, *session.enumerator, table, session.tolerance, session.maxCandidates, o.countOnly,
        session.unicode, session.rank, [&](const Candidate& c) {
          char a[32], b[32], d[32], e[32], f[32], g[32], h[32], k[32];
          const std::string_view ion = notations[i][c.ion];
          if (o.explain) {
            const std::string rank = std::to_string(c.rank);
            // Each MS/MS peak of the query, with the fragment that explains it (none: empty cells).
            std::vector<const FragmentRow*> of(q.peaks.size(), nullptr);
            for (const FragmentRow& x : c.fragments)
              for (size_t p = 0; p < q.peaks.size(); ++p)
                if (!of[p] && q.peaks[p].mz == x.mz && q.peaks[p].intensity == x.intensity) {
                  of[p] = &x;
                  break;
                }
            for (size_t p = 0; p < q.peaks.size(); ++p) {
              const FragmentRow* x = of[p];
              const CellView cells[] = {{q.id, false},
                                        {rank, true},
                                        {c.formula, false},
                                        {ion, false},
                                        {FormatNumber(q.peaks[p].mz, 6, a), true},
                                        {FormatNumber(q.peaks[p].intensity, 6, b), true},
                                        {x ? std::string_view(x->formula) : std::string_view(), false},
                                        {x ? FormatNumber(x->mzTheoretical, 6, d) : std::string_view(), true},
                                        {x ? FormatNumber(x->errorPpm, 3, e) : std::string_view(), true},
                                        {x ? FormatNumber(x->errorMda, 3, f) : std::string_view(), true}};
              add(cells);
            }
            return;
          }
          const std::string rank = std::to_string(c.rank);
          const CellView cells[] = {
              {q.id, false},
              {FormatNumber(q.mz, 6, a), true},
              {ion, false},
              {c.formula, false},
              {c.ionFormula, false},
              {FormatNumber(c.mzTheoretical, 6, b), true},
              {FormatNumber(c.errorPpm, 3, d), true},
              {FormatNumber(c.errorMda, 3, e), true},
              {c.rdbe ? FormatNumber(*c.rdbe, 1, f) : std::string_view(), true},
              {rank, true},
              {FormatNumber(c.score, 3, g), true},
              {c.isotopeScore ? FormatNumber(*c.isotopeScore, 3, h) : std::string_view(), true},
              {c.msmsExplained ? FormatNumber(*c.msmsExplained, 3, k) : std::string_view(), true},
              {c.rules, false}};
          add(cells);
        });
    if (o.countOnly) {
      long long n = 0;
      for (long long f : r.found) n += f;
      text.rows = q.id + "\t" + std::to_string(n) + "\n";
      return text;
    }
    for (size_t k = 0; k < r.found.size(); ++k)
      if (session.maxCandidates > 0 && static_cast<size_t>(r.found[k]) > session.maxCandidates)
        text.notes += "zelm-find: " + q.id + " " + r.ions[k].Notation() + ": " + std::to_string(r.found[k]) +
                      " candidates, the " + std::to_string(session.maxCandidates) +
                      " closest ranked (--max-candidates)\n";
    return text;
  };
  // Standard output gets each query's rows as they come; a file is written whole at the end, or not at all.
  std::string text;
  auto emit = [&](const std::string& piece) {
    if (o.output.empty()) out << piece;
    else text += piece;
  };
  if (!o.countOnly) emit(TableHead(tableFormat, columns));
  bool anyRow = false;
  RunAll(queries.size(), std::max(o.threads, 1u), progress, err, work, [&](QueryText& t) {
    if (!t.rows.empty()) {
      if (anyRow && t.anyRow) emit(TableBetween(tableFormat));
      emit(t.rows);
      anyRow = anyRow || t.anyRow;
    }
    if (!o.quiet && !t.notes.empty()) err << t.notes;
  });
  if (!o.countOnly) emit(TableTail(tableFormat, anyRow));
  if (o.output.empty()) {
    out << std::flush;
  } else if (std::string problem = WriteFileAtomic(o.output, text); !problem.empty()) {
    throw Failure{problem};
  }
  return 0;
}

}  // namespace

int FindMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  CLI::App app{"Candidate formulas for measured masses: every combination of the elements (or of a ZELM library's "
               "entries) whose ion lies within the tolerance of each m/z and that keeps the chemistry rules, ranked "
               "by mass error, rules, isotope fit and MS/MS evidence.",
               "zelm-find"};
  Options o;
  Declare(app, o);
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::CallForVersion&) {
    out << kVersion << "\n";
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "zelm-find: " << e.what() << "\n" << kUsage << "\n";
    return 1;
  }
  NoteGiven(app, o);
  if (!(o.resolution > 0)) {
    err << "zelm-find: the resolving power --resolution must be above 0\n";
    return 2;
  }
  if (app.count("--pattern"))
    return WritePattern({o.pattern, o.ionList, o.resolution, o.isotopes, o.format, o.output}, out, err);
  try {
    return Run(o, in, out, err);
  } catch (const Failure& f) {
    err << "zelm-find: " << f.message << "\n";
    return 2;
  }
}

}  // namespace zelm
