#include "spectra/text_fields.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace zelm::fields {

std::string_view Strip(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool Number(std::string_view text, double& value) {
  text = Strip(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

std::string Shown(std::string_view text) {
  text = Strip(text);
  std::string s(text.substr(0, 30));
  if (text.size() > 30) s += "...";
  return "\"" + s + "\"";
}

std::vector<std::string_view> Lines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  auto sep = [](char c) { return c == ' ' || c == '\t' || c == ','; };
  while (i < line.size()) {
    while (i < line.size() && sep(line[i])) ++i;
    size_t j = i;
    while (j < line.size() && !sep(line[j])) ++j;
    if (j > i) words.push_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

bool ReadCharge(std::string_view text, WrittenCharge& charge) {
  text = Strip(text);
  int sign = 1;
  bool signed_ = false;
  if (!text.empty() && (text.back() == '+' || text.back() == '-')) {
    sign = text.back() == '-' ? -1 : 1;
    signed_ = true;
    text.remove_suffix(1);
  } else if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    sign = text.front() == '-' ? -1 : 1;
    signed_ = true;
    text.remove_prefix(1);
  }
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > 3) return false;
  charge.value = sign * value;
  charge.signKnown = signed_ && value != 0;
  return true;
}

std::optional<IonMode> ReadIonMode(std::string_view text) {
  const std::string t = Lower(Strip(text));
  if (t.empty()) return IonMode::Unknown;
  if (t == "positive" || t == "pos" || t == "+") return IonMode::Positive;
  if (t == "negative" || t == "neg" || t == "-") return IonMode::Negative;
  return std::nullopt;
}

IonMode ModeOfIon(std::string_view ion) {
  const auto sign = ion.find_last_of("+-");
  if (sign == std::string_view::npos) return IonMode::Unknown;
  return ion[sign] == '+' ? IonMode::Positive : IonMode::Negative;
}

bool SettleCharge(WrittenCharge& charge, IonMode mode) {
  if (charge.value == 0 || mode == IonMode::Unknown) return true;
  const IonMode sign = charge.value > 0 ? IonMode::Positive : IonMode::Negative;
  if (charge.signKnown) return sign == mode;
  if (sign != mode) charge.value = -charge.value;
  charge.signKnown = true;
  return true;
}

IonMode ModeOfCharge(int charge) {
  return charge > 0 ? IonMode::Positive : charge < 0 ? IonMode::Negative : IonMode::Unknown;
}

}  // namespace zelm::fields
