#include "find/find_options.h"

#include <CLI/CLI.hpp>

#include "rank/building_blocks.h"
#include "rank/known_formulas.h"

#ifndef ZELM_VERSION
#define ZELM_VERSION "0.2"
#endif

namespace zelm {

namespace {

// The flags of the ranking's configuration.
void DeclareRanking(CLI::App& app, FindOptions& o) {
  RankOptions& r = o.rank;
  app.add_option("-e,--elements", r.elements,
                 "elements and isotopes with count ranges, such as \"C0-100 H0-200 N0-15 [13C]0-2 Cl\" (default: " +
                     std::string(kDefaultElements) + ")");
  app.add_option("-l,--library", r.library, "a ZELM library file (EMassQuick.txt ...): its entries instead of elements")
      ->excludes("--elements");
  app.add_option("--max-count", r.maxCount, "with --library: each entry from 0 to this count")
      ->check(CLI::Range(0, 100000));
  app.add_option("--ion", r.ions, "ion types, comma-separated: \"[M+H]+,[M+Na]+\"; M for the neutral mass as it is; "
                                  "auto for every common ion of a feature's polarity (default: the input's, else auto "
                                  "when the polarity is known, else [M+H]+)");
  app.add_option("--ppm", r.ppm, "tolerance in parts per million of the m/z (default 5)");
  app.add_option("--mda", r.mda, "tolerance in millidaltons (with --ppm, the wider one counts)");
  app.add_option("--max-candidates", r.maxCandidates,
                 "rank at most this many candidates per query and ion, the smallest errors");
  app.add_option("--top", r.top, "write at most this many candidates per query, the best ranked");
  app.add_option("--rdbe", r.rdbe, "the RDBE range of a neutral formula, MIN-MAX, or off (default 0-, whole)");
  app.add_flag("--rdbe-half", r.rdbeHalf, "let the RDBE be a half too (odd-electron formulas)");
  app.add_flag("--no-senior", o.noSenior, "do not apply the SENIOR valence rules");
  app.add_option("--ratios", r.ratios,
                 "element ratios to C: extended (the default), common (drops what the common ranges exclude) or off")
      ->check(CLI::IsMember({"extended", "common", "off"}));
  app.add_option("--ratio", r.ratio, "ratio ranges instead of the preset's, such as \"F/C=0-2,O/C=0-1.5\"");
  app.add_option("--valence", r.valence, "valences instead of the usual ones, such as \"S6,P5\"");
  app.add_flag("--no-msms", o.noMsms, "do not judge candidates by the MS/MS peaks");
  app.add_option("--msms-ppm", r.msmsPpm, "tolerance for MS/MS peaks in ppm (default: the --ppm tolerance)");
  app.add_option("--msms-mda", r.msmsMda, "tolerance for MS/MS peaks in mDa (default 2; the wider one counts)");
  app.add_flag("--explain", r.explain,
               "write each MS/MS peak of the best candidates (--top, default 3) with its fragment and error");
  app.add_option("--isotopes", r.isotopes, "an isotope table in the form of ZELM's isotopes.txt (default: built in)");
  app.add_option("--resolution", r.resolution,
                 "resolving power m/dm of the isotope patterns (default " +
                     std::to_string(static_cast<int>(chem::kDefaultResolution)) + ")");
  app.add_option("--known-formulas", r.knownFormulas,
                 "a file of known compounds' formulas, one per line or after a mass and a tab, weighed as evidence; "
                 "none for no such list (default: " + DefaultKnownFormulasPath() + " when it is there)");
  app.add_option("--rt-window", r.rtWindow,
                 "mzML and mzXML: MS/MS scans of one precursor within this many seconds are one feature (default 10)");
}

}  // namespace

void DeclareOptions(CLI::App& app, FindOptions& o) {
  app.add_option("mz", o.masses, "measured m/z values");
  app.add_option("-i,--input", o.input,
                 "features to annotate: plain text, CSV, TSV, MGF, SIRIUS .ms (a file or a folder), mzML or mzXML, by "
                 "the file's ending; - for standard input");
  app.add_option("--input-format", o.inputFormat, "the input's format whatever its ending")
      ->check(CLI::IsMember({"text", "txt", "csv", "tsv", "mgf", "ms", "mzml", "mzxml"}, CLI::ignore_case));
  DeclareRanking(app, o);
  app.add_option("-f,--format", o.format, "tsv, csv or json")->check(CLI::IsMember({"tsv", "csv", "json"}));
  app.add_option("-o,--output", o.output, "write the table to this file (whole or not at all) instead of standard output");
  app.add_flag("--unicode", o.unicode, "formulas with Unicode subscript digits");
  app.add_flag("--count-only", o.countOnly, "only the number of candidates of each query");
  app.add_option("-j,--threads", o.threads, "threads to use (default: every core); the output is the same")
      ->check(CLI::Range(1u, 1024u));
  app.add_flag("-q,--quiet", o.quiet, "no progress bar and no notes on standard error");
  app.add_option("--pattern", o.pattern, "write the isotope pattern of this formula's ion (--ion, default [M+H]+)")
      ->excludes("mz")
      ->excludes("--input");
  app.add_option("--report", o.report,
                 "also write a report of the ranked features to this HTML file: a summary, and per feature its best "
                 "candidates (--top, default 5), isotope peaks and MS/MS spectrum")
      ->excludes("--count-only")
      ->excludes("--pattern");
  app.set_version_flag("--version", "zelm-find " ZELM_VERSION);
}

void NoteGiven(const CLI::App& app, FindOptions& o) {
  // An option's optional stays empty unless the option was given.
  if (app.count("--ion") == 0) o.rank.ions.reset();
  if (app.count("--ppm") == 0) o.rank.ppm.reset();
  if (app.count("--mda") == 0) o.rank.mda.reset();
  o.rank.senior = !o.noSenior;
  o.rank.msms = !o.noMsms;
}

MadeConfig MakeFindConfig(const FindOptions& options) {
  MadeConfig made = MakeConfig(options.rank);
  if (made.config && !options.report.empty()) made.config->explain = true;
  return made;
}

bool ReadRankArguments(const std::vector<std::string>& args, RankOptions& options, std::string* why) {
  FindOptions o;
  if (!ReadFindArguments(args, o, why)) return false;
  options = o.rank;
  return true;
}

bool ReadFindArguments(const std::vector<std::string>& args, FindOptions& options, std::string* why) {
  CLI::App app;
  FindOptions o;
  DeclareOptions(app, o);
  std::vector<const char*> argv = {"zelm-find"};
  for (const auto& a : args) argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::Error& e) {
    if (why) *why = e.what();
    return false;
  }
  NoteGiven(app, o);
  options = std::move(o);
  return true;
}

std::vector<LongOption> LongOptions() {
  CLI::App app;
  FindOptions o;
  DeclareOptions(app, o);
  std::vector<LongOption> names;
  for (const CLI::Option* option : app.get_options())
    for (const std::string& name : option->get_lnames()) names.push_back({name, option->get_expected_max() == 0});
  return names;
}

}  // namespace zelm
