// zelm-find's features: the masses on its command line, then those of its input, read and checked as zelm-find
// reads them, for zelm-find and for the front ends that take the same options (the Python module).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "find/find_options.h"
#include "rank/ranker.h"
#include "spectra/spectrum.h"

namespace zelm {

struct FindInput {
  std::vector<Feature> features;
  std::string problem;  // when the input cannot be used: why, in zelm-find's words (then features is empty)
};

// The masses of o, then the features of o.input ("-": `in`), read with the ranker's tolerance and retention time
// window; a problem when a mass is not a number above 0, the input cannot be read (its first problem: file, line and
// reason), nothing is left to search, or a feature's ion type cannot be used (IonProblem).
FindInput ReadFindInput(const FindOptions& o, const Ranker& ranker, std::istream& in);

// The features of a file as zelm-find reads its --input: in the format o.inputFormat names, else the file's ending's,
// a run's scans grouped by the configuration's tolerance and retention time window.
FeatureList ReadInputFile(const FindOptions& o, const std::string& path, const RankConfig& config);

// Why the first feature whose ion types cannot be used cannot be searched; empty when every feature can be.
std::string IonProblem(const Ranker& ranker, const std::vector<Feature>& features);

}  // namespace zelm
