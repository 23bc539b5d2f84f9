#include "find/peak_input.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace zelm {

namespace {

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

// A whole field as a finite number.
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

// The lines of a file without their line ends (CR LF, LF or CR).
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

// The fields of a plain-text line: separated by blanks, tabs or commas.
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

// A charge as MGF and tables write it: "1+", "2-", "+1", "-2", "1" (positive).
bool Charge(std::string_view text, int& charge) {
  text = Strip(text);
  int sign = 1;
  if (!text.empty() && (text.back() == '+' || text.back() == '-')) {
    sign = text.back() == '-' ? -1 : 1;
    text.remove_suffix(1);
  } else if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    sign = text.front() == '-' ? -1 : 1;
    text.remove_prefix(1);
  }
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 3) return false;
  charge = sign * value;
  return true;
}

bool Fail(InputError* error, const std::string& file, int line, std::string reason) {
  if (error) *error = {file, line, std::move(reason)};
  return false;
}

bool ReadText(std::string_view bytes, const std::string& file, std::vector<Query>& queries, InputError* error) {
  const auto lines = Lines(bytes);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    std::string_view line = lines[i];
    if (const auto hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    const auto words = Words(line);
    if (words.empty()) continue;
    if (words.size() > 2) return Fail(error, file, number, "more than an m/z and an intensity");
    Query q;
    if (!Number(words[0], q.mz) || !(q.mz > 0))
      return Fail(error, file, number, "the m/z " + Shown(words[0]) + " is not a number above 0");
    if (words.size() == 2 && !Number(words[1], q.intensity))
      return Fail(error, file, number, "the intensity " + Shown(words[1]) + " is not a number");
    q.id = std::string(words[0]);
    q.line = number;
    queries.push_back(std::move(q));
  }
  return true;
}

bool ReadTable(std::string_view bytes, char delimiter, const std::string& file, std::vector<Query>& queries,
               InputError* error) {
  const auto lines = Lines(bytes);
  size_t first = 0;
  while (first < lines.size() && Strip(lines[first]).empty()) ++first;
  if (first == lines.size()) return true;  // an empty table holds no query
  const auto header = SplitDelimited(lines[first], delimiter);
  int mz = -1, id = -1, ion = -1, intensity = -1, isotopes = -1, charge = -1;
  for (size_t c = 0; c < header.size(); ++c) {
    const std::string name = Lower(Strip(header[c]));
    const int col = static_cast<int>(c);
    if ((name == "mz" || name == "m/z" || name == "precursor_mz") && mz < 0) mz = col;
    else if (name == "id" && id < 0) id = col;
    else if ((name == "adduct" || name == "ion") && ion < 0) ion = col;
    else if (name == "intensity" && intensity < 0) intensity = col;
    else if (name == "isotopes" && isotopes < 0) isotopes = col;
    else if (name == "charge" && charge < 0) charge = col;
  }
  if (mz < 0)
    return Fail(error, file, static_cast<int>(first) + 1, "the header names no m/z column (mz, m/z or precursor_mz)");
  for (size_t i = first + 1; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    if (Strip(lines[i]).empty()) continue;
    const auto fields = SplitDelimited(lines[i], delimiter);
    auto field = [&](int c) -> std::string_view {
      return c >= 0 && static_cast<size_t>(c) < fields.size() ? Strip(fields[static_cast<size_t>(c)]) : "";
    };
    Query q;
    q.line = number;
    if (!Number(field(mz), q.mz) || !(q.mz > 0))
      return Fail(error, file, number, "the m/z " + Shown(field(mz)) + " is not a number above 0");
    if (!field(intensity).empty() && !Number(field(intensity), q.intensity))
      return Fail(error, file, number, "the intensity " + Shown(field(intensity)) + " is not a number");
    if (!field(charge).empty() && !Charge(field(charge), q.charge))
      return Fail(error, file, number, "the charge " + Shown(field(charge)) + " is not one of 1 to 3, + or -");
    q.id = field(id).empty() ? std::string(field(mz)) : std::string(field(id));
    q.ion = std::string(field(ion));
    q.isotopes = std::string(field(isotopes));
    if (std::string why; !ParseIsotopePeaks(q.isotopes, q.isotopePeaks, &why))
      return Fail(error, file, number, "the isotopes " + Shown(q.isotopes) + " cannot be read: " + why);
    queries.push_back(std::move(q));
  }
  return true;
}

bool ReadMgf(std::string_view bytes, const std::string& file, std::vector<Query>& queries, InputError* error) {
  const auto lines = Lines(bytes);
  bool inside = false, hasMass = false;
  std::string pepmassText;
  Query q;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const std::string_view line = Strip(lines[i]);
    if (line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '!') continue;
    if (line == "BEGIN IONS") {
      if (inside) return Fail(error, file, number, "BEGIN IONS inside a block that has not ended");
      inside = true;
      hasMass = false;
      q = Query{};
      q.line = number;
      continue;
    }
    if (line == "END IONS") {
      if (!inside) return Fail(error, file, number, "END IONS without BEGIN IONS");
      if (!hasMass) return Fail(error, file, q.line, "the block has no PEPMASS");
      if (q.id.empty()) q.id = pepmassText;
      queries.push_back(std::move(q));
      inside = false;
      continue;
    }
    if (!inside) continue;  // what lies between blocks (global settings) is not needed
    const auto equals = line.find('=');
    if (equals != std::string_view::npos && !std::isdigit(static_cast<unsigned char>(line.front()))) {
      const std::string key = Lower(Strip(line.substr(0, equals)));
      const std::string_view value = Strip(line.substr(equals + 1));
      if (key == "pepmass") {
        const auto words = Words(value);
        if (words.empty() || !Number(words[0], q.mz) || !(q.mz > 0))
          return Fail(error, file, number, "PEPMASS " + Shown(value) + " is not an m/z above 0");
        if (words.size() > 1 && !Number(words[1], q.intensity))
          return Fail(error, file, number, "the PEPMASS intensity " + Shown(words[1]) + " is not a number");
        pepmassText = std::string(words[0]);
        hasMass = true;
      } else if (key == "charge") {
        // Several charges ("2+ and 3+") are not one ion: the first is taken.
        const auto words = Words(value);
        if (words.empty() || !Charge(words[0], q.charge))
          return Fail(error, file, number, "CHARGE " + Shown(value) + " is not one of 1 to 3, + or -");
      } else if (key == "title") {
        q.id = std::string(value);
      } else if (key == "adduct" || key == "ion") {
        q.ion = std::string(value);
      } else if (key == "isotopes") {
        q.isotopes = std::string(value);
        if (std::string why; !ParseIsotopePeaks(q.isotopes, q.isotopePeaks, &why))
          return Fail(error, file, number, "ISOTOPES " + Shown(value) + " cannot be read: " + why);
      }
      continue;
    }
    const auto words = Words(line);
    Peak p;
    if (words.empty() || words.size() > 3 || !Number(words[0], p.mz) ||
        (words.size() > 1 && !Number(words[1], p.intensity)))
      return Fail(error, file, number, "the peak line " + Shown(line) + " is not an m/z and an intensity");
    q.peaks.push_back(p);
  }
  if (inside) return Fail(error, file, q.line, "the block has no END IONS");
  return true;
}

}  // namespace

std::string InputError::Text() const {
  return file + (line > 0 ? " line " + std::to_string(line) : std::string()) + ": " + reason;
}

QueryFormat QueryFormatOfFile(std::string_view path) {
  const auto dot = path.rfind('.');
  if (dot != std::string_view::npos) {
    if (auto f = QueryFormatNamed(path.substr(dot + 1))) return *f;
  }
  return QueryFormat::Text;
}

std::optional<QueryFormat> QueryFormatNamed(std::string_view name) {
  const std::string n = Lower(name);
  if (n == "txt" || n == "text") return QueryFormat::Text;
  if (n == "csv") return QueryFormat::Csv;
  if (n == "tsv" || n == "tab") return QueryFormat::Tsv;
  if (n == "mgf") return QueryFormat::Mgf;
  return std::nullopt;
}

bool ReadQueries(std::string_view bytes, QueryFormat format, const std::string& file, std::vector<Query>& queries,
                 InputError* error) {
  switch (format) {
    case QueryFormat::Text: return ReadText(bytes, file, queries, error);
    case QueryFormat::Csv: return ReadTable(bytes, ',', file, queries, error);
    case QueryFormat::Tsv: return ReadTable(bytes, '\t', file, queries, error);
    case QueryFormat::Mgf: return ReadMgf(bytes, file, queries, error);
  }
  return false;
}

}  // namespace zelm
