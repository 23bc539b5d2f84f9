// MGF: BEGIN IONS ... END IONS blocks, each one spectrum, grouped into features by FEATURE_ID, else SCANS, else TITLE
// (across the whole file), a block without any of them being a feature alone. A block with a fault is reported at the
// fault and dropped whole; the rest of the file is read on.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "spectra/feature_input.h"
#include "spectra/format_readers.h"
#include "spectra/text_fields.h"

namespace zelm {

using namespace fields;

namespace {

// What one block gives, before it is put with the others of its feature.
struct Block {
  Spectrum spectrum;
  std::string featureId, scans, title;   // the keys that group blocks (empty: not given)
  // PEPMASS and PRECURSOR_MZ as read (0: not given) and as written; PEPMASS is the m/z when both are given.
  std::pair<double, std::string> pepmass, precursorMz;
  double mz = 0, intensity = 0;          // mz 0: not given
  std::string mzText;                    // the m/z as written: a lone block's feature id
  bool hasIntensity = false;
  WrittenCharge charge;
  int chargeLine = 0;
  std::string chargeText, modeText;      // as written, for a problem
  IonMode mode = IonMode::Unknown;
  std::string ion;
  std::vector<Peak> isotopes;
  bool hasIsotopes = false;
};

bool IsKey(std::string_view line) {
  return line.find('=') != std::string_view::npos && !std::isdigit(static_cast<unsigned char>(line.front()));
}

class MgfReader {
 public:
  explicit MgfReader(const std::string& file) : file_(file) {}

  void Read(std::string_view bytes);
  FeatureList Features();

 private:
  void Line(std::string_view line, int number);
  bool Field(const std::string& key, std::string_view value, int number, std::string& why);
  bool PeakLine(std::string_view line, std::string& why);
  void End(int number);
  void Problem(int line, std::string reason) { out_.problems.push_back({file_, line, std::move(reason)}); }

  const std::string& file_;
  std::vector<Block> blocks_;  // those read without a fault, in the file's order
  Block block_;
  bool inside_ = false, failed_ = false;
  FeatureList out_;
};

void MgfReader::Read(std::string_view bytes) {
  const auto lines = Lines(bytes);
  for (size_t i = 0; i < lines.size(); ++i) Line(Strip(lines[i]), static_cast<int>(i) + 1);
  if (inside_ && !failed_) Problem(block_.spectrum.line, "the block has no END IONS");
}

void MgfReader::Line(std::string_view line, int number) {
  if (line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '!') return;
  const std::string upper = Upper(line);
  if (upper == "BEGIN IONS") {
    if (inside_ && !failed_) Problem(number, "BEGIN IONS inside a block that has not ended");
    inside_ = true;
    failed_ = false;
    block_ = Block{};
    block_.spectrum.line = number;
  } else if (upper == "END IONS") {
    End(number);
  } else if (inside_ && !failed_) {
    std::string why;
    const bool ok = IsKey(line) ? Field(Lower(Strip(line.substr(0, line.find('=')))),
                                        Strip(line.substr(line.find('=') + 1)), number, why)
                                : PeakLine(line, why);
    if (!ok) {
      Problem(number, why);
      failed_ = true;
    }
  }
  // What lies between blocks (global settings) is not needed.
}

bool MgfReader::Field(const std::string& key, std::string_view value, int number, std::string& why) {
  Block& b = block_;
  if (key == "pepmass" || key == "precursor_mz") {
    const auto words = Words(value);
    double mz = 0;
    if (words.empty() || !Number(words[0], mz) || !(mz > 0)) {
      why = Upper(key) + " " + Shown(value) + " is not an m/z above 0";
      return false;
    }
    if (key == "pepmass" && words.size() > 1 && !Number(words[1], b.intensity)) {
      why = "the PEPMASS intensity " + Shown(words[1]) + " is not a number";
      return false;
    }
    if (key == "pepmass") b.hasIntensity = words.size() > 1;
    auto& given = key == "pepmass" ? b.pepmass : b.precursorMz;
    given.first = mz;
    given.second = std::string(words[0]);
  } else if (key == "charge") {
    // Several charges ("2+ and 3+") are not one ion: the first is taken.
    const auto words = Words(value);
    if (words.empty() || !ReadCharge(words[0], b.charge)) {
      why = "CHARGE " + Shown(value) + " is not one of 1 to 3, + or -";
      return false;
    }
    b.chargeLine = number;
    b.chargeText = "CHARGE " + Shown(value);
  } else if (key == "ionmode" || key == "polarity") {
    const auto mode = ReadIonMode(value);
    if (!mode) {
      why = Upper(key) + " " + Shown(value) + " is not positive or negative";
      return false;
    }
    if (b.mode == IonMode::Unknown) {
      b.mode = *mode;
      b.modeText = Upper(key) + " " + Shown(value);
    }
  } else if (key == "mslevel") {
    int level = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), level);
    if (ec != std::errc() || end != value.data() + value.size() || level < 1) {
      why = "MSLEVEL " + Shown(value) + " is not a whole number above 0";
      return false;
    }
    b.spectrum.msLevel = level;
  } else if (key == "rtinseconds") {
    double rt = 0;
    if (!Number(value, rt)) {
      why = "RTINSECONDS " + Shown(value) + " is not a number";
      return false;
    }
    b.spectrum.retentionTime = rt;
  } else if (key == "isotopes") {
    if (std::string bad; !ParseIsotopePeaks(value, b.isotopes, &bad)) {
      why = "ISOTOPES " + Shown(value) + " cannot be read: " + bad;
      return false;
    }
    b.hasIsotopes = true;
  } else if (key == "adduct" || key == "ion" || key == "ion_type" || key == "precursor_type" ||
             key == "adduct_type") {
    if (b.ion.empty()) b.ion = std::string(value);
  } else if (key == "title") {
    b.title = std::string(value);
  } else if (key == "feature_id") {
    b.featureId = std::string(value);
  } else if (key == "scans") {
    b.scans = std::string(value);
  } else if (key == "collision_energy") {
    b.spectrum.collisionEnergy = std::string(value);
  }
  return true;
}

bool MgfReader::PeakLine(std::string_view line, std::string& why) {
  const auto words = Words(line);
  Peak p;
  if (words.empty() || words.size() > 3 || !Number(words[0], p.mz) ||
      (words.size() > 1 && !Number(words[1], p.intensity))) {
    why = "the peak line " + Shown(line) + " is not an m/z and an intensity";
    return false;
  }
  block_.spectrum.peaks.push_back(p);
  return true;
}

void MgfReader::End(int number) {
  if (!inside_) {
    Problem(number, "END IONS without BEGIN IONS");
    return;
  }
  inside_ = false;
  if (failed_) return;
  Block& b = block_;
  if (!SettleCharge(b.charge, b.mode)) {
    Problem(b.chargeLine, b.chargeText + " disagrees with " + b.modeText);
    return;
  }
  const auto& given = b.pepmass.first > 0 ? b.pepmass : b.precursorMz;
  b.mz = given.first;
  b.mzText = given.second;
  b.spectrum.id = b.title;
  b.spectrum.charge = b.charge.value;
  if (b.spectrum.msLevel >= 2) b.spectrum.precursorMz = b.mz;
  blocks_.push_back(std::move(b));
}

// The key that groups a block, with its kind first so that FEATURE_ID=5 and SCANS=5 stay apart; empty: alone.
std::pair<int, std::string> GroupKey(const Block& b) {
  if (!b.featureId.empty()) return {1, b.featureId};
  if (!b.scans.empty()) return {2, b.scans};
  if (!b.title.empty()) return {3, b.title};
  return {0, ""};
}

// A feature from its blocks (in the file's order): each value from the first block that gives it.
Feature Join(std::vector<Block*>& group, const std::string& id, const std::string& file) {
  Feature f;
  f.id = id;
  f.file = file;
  f.line = group.front()->spectrum.line;
  WrittenCharge charge;
  for (Block* b : group) {
    if (f.mz == 0 && b->mz > 0) f.mz = b->mz;
    if (f.intensity == 0 && b->hasIntensity) f.intensity = b->intensity;
    if (charge.value == 0) charge = b->charge;
    // A block's charge tells the mode only when its sign was written (or its block's mode gave it).
    if (f.mode == IonMode::Unknown && b->mode != IonMode::Unknown) f.mode = b->mode;
    if (f.mode == IonMode::Unknown && b->charge.signKnown) f.mode = ModeOfCharge(b->charge.value);
    if (f.ion.empty()) f.ion = b->ion;
    if (f.isotopePeaks.empty() && b->hasIsotopes) f.isotopePeaks = b->isotopes;
  }
  // A charge written without a sign takes it from the ion mode another block of the feature gives.
  // A written sign that another block's mode contradicts wins: the charge is the more precise.
  if (!SettleCharge(charge, f.mode)) f.mode = ModeOfCharge(charge.value);
  f.charge = charge.value;
  if (f.mode == IonMode::Unknown) f.mode = ModeOfCharge(charge.value);
  for (Block* b : group) {
    if (!b->charge.signKnown && f.mode == IonMode::Negative) b->spectrum.charge = -b->spectrum.charge;
    (b->spectrum.msLevel == 1 ? f.ms1 : f.ms2).push_back(std::move(b->spectrum));
  }
  return f;
}

FeatureList MgfReader::Features() {
  std::vector<std::vector<Block*>> groups;
  std::map<std::pair<int, std::string>, size_t> byKey;
  for (Block& b : blocks_) {
    const auto key = GroupKey(b);
    if (key.first == 0) {
      groups.push_back({&b});
      continue;
    }
    const auto [at, added] = byKey.try_emplace(key, groups.size());
    if (added) groups.emplace_back();
    groups[at->second].push_back(&b);
  }
  for (auto& group : groups) {
    const auto key = GroupKey(*group.front());
    const std::string id = key.first == 0 ? group.front()->mzText : key.second;
    Feature f = Join(group, id, file_);
    if (f.mz > 0) out_.features.push_back(std::move(f));
    else Problem(f.line, "the block has no PEPMASS");
  }
  std::stable_sort(out_.problems.begin(), out_.problems.end(),
                   [](const ReadProblem& a, const ReadProblem& b) { return a.line < b.line; });
  return std::move(out_);
}

}  // namespace

FeatureList ReadMgfFeatures(std::string_view bytes, const std::string& file) {
  MgfReader reader(file);
  reader.Read(bytes);
  return reader.Features();
}

}  // namespace zelm
