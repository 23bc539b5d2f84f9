// The reader of each text format (inside spectra/ only; ReadFeatures picks one). Each reads the whole of `bytes`,
// names `file` in its problems and goes on past what it cannot read.
#pragma once

#include <string>
#include <string_view>

#include "spectra/spectrum.h"

namespace zelm {

// One feature a line: an m/z, an optional intensity, "#" comments.
FeatureList ReadTextFeatures(std::string_view bytes, const std::string& file);
// One feature a row of a table with a header (delimiter ',' or '\t'), its columns found by name.
FeatureList ReadTableFeatures(std::string_view bytes, char delimiter, const std::string& file);
// MGF blocks grouped into features.
FeatureList ReadMgfFeatures(std::string_view bytes, const std::string& file);
// SIRIUS-style .ms compounds.
FeatureList ReadMsFeatures(std::string_view bytes, const std::string& file);

}  // namespace zelm
