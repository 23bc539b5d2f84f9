// SIRIUS-style .ms files: ">compound NAME" starts a feature (a file may hold several), ">field value" lines describe
// it, and the peak lines after ">ms1", ">ms1merged", ">ms2", ">ms2merged" or ">collision ENERGY" form its spectra. A
// compound with a fault is reported at the fault and dropped whole; the next compound is read on.
#include <string>
#include <utility>

#include "spectra/feature_input.h"
#include "spectra/format_readers.h"
#include "spectra/text_fields.h"

namespace zelm {

using namespace fields;

namespace {

class MsReader {
 public:
  explicit MsReader(const std::string& file);

  void Line(std::string_view line, int number);
  FeatureList Finish();

 private:
  void Start(std::string_view name, int number);
  void End();
  bool Field(const std::string& name, std::string_view value, int number, std::string& why);
  bool PeakLine(std::string_view line, std::string& why);

  const std::string& file_;
  std::string stem_;  // the file's name without ".ms": the name of a compound that gives none
  bool open_ = false, failed_ = false, hasMz_ = false;
  Feature feature_;
  WrittenCharge charge_;
  std::string chargeText_;
  int chargeLine_ = 0;
  std::vector<Spectrum>* spectra_ = nullptr;  // where peak lines go (the last of them); null after any other field
  FeatureList out_;
};

MsReader::MsReader(const std::string& file) : file_(file), stem_(file) {
  if (const auto dot = stem_.rfind('.'); dot != std::string::npos && dot > 0) stem_.resize(dot);
}

void MsReader::Line(std::string_view line, int number) {
  if (line.empty() || line.front() == '#') return;
  const bool field = line.front() == '>';
  std::string name;
  std::string_view value;
  if (field) {
    const auto blank = line.find_first_of(" \t");
    name = Lower(line.substr(1, blank == std::string_view::npos ? blank : blank - 1));
    value = blank == std::string_view::npos ? "" : Strip(line.substr(blank));
    if (name == "compound") return Start(value, number);
  }
  if (!open_) Start("", number);  // what comes before the first >compound is a compound of its own
  if (failed_) return;
  std::string why;
  if (field ? !Field(name, value, number, why) : !PeakLine(line, why)) {
    out_.problems.push_back({file_, number, why});
    failed_ = true;
  }
}

void MsReader::Start(std::string_view name, int number) {
  End();
  open_ = true;
  failed_ = hasMz_ = false;
  feature_ = Feature{};
  feature_.id = name.empty() ? stem_ : std::string(name);
  feature_.file = file_;
  feature_.line = number;
  charge_ = WrittenCharge{};
  chargeLine_ = 0;
  spectra_ = nullptr;
}

bool MsReader::Field(const std::string& name, std::string_view value, int number, std::string& why) {
  spectra_ = nullptr;
  if (name == "ms1" || name == "ms1merged" || name == "ms2" || name == "ms2merged" || name == "collision") {
    const bool survey = name.compare(0, 3, "ms1") == 0;
    spectra_ = survey ? &feature_.ms1 : &feature_.ms2;
    Spectrum s;
    s.msLevel = survey ? 1 : 2;
    s.line = number;
    if (name == "collision") s.collisionEnergy = std::string(value);
    spectra_->push_back(std::move(s));
  } else if (name == "parentmass") {
    if (!Number(value, feature_.mz) || !(feature_.mz > 0)) {
      why = "the parent mass " + Shown(value) + " is not a number above 0";
      return false;
    }
    hasMz_ = true;
  } else if (name == "ionization" || name == "ion") {
    feature_.ion = std::string(value);
  } else if (name == "charge") {
    if (!ReadCharge(value, charge_)) {
      why = "the charge " + Shown(value) + " is not one of 1 to 3, + or -";
      return false;
    }
    chargeText_ = std::string(value);
    chargeLine_ = number;
  } else {
    feature_.notes.emplace_back(name, std::string(value));
  }
  return true;
}

bool MsReader::PeakLine(std::string_view line, std::string& why) {
  if (!spectra_) {
    why = "the peak line " + Shown(line) + " follows no spectrum header (>ms1, >ms2 or >collision)";
    return false;
  }
  const auto words = Words(line);
  Peak p;
  if (words.size() != 2 || !Number(words[0], p.mz) || !(p.mz > 0) || !Number(words[1], p.intensity)) {
    why = "the peak line " + Shown(line) + " is not an m/z and an intensity";
    return false;
  }
  spectra_->back().peaks.push_back(p);
  return true;
}

void MsReader::End() {
  if (!open_ || failed_) return;
  open_ = false;
  const IonMode ionMode = ModeOfIon(feature_.ion);
  if (!hasMz_) {
    out_.problems.push_back({file_, feature_.line, "the compound has no >parentmass"});
    return;
  }
  if (!SettleCharge(charge_, ionMode)) {
    out_.problems.push_back(
        {file_, chargeLine_, "the charge " + Shown(chargeText_) + " disagrees with the ion " + Shown(feature_.ion)});
    return;
  }
  feature_.charge = charge_.value;
  feature_.mode = ionMode != IonMode::Unknown ? ionMode : ModeOfCharge(charge_.value);
  for (Spectrum& s : feature_.ms1) s.charge = feature_.charge;
  for (Spectrum& s : feature_.ms2) {
    s.charge = feature_.charge;
    s.precursorMz = feature_.mz;
  }
  out_.features.push_back(std::move(feature_));
}

FeatureList MsReader::Finish() {
  End();
  return std::move(out_);
}

}  // namespace

FeatureList ReadMsFeatures(std::string_view bytes, const std::string& file) {
  MsReader reader(file);
  const auto lines = Lines(bytes);
  for (size_t i = 0; i < lines.size(); ++i) reader.Line(Strip(lines[i]), static_cast<int>(i) + 1);
  return reader.Finish();
}

}  // namespace zelm
