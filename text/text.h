// Text rules shared by the whole program: the 8-bit label coding, number <-> text and the ordering of coded texts.
#pragma once

#include <string>
#include <string_view>

namespace zelm {

// Label coding: superscript digit d is the byte '0' + d + 80 (128..137), subscript digit d is '0' + d + 96 (144..153).
constexpr unsigned char kSuperZero = 128;
constexpr unsigned char kSubZero = 144;

inline char SuperDigit(int d) { return static_cast<char>(kSuperZero + d); }
inline char SubDigit(int d) { return static_cast<char>(kSubZero + d); }
inline bool IsSuperDigit(char c) {
  auto u = static_cast<unsigned char>(c);
  return u >= 128 && u <= 137;
}
// Any byte of 144 or above counts as a subscript digit where formulas are taken apart.
inline bool IsSubscript(char c) { return static_cast<unsigned char>(c) >= 144; }
inline bool IsCoded(char c) { return static_cast<unsigned char>(c) >= 128; }

// Plain digits of a text written as superscript or subscript digits ("12" -> coded 1, coded 2); other characters kept.
std::string ToSuperscript(std::string_view plain);
std::string ToSubscript(std::string_view plain);

// Number to text: a blank before a number of zero or more, a minus before a negative one, "." as the point, at most 15
// significant digits, no trailing zeros, no point for whole numbers and no "0" before the point (0.55 -> " .55").
// Numbers of 1E15 and above, or below 1E-4 in size, are written with an exponent (" 1E+16", " 1E-05"). Every text
// reads back finite: a number that fifteen digits would round past the largest double is cut instead, and infinity is
// written as the largest double.
std::string NumberText(double value);
// The same without the leading blank of a non-negative number (the mass box is written so).
std::string NumberTextBare(double value);
// A number with a fixed number of decimals (0 to 9), rounded, "." as the point, a "0" before it and a minus for a
// negative number that does not round to zero ("0.25", "-1.30", "0.00"); for figures shown to a reader, never read
// back by the program.
std::string FixedText(double value, int decimals);
// Whole numbers as plain decimal text without a blank ("12", "0").
std::string CountText(long long value);

// Leading-number rule: blanks skipped, the longest leading decimal number taken ("." as the point, an optional sign and
// exponent), 0 when there is none. "120,60" reads as 120.
double LeadingNumber(std::string_view text);
// How many characters of text the leading-number rule reads, the blanks before the number included; 0 when it finds no
// number.
size_t LeadingNumberLength(std::string_view text);
// True when the whole text (blanks around it allowed) is one decimal number; used to check file fields and user entries.
bool IsNumberText(std::string_view text);

// Ordering of coded texts: byte by byte, bytes of 128 and above compared by their Windows-1252 code points, so every
// plain character sorts before every coded digit. Returns <0, 0 or >0.
unsigned CodePoint(unsigned char byte);
int CompareCoded(std::string_view a, std::string_view b);
inline bool CodedLess(std::string_view a, std::string_view b) { return CompareCoded(a, b) < 0; }

// Blanks trimmed from both ends.
std::string_view Trim(std::string_view text);
std::string UpperCase(std::string_view text);

}  // namespace zelm
