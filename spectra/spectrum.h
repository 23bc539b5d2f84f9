// Spectra and features as LC-MS tools export them for formula annotation: a feature is one compound's ion (its m/z,
// charge and ion type when known) with the survey (MS1) spectra that show its isotope peaks and the MS/MS (MS2)
// spectra of it as precursor, often at several collision energies.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelm {

struct Peak {
  double mz = 0;
  double intensity = 0;
};

enum class IonMode { Unknown, Positive, Negative };

struct Spectrum {
  int msLevel = 2;
  std::vector<Peak> peaks;               // as read
  double precursorMz = 0;                // 0: none given
  int charge = 0;                        // signed; 0: unknown
  IonMode mode = IonMode::Unknown;       // the scan's polarity, when the file gives it
  std::string collisionEnergy;           // as the file writes it; empty: not given
  std::optional<double> retentionTime;   // in seconds
  std::string id;                        // the native id, or the title
  int line = 0;                          // where it starts in a text file (0: not from one)
};

struct Feature {
  std::string id;                  // FEATURE_ID, the title, the id column or the mass as written
  double mz = 0;                   // the measured m/z of the ion
  double intensity = 0;            // of the ion, 0 when not given
  int charge = 0;                  // signed; 0: unknown (then the ion mode may tell the sign)
  IonMode mode = IonMode::Unknown;
  std::string ion;                 // the ion type as the file writes it ("[M+H]+"); empty: not given
  std::vector<Spectrum> ms1, ms2;
  std::vector<Peak> isotopePeaks;  // measured isotope peaks when the file gives them directly
  // Other fields the file gives (a .ms file's >formula, ...): kept to be shown, never used to search.
  std::vector<std::pair<std::string, std::string>> notes;
  std::string file;                // the file's name as shown in messages
  int line = 0;                    // where the feature starts in it (0: not from a text file)

  // The sign of the charge: from the charge, else the ion mode; 0 when neither tells.
  int Polarity() const {
    if (charge != 0) return charge > 0 ? 1 : -1;
    return mode == IonMode::Positive ? 1 : mode == IonMode::Negative ? -1 : 0;
  }
};

// What could not be read: the file, the line (0: the file as a whole) and why.
struct ReadProblem {
  std::string file;
  int line = 0;
  std::string reason;
  std::string Text() const {  // "peaks.csv line 4: the m/z "abc" is not a number"
    return file + (line > 0 ? " line " + std::to_string(line) : std::string()) + ": " + reason;
  }
};

// What a reader gives: every feature it could read, in the file's order, and every problem it met.
struct FeatureList {
  std::vector<Feature> features;
  std::vector<ReadProblem> problems;
};

}  // namespace zelm
