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

int Run(CLI::App& app, const std::vector<std::string>& masses, std::istream& in, std::ostream& out, std::ostream& err,
        const std::string& input, const std::string& inputFormat, const std::string& elements,
        const std::string& library, int maxCount, const std::string& ionList, double ppm, double mda,
        const std::string& format, const std::string& output, bool unicode, size_t maxCandidates, bool countOnly,
        unsigned threads, bool quiet, const std::string& isotopes) {
  // The element table: the built-in isotopes.txt, or the one given.
  chem::LoadedTable loaded = isotopes.empty()
                                 ? chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt")
                                 : chem::LoadElementTable(isotopes);
  if (loaded.table.Empty())
    throw Failure{(loaded.problems.empty() ? isotopes + " holds no element" : loaded.problems.front().reason)};
  const chem::ElementTable& table = loaded.table;

  if (app.count("--ppm") && !(ppm > 0)) throw Failure{"the tolerance --ppm must be above 0"};
  if (app.count("--mda") && !(mda > 0)) throw Failure{"the tolerance --mda must be above 0"};
  Tolerance tolerance{ppm, mda};
  if (!app.count("--ppm") && !app.count("--mda")) tolerance.ppm = 5;

  std::vector<Block> blocks;
  std::string why;
  if (!library.empty()) {
    if (!LoadLibraryBlocks(library, maxCount, table, blocks, &why)) throw Failure{why};
  } else if (!ParseElements(elements.empty() ? std::string(kDefaultElements) : elements, table, blocks, &why)) {
    throw Failure{"--elements: " + why};
  }
  std::vector<BlockRange> ranges;
  for (const Block& b : blocks) ranges.push_back({b.mass, b.min, b.max});
  const FormulaEnumerator enumerator(ranges);

  const std::vector<chem::IonType> ionTypes = ParseIons(ionList.empty() ? "[M+H]+" : ionList, table);

  // The queries: masses on the command line, then the input file's.
  std::vector<Query> queries;
  for (const std::string& m : masses) {
    std::vector<Query> one;
    InputError error;
    if (!ReadQueries(m, InputFormat::Text, "the command line", one, &error) || one.size() != 1)
      throw Failure{"the mass \"" + m + "\" is not a number above 0"};
    queries.push_back(one.front());
  }
  std::string inputName = "the command line";
  if (!input.empty()) {
    inputName = input == "-" ? "standard input" : BaseName(input);
    std::string bytes;
    if (input == "-") {
      bytes = ReadAll(in);
    } else {
      std::string error;
      auto read = ReadWholeFile(input, &error);
      if (!read) throw Failure{error};
      bytes = std::move(*read);
    }
    InputFormat f = FormatOfFile(input);
    if (!inputFormat.empty()) f = *FormatNamed(inputFormat);
    InputError error;
    if (!ReadQueries(bytes, f, inputName, queries, &error)) throw Failure{error.Text()};
  }
  if (queries.empty()) throw Failure{"no mass to search: give masses or --input FILE"};

  std::vector<std::vector<chem::IonType>> ions;
  for (const Query& q : queries) ions.push_back(IonsOf(q, ionTypes, app.count("--ion") > 0, table, inputName));

  const bool progress = !quiet && &err == &std::cerr && ::isatty(STDERR_FILENO);
  const TableFormat tableFormat = *TableFormatNamed(format);
  const std::vector<std::string> columns = {"query",          "mz",        "ion",       "formula", "ion_formula",
                                            "mz_theoretical", "error_ppm", "error_mda", "rdbe"};
  // The notation of every query's ion types, written once.
  std::vector<std::vector<std::string>> notations;
  for (const auto& list : ions) {
    notations.emplace_back();
    for (const auto& ion : list) notations.back().push_back(ion.Notation());
  }
  auto work = [&](size_t i) {
    const Query& q = queries[i];
    QueryText text;
    const QueryResult r = SearchQuery(
        q, ions[i], blocks, enumerator, table, tolerance, maxCandidates, countOnly, unicode, [&](const Candidate& c) {
          if (text.anyRow) text.rows += TableBetween(tableFormat);
          text.anyRow = true;
          char mz[32], theoretical[32], ppm[32], mda[32], rdbe[32];
          const std::string_view ion = notations[i][c.ion];
          const CellView cells[] = {{q.id, false},
                                    {FormatNumber(q.mz, 6, mz), true},
                                    {ion, false},
                                    {c.formula, false},
                                    {c.ionFormula, false},
                                    {FormatNumber(c.mzTheoretical, 6, theoretical), true},
                                    {FormatNumber(c.errorPpm, 3, ppm), true},
                                    {FormatNumber(c.errorMda, 3, mda), true},
                                    {c.rdbe ? FormatNumber(*c.rdbe, 1, rdbe) : std::string_view(), true}};
          AppendRow(tableFormat, columns, cells, text.rows);
        });
    if (countOnly) {
      long long n = 0;
      for (long long f : r.found) n += f;
      text.rows = q.id + "\t" + std::to_string(n) + "\n";
      return text;
    }
    for (size_t k = 0; k < r.found.size(); ++k)
      if (maxCandidates > 0 && static_cast<size_t>(r.found[k]) > maxCandidates)
        text.notes += "zelm-find: " + q.id + " " + r.ions[k].Notation() + ": " + std::to_string(r.found[k]) +
                      " candidates, the first " + std::to_string(maxCandidates) + " written (--max-candidates)\n";
    return text;
  };
  // Standard output gets each query's rows as they come; a file is written whole at the end, or not at all.
  std::string text;
  auto emit = [&](const std::string& piece) {
    if (output.empty()) out << piece;
    else text += piece;
  };
  if (!countOnly) emit(TableHead(tableFormat, columns));
  bool anyRow = false;
  RunAll(queries.size(), std::max(threads, 1u), progress, err, work, [&](QueryText& t) {
    if (!t.rows.empty()) {
      if (anyRow && t.anyRow) emit(TableBetween(tableFormat));
      emit(t.rows);
      anyRow = anyRow || t.anyRow;
    }
    if (!quiet && !t.notes.empty()) err << t.notes;
  });
  if (!countOnly) emit(TableTail(tableFormat, anyRow));
  if (output.empty()) {
    out << std::flush;
  } else if (std::string problem = WriteFileAtomic(output, text); !problem.empty()) {
    throw Failure{problem};
  }
  return 0;
}

}  // namespace

int FindMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  CLI::App app{"Candidate formulas for measured masses: every combination of the elements (or of a ZELM library's "
               "entries) whose ion lies within the tolerance of each m/z.",
               "zelm-find"};
  std::vector<std::string> masses;
  std::string input, inputFormat, elements, library, ionList, format = "tsv", output, isotopes;
  int maxCount = 15;
  double ppm = 0, mda = 0;
  size_t maxCandidates = 0;
  bool countOnly = false, unicode = false, quiet = false;
  unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  app.add_option("mz", masses, "measured m/z values");
  app.add_option("-i,--input", input, "a peak list: plain text, CSV, TSV or MGF by its ending; - for standard input");
  app.add_option("--input-format", inputFormat, "the input's format whatever its ending")
      ->check(CLI::IsMember({"text", "txt", "csv", "tsv", "mgf"}));
  app.add_option("-e,--elements", elements,
                 "elements and isotopes with count ranges, such as \"C0-100 H0-200 N0-15 [13C]0-2 Cl\" (default: " +
                     std::string(kDefaultElements) + ")");
  app.add_option("-l,--library", library, "a ZELM library file (EMassQuick.txt ...): its entries instead of elements")
      ->excludes("--elements");
  app.add_option("--max-count", maxCount, "with --library: each entry from 0 to this count")
      ->check(CLI::Range(0, 100000));
  app.add_option("--ion", ionList, "ion types, comma-separated: \"[M+H]+,[M+Na]+\"; M for the neutral mass as it is "
                                   "(default: the input's, else [M+H]+)");
  app.add_option("--ppm", ppm, "tolerance in parts per million of the m/z (default 5)");
  app.add_option("--mda", mda, "tolerance in millidaltons (with --ppm, the wider one counts)");
  app.add_option("-f,--format", format, "tsv, csv or json")->check(CLI::IsMember({"tsv", "csv", "json"}));
  app.add_option("-o,--output", output, "write the table to this file (whole or not at all) instead of standard output");
  app.add_flag("--unicode", unicode, "formulas with Unicode subscript digits");
  app.add_option("--max-candidates", maxCandidates, "at most this many rows per query and ion, the smallest errors");
  app.add_flag("--count-only", countOnly, "only the number of candidates of each query");
  app.add_option("-j,--threads", threads, "threads to use (default: every core); the output is the same")
      ->check(CLI::Range(1u, 1024u));
  app.add_flag("-q,--quiet", quiet, "no progress bar and no notes on standard error");
  app.add_option("--isotopes", isotopes, "an isotope table in the form of ZELM's isotopes.txt (default: built in)");
  app.set_version_flag("--version", kVersion);

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
  try {
    return Run(app, masses, in, out, err, input, inputFormat, elements, library, maxCount, ionList, ppm, mda, format,
               output, unicode, maxCandidates, countOnly, threads, quiet, isotopes);
  } catch (const Failure& f) {
    err << "zelm-find: " << f.message << "\n";
    return 2;
  }
}

}  // namespace zelm
