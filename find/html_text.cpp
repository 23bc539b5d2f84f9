#include "find/html_text.h"

#include "find/table_output.h"

namespace zelm {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The character reference that stands for c in HTML text and attribute values; empty when c stands for itself.
std::string_view Reference(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&#39;";
    default: return {};
  }
}

// The length of the well-formed UTF-8 sequence at the start of s (1 to 4), or 0 when it is not one (overlong forms,
// surrogates and code points above U+10FFFF are not).
size_t SequenceLength(std::string_view s) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = b(0);
  if (lead < 0x80) return 1;
  // The length by the lead byte, and the range of the second byte, which rules out the forms that are not allowed.
  size_t n = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  }
  if (n == 0 || s.size() < n || b(1) < lo || b(1) > hi) return 0;
  for (size_t i = 2; i < n; ++i)
    if (b(i) < 0x80 || b(i) > 0xBF) return 0;
  return n;
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (const std::string_view ref = Reference(c); !ref.empty()) {
      out += ref;
      ++i;
      continue;
    }
    const size_t n = SequenceLength(text.substr(i));
    const bool control = n == 1 && ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') || c == 0x7F);
    if (n == 0 || control) {
      out += kReplacement;
      ++i;
    } else {
      out.append(text.substr(i, n));
      i += n;
    }
  }
}

std::string Escaped(std::string_view text) {
  std::string out;
  AppendEscaped(out, text);
  return out;
}

void AppendNumber(std::string& out, double value, int decimals, bool typographic) {
  char buf[32];
  const std::string_view text = FormatNumber(value, decimals, buf);
  if (typographic && !text.empty() && text.front() == '-') {
    out += "\xE2\x88\x92";
    out.append(text.substr(1));
  } else {
    out.append(text);
  }
}

}  // namespace zelm
