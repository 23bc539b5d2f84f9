// Isotope patterns: IsoSpec++ gives the fine structure, merged here into the peaks of a resolving power.
#include "chemistry/isotope_pattern.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <exception>

#include <IsoSpec++/fixedEnvelopes.h>
#include <IsoSpec++/isoSpec++.h>

#include "chemistry/element_table.h"
#include "chemistry/ion_type.h"

namespace zelm::chem {

std::vector<PatternPeak> FineStructure(const Composition& ion, int charge, const ElementTable& table,
                                       double coverage) {
  if (ion.Empty() || !(coverage > 0)) return {};
  // The elements that take several isotopes go to IsoSpec; what has one mass only (an isotope entry, an element of
  // one isotope) is a fixed part of every line's mass.
  double fixedMass = 0;
  std::vector<int> isotopeCounts, atomCounts;
  std::vector<std::vector<double>> masses, probabilities;
  for (const CompositionEntry& e : ion.Entries()) {
    if (e.count > INT_MAX) return {};
    if (e.massNumber != 0) {
      const Isotope* isotope = table.FindIsotope(e.massNumber, e.symbol);
      if (!isotope) return {};
      fixedMass += static_cast<double>(e.count) * isotope->mass;
      continue;
    }
    const Element* element = table.Find(e.symbol);
    if (!element || element->isotopes.empty()) return {};
    std::vector<double> m, p;
    for (const Isotope& i : element->isotopes)
      if (i.abundance > 0) {
        m.push_back(i.mass);
        p.push_back(i.abundance);
      }
    if (m.size() < 2) {  // one isotope in nature (or none listed with an abundance: the element's main isotope)
      fixedMass += static_cast<double>(e.count) * (m.empty() ? element->MonoisotopicMass() : m.front());
      continue;
    }
    double sum = 0;
    for (double x : p) sum += x;
    for (double& x : p) x /= sum;
    isotopeCounts.push_back(static_cast<int>(m.size()));
    atomCounts.push_back(static_cast<int>(e.count));
    masses.push_back(std::move(m));
    probabilities.push_back(std::move(p));
  }

  const int z = charge;
  const double divisor = z == 0 ? 1.0 : std::abs(z);
  auto mzOf = [&](double mass) { return (mass + fixedMass - z * kElectronMass) / divisor; };
  std::vector<PatternPeak> lines;
  if (masses.empty()) {
    lines.push_back({mzOf(0), 1.0});
    return lines;
  }
  std::vector<const double*> massRows, probabilityRows;
  for (size_t i = 0; i < masses.size(); ++i) {
    massRows.push_back(masses[i].data());
    probabilityRows.push_back(probabilities[i].data());
  }
  try {
    IsoSpec::Iso iso(static_cast<int>(masses.size()), isotopeCounts.data(), atomCounts.data(), massRows.data(),
                     probabilityRows.data());
    IsoSpec::FixedEnvelope envelope =
        IsoSpec::FixedEnvelope::FromTotalProb(std::move(iso), std::min(coverage, 1.0), true);
    lines.reserve(envelope.confs_no());
    for (size_t i = 0; i < envelope.confs_no(); ++i) lines.push_back({mzOf(envelope.mass(i)), envelope.prob(i)});
  } catch (const std::exception&) {
    return {};
  }
  std::sort(lines.begin(), lines.end(), [](const PatternPeak& a, const PatternPeak& b) { return a.mz < b.mz; });
  return lines;
}

std::vector<PatternPeak> MergePeaks(std::vector<PatternPeak> lines, double resolution, double floor) {
  std::sort(lines.begin(), lines.end(), [](const PatternPeak& a, const PatternPeak& b) { return a.mz < b.mz; });
  std::vector<PatternPeak> peaks;
  double weighted = 0;  // the sum of m/z times abundance of the last peak's lines
  for (const PatternPeak& line : lines) {
    if (!(line.abundance > 0)) continue;
    if (!peaks.empty()) {
      PatternPeak& last = peaks.back();
      const double width = resolution > 0 ? std::abs(last.mz) / resolution : 0;
      if (line.mz - last.mz < width) {
        weighted += line.mz * line.abundance;
        last.abundance += line.abundance;
        last.mz = weighted / last.abundance;
        continue;
      }
    }
    peaks.push_back(line);
    weighted = line.mz * line.abundance;
  }
  double top = 0;
  for (const PatternPeak& p : peaks) top = std::max(top, p.abundance);
  if (!(top > 0)) return {};
  std::vector<PatternPeak> kept;
  for (PatternPeak p : peaks) {
    p.abundance = 100 * p.abundance / top;
    if (p.abundance >= floor) kept.push_back(p);
  }
  return kept;
}

std::vector<PatternPeak> IsotopePattern(const Composition& ion, int charge, const ElementTable& table,
                                        double resolution) {
  return MergePeaks(FineStructure(ion, charge, table), resolution);
}

}  // namespace zelm::chem
