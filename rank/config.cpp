#include "rank/config.h"

#include <string_view>

#include "text/defaults.h"

namespace zelm {

namespace {

ConfigProblem Problem(std::string option, std::string message) { return {std::move(option), std::move(message)}; }

std::optional<ConfigProblem> LoadTable(const RankOptions& o, RankConfig& c) {
  c.table = o.isotopes.empty() ? chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt")
                               : chem::LoadElementTable(o.isotopes);
  if (!c.table.table.Empty()) return std::nullopt;
  return Problem("isotopes", c.table.problems.empty() ? o.isotopes + " holds no element"
                                                      : c.table.problems.front().reason);
}

std::optional<ConfigProblem> CheckTolerances(const RankOptions& o, RankConfig& c) {
  if (o.ppm && !(*o.ppm > 0)) return Problem("ppm", "the tolerance --ppm must be above 0");
  if (o.mda && !(*o.mda > 0)) return Problem("mda", "the tolerance --mda must be above 0");
  c.tolerance = Tolerance{o.ppm.value_or(0), o.mda.value_or(0)};
  if (!o.ppm && !o.mda) c.tolerance.ppm = 5;
  if (o.msmsPpm < 0 || o.msmsMda < 0) return Problem("msms_ppm", "the MS/MS tolerances must not be below 0");
  c.fragments.ppm = o.msmsPpm > 0 ? o.msmsPpm : c.tolerance.ppm;
  c.fragments.mda = o.msmsMda > 0 ? o.msmsMda : 2;
  if (!(o.resolution > 0)) return Problem("resolution", "the resolving power --resolution must be above 0");
  if (!(o.rtWindow >= 0)) return Problem("rt_window", "the retention-time window --rt-window must not be below 0");
  return std::nullopt;
}

std::optional<ConfigProblem> MakeBlocks(const RankOptions& o, RankConfig& c) {
  std::string why;
  if (!o.library.empty()) {
    if (o.maxCount < 0) return Problem("max_count", "--max-count must not be below 0");
    if (!LoadLibraryBlocks(o.library, o.maxCount, c.table.table, c.blocks, &why)) return Problem("library", why);
  } else if (!ParseElements(o.elements.empty() ? std::string(kDefaultElements) : o.elements, c.table.table, c.blocks,
                            &why)) {
    return Problem("elements", "--elements: " + why);
  }
  return std::nullopt;
}

std::optional<ConfigProblem> MakeRules(const RankOptions& o, RankConfig& c) {
  std::string why;
  chem::RuleSettings& rules = c.rules;
  if (!o.valence.empty() && !rules.valences.Parse(o.valence, &why)) return Problem("valence", "--valence: " + why);
  if (!o.rdbe.empty() && !rules.ParseRdbe(o.rdbe, &why)) return Problem("rdbe", "--rdbe: " + why);
  rules.rdbeWhole = !o.rdbeHalf;
  rules.senior = o.senior;
  const auto preset = chem::RatioPresetNamed(o.ratios);
  if (!preset) return Problem("ratios", "--ratios must be extended, common or off");
  rules.ratios = *preset;
  if (!o.ratio.empty() && !rules.ParseRatios(o.ratio, &why)) return Problem("ratio", "--ratio: " + why);
  return std::nullopt;
}

std::optional<ConfigProblem> LoadKnownFormulas(const RankOptions& o, RankConfig& c) {
  if (o.knownFormulas == "none") return std::nullopt;
  const std::string path = o.knownFormulas.empty() ? DefaultKnownFormulasPath() : o.knownFormulas;
  std::string why;
  c.known = KnownFormulas::Read(path, &why);
  // Without a file named, a machine without the default list ranks without it.
  if (!c.known && !o.knownFormulas.empty()) return Problem("known_formulas", "--known-formulas: " + why);
  if (c.known) c.knownFrom = path;
  return std::nullopt;
}

// "auto", in any case and with blanks around it.
bool IsAuto(std::string_view text) {
  const auto first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
  if (first == std::string::npos || last - first + 1 != 4) return false;
  for (size_t i = 0; i < 4; ++i)
    if ((text[first + i] | 0x20) != "auto"[i]) return false;
  return true;
}

}  // namespace

std::optional<ConfigProblem> ParseIonList(const std::string& list, const chem::ElementTable& table,
                                          std::vector<chem::IonType>& ions) {
  for (size_t start = 0; start <= list.size();) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    std::string one = list.substr(start, end - start);
    start = end + 1;
    const auto first = one.find_first_not_of(" \t"), last = one.find_last_not_of(" \t");
    if (first == std::string::npos) continue;
    one = one.substr(first, last - first + 1);
    if (IsAuto(one)) return Problem("ion", "--ion auto stands alone: it cannot be listed with other ion types");
    const auto parsed = chem::IonType::Parse(one, &table);
    if (!parsed) return Problem("ion", "the ion type \"" + one + "\" cannot be used: " + parsed.Error().message);
    ions.push_back(*parsed);
  }
  if (ions.empty()) return Problem("ion", "--ion names no ion type");
  return std::nullopt;
}

MadeConfig MakeConfig(const RankOptions& o) {
  RankConfig c;
  for (auto step : {LoadTable, CheckTolerances, MakeBlocks, MakeRules, LoadKnownFormulas})
    if (auto problem = step(o, c)) return {std::nullopt, std::move(problem)};
  c.ionsGiven = o.ions.has_value();
  c.autoIons = c.ionsGiven && IsAuto(*o.ions);
  const std::string list = c.ionsGiven && !c.autoIons ? *o.ions : "[M+H]+";
  if (auto problem = ParseIonList(list, c.table.table, c.ions)) return {std::nullopt, problem};
  c.msms = o.msms;
  c.explain = o.explain;
  c.top = o.top > 0 ? o.top : o.explain ? 3 : 0;
  c.maxCandidates = o.maxCandidates;
  c.resolution = o.resolution;
  c.rtWindow = o.rtWindow;
  c.model = o.model ? *o.model : ScoreModel::BuiltIn(c.known != nullptr);
  return {std::move(c), std::nullopt};
}

}  // namespace zelm
