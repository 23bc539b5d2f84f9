// zelm-find's options: each flag declared once with its help, read into the ranking's configuration beside what only
// the command line has (the input, the output, the threads).
#pragma once

#include <string>
#include <thread>
#include <vector>

#include "rank/config.h"

namespace CLI {
class App;
}

namespace zelm {

struct FindOptions {
  RankOptions rank;
  std::vector<std::string> masses;
  std::string input, inputFormat, format = "tsv", output, pattern;
  bool countOnly = false, unicode = false, quiet = false, noSenior = false, noMsms = false;
  unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  // --report: an HTML page of the ranked features beside the table.
  std::string report;
};

// Declares zelm-find's options on app, to be read into o; after app.parse, NoteGiven records which were given where
// the default depends on it.
void DeclareOptions(CLI::App& app, FindOptions& o);
void NoteGiven(const CLI::App& app, FindOptions& o);

// zelm-find's arguments (without the program's name) as the ranking's options, for tools that rank as zelm-find
// does (the evaluation bench); false with *why when they cannot be read.
bool ReadRankArguments(const std::vector<std::string>& args, RankOptions& options, std::string* why);
// The same, with everything else of zelm-find's options (the masses, the input, the threads ...).
bool ReadFindArguments(const std::vector<std::string>& args, FindOptions& options, std::string* why);

// The ranking's configuration of zelm-find's options: with a report, each MS/MS peak's fragment is kept so that the
// report can label it (the tables stay as --explain says).
MadeConfig MakeFindConfig(const FindOptions& options);

// zelm-find's long options without their dashes ("ppm", "max-candidates", ...), each with whether it is a flag (one
// that takes no value), for front ends that take the same options under other names (Python's keyword arguments).
struct LongOption {
  std::string name;
  bool flag = false;
};
std::vector<LongOption> LongOptions();

}  // namespace zelm
