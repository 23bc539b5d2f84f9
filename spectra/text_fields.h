// The small text rules the feature readers share (inside spectra/ only): lines, words, numbers, charges and ion modes
// as peak lists write them, and how a field is shown in a problem.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spectra/spectrum.h"

namespace zelm::fields {

std::string_view Strip(std::string_view s);
std::string Lower(std::string_view s);
std::string Upper(std::string_view s);

// A whole field as a finite number ("+" before it allowed).
bool Number(std::string_view text, double& value);

// A field in quotes for a problem, cut after 30 characters.
std::string Shown(std::string_view text);

// The lines of a file without their line ends (CR LF, LF or CR); line i is line number i + 1.
std::vector<std::string_view> Lines(std::string_view bytes);

// The fields of a plain-text line: separated by blanks, tabs or commas.
std::vector<std::string_view> Words(std::string_view line);

// A charge as MGF, tables and .ms files write it: "1+", "2-", "+1", "-2", "1", "0" (unknown); at most 3. Whether a
// sign was written is kept: "1" is positive unless the ion mode beside it says negative.
struct WrittenCharge {
  int value = 0;            // signed; positive when no sign was written
  bool signKnown = false;   // a sign was written (or SettleCharge took it from the ion mode)
};
bool ReadCharge(std::string_view text, WrittenCharge& charge);

// An ion mode: positive, negative, pos, neg, + or - in any case; an empty field is Unknown; nullopt for anything else.
std::optional<IonMode> ReadIonMode(std::string_view text);

// The ion mode an ion type's last sign gives ("[M+H]+": positive); Unknown without a sign.
IonMode ModeOfIon(std::string_view ion);

// Puts a charge and the ion mode given beside it together: a charge without a sign takes the mode's; false when a
// written sign contradicts the mode.
bool SettleCharge(WrittenCharge& charge, IonMode mode);

// The ion mode a charge's sign tells (Unknown for 0).
IonMode ModeOfCharge(int charge);

}  // namespace zelm::fields
