#include "text/text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace zelm {

std::string ToSuperscript(std::string_view plain) {
  std::string out;
  for (char c : plain) out += (c >= '0' && c <= '9') ? SuperDigit(c - '0') : c;
  return out;
}

std::string ToSubscript(std::string_view plain) {
  std::string out;
  for (char c : plain) out += (c >= '0' && c <= '9') ? SubDigit(c - '0') : c;
  return out;
}

std::string NumberTextBare(double value) {
  if (value == 0 || std::isnan(value)) return "0";
  // No text may read back as infinity: an infinite value is written as the largest number there is.
  if (std::isinf(value)) value = std::copysign(std::numeric_limits<double>::max(), value);
  char buf[64];
  double mag = std::fabs(value);
  bool exponent = mag >= 1e15 || mag < 1e-4;
  if (!exponent) {
    // A whole number below 1E15 is its digits.
    if (value == std::trunc(value)) {
      const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value)).ptr;
      return std::string(buf, end);
    }
    // Fixed notation with 15 significant digits (as printf's %.15g writes it), then trim trailing zeros and the
    // point.
    const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15).ptr;
    std::string s(buf, end);
    if (s.find('e') != std::string::npos) {  // rounding pushed it across a decade: fall back to %f
      int decimals = 15 - 1 - static_cast<int>(std::floor(std::log10(mag)));
      if (decimals < 0) decimals = 0;
      std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
      s = buf;
      if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
      }
    }
    bool negative = s[0] == '-';
    std::string digits = negative ? s.substr(1) : s;
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.erase(0, 1);
    return negative ? "-" + digits : digits;
  }
  std::snprintf(buf, sizeof buf, "%.14e", value);
  std::string s = buf;
  auto e = s.find('e');
  std::string mant = s.substr(0, e);
  int exp = std::atoi(s.c_str() + e + 1);
  if (!std::isfinite(std::strtod(s.c_str(), nullptr))) {
    // Rounded up past the largest double: the last digit goes down instead, so the text reads back finite.
    for (size_t i = mant.size(); i-- > 0;) {
      if (mant[i] == '.' || mant[i] == '-') continue;
      if (mant[i] != '0') {
        --mant[i];
        break;
      }
      mant[i] = '9';
    }
  }
  if (mant.find('.') != std::string::npos) {
    while (mant.back() == '0') mant.pop_back();
    if (mant.back() == '.') mant.pop_back();
  }
  std::snprintf(buf, sizeof buf, "E%c%02d", exp < 0 ? '-' : '+', std::abs(exp));
  return mant + buf;
}

std::string FixedText(double value, int decimals) {
  if (!std::isfinite(value)) return std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
  decimals = std::clamp(decimals, 0, 9);
  // Written without the locale, which may have another decimal point.
  char buf[400];
  const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
  std::string s(buf, end);
  // A negative number that rounds to zero is written as zero.
  if (s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
  return s;
}

std::string NumberText(double value) {
  std::string s = NumberTextBare(value);
  return s[0] == '-' ? s : " " + s;
}

std::string CountText(long long value) { return std::to_string(value); }

namespace {

// Length of the decimal number at the start of text (after blanks were skipped), 0 when none.
size_t NumberLength(std::string_view t) {
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    size_t expDigits = 0;
    while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j, ++expDigits;
    if (expDigits > 0) i = j;
  }
  return i;
}

size_t SkipBlanks(std::string_view t) {
  size_t i = 0;
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  return i;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  text.remove_prefix(SkipBlanks(text));
  size_t n = NumberLength(text);
  if (n == 0) return 0;
  std::string number(text.substr(0, n));
  double v = std::strtod(number.c_str(), nullptr);
  return std::isfinite(v) ? v : 0;
}

size_t LeadingNumberLength(std::string_view text) {
  const size_t blanks = SkipBlanks(text);
  const size_t n = NumberLength(text.substr(blanks));
  return n == 0 ? 0 : blanks + n;
}

bool IsNumberText(std::string_view text) {
  std::string_view t = Trim(text);
  if (t.empty()) return false;
  size_t n = NumberLength(t);
  if (n != t.size()) return false;
  std::string number(t);
  return std::isfinite(std::strtod(number.c_str(), nullptr));
}

unsigned CodePoint(unsigned char byte) {
  // Windows-1252 code points of the bytes 128..159; the five bytes it leaves undefined keep their own value.
  static const unsigned high[32] = {
      0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
      0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
  if (byte >= 128 && byte < 160) return high[byte - 128];
  return byte;
}

int CompareCoded(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned ca = CodePoint(static_cast<unsigned char>(a[i]));
    unsigned cb = CodePoint(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace zelm
