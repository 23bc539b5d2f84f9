#include "rank/score_model.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "text/defaults.h"

namespace zelm {

ElementClass ClassOf(std::string_view symbol) {
  static const std::pair<std::string_view, ElementClass> kClasses[] = {
      {"C", ElementClass::Carbon},     {"H", ElementClass::Hydrogen},   {"N", ElementClass::Nitrogen},
      {"O", ElementClass::Oxygen},     {"S", ElementClass::Sulfur},     {"P", ElementClass::Phosphorus},
      {"F", ElementClass::Fluorine},   {"Cl", ElementClass::Chlorine},  {"Br", ElementClass::Bromine},
      {"I", ElementClass::Iodine}};
  for (const auto& [s, c] : kClasses)
    if (s == symbol) return c;
  return ElementClass::Other;
}

ScoreModel ScoreModel::Hand() {
  ScoreModel m;
  for (Evidence& w : m.weights) {
    w[Index(Term::MassShare2)] = -50;
    w[Index(Term::SoftRules)] = -0.5;
    w[Index(Term::ElementPrior)] = 1;
    w[Index(Term::IsotopeFit)] = 2;
    w[Index(Term::MsmsLlr)] = 1;
  }
  return m;
}

const ScoreModel& ScoreModel::BuiltIn(bool knownFormulas) {
  auto builtIn = [](std::string_view name) {
    const std::string_view text = ModelFileBytes(name);
    auto read = text.empty() ? std::nullopt : ReadScoreModel(text, nullptr);
    return read ? *read : Hand();
  };
  static const ScoreModel with = builtIn("score_model.txt"), without = builtIn("score_model_without_known.txt");
  return knownFormulas ? with : without;
}

double ScoreModel::Score(EvidenceKind k, const Evidence& x, bool cheapOnly) const {
  const Evidence& w = Weights(k);
  double s = 0;
  for (size_t t = 0; t < kTerms; ++t)
    if (!cheapOnly || IsCheap(static_cast<Term>(t))) s += w[t] * x[t];
  for (const Bend& b : Bends(k))
    if (!cheapOnly || IsCheap(b.term)) s += b.weight * b.Above(x);
  return s;
}

Evidence ScoreModel::TermScores(EvidenceKind k, const Evidence& x) const {
  const Evidence& w = Weights(k);
  Evidence s{};
  for (size_t t = 0; t < kTerms; ++t) s[t] = w[t] * x[t];
  for (const Bend& b : Bends(k)) s[Index(b.term)] += b.weight * b.Above(x);
  return s;
}

namespace {

std::string_view Word(std::string_view& line) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  size_t n = 0;
  while (n < line.size() && line[n] != ' ' && line[n] != '\t' && line[n] != '\r') ++n;
  const std::string_view w = line.substr(0, n);
  line.remove_prefix(n);
  return w;
}

bool Number(std::string_view text, double& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

}  // namespace

std::optional<ScoreModel> ReadScoreModel(std::string_view text, std::string* why) {
  ScoreModel m;
  int number = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    const std::string_view first = Word(line);
    if (first.empty() || first.front() == '#') continue;
    auto fail = [&](const std::string& reason) {
      if (why) *why = "line " + std::to_string(number) + ": " + reason;
      return std::nullopt;
    };
    if (first == "temperature") {
      if (!Number(Word(line), m.temperature) || !(m.temperature > 0)) return fail("the temperature is no number above 0");
      continue;
    }
    size_t kind = kEvidenceKinds, term = kTerms;
    for (size_t k = 0; k < kEvidenceKinds; ++k)
      if (KindName(static_cast<EvidenceKind>(k)) == first) kind = k;
    const std::string_view name = Word(line);
    for (size_t t = 0; t < kTerms; ++t)
      if (TermName(static_cast<Term>(t)) == name) term = t;
    if (kind == kEvidenceKinds) return fail("no kind of evidence \"" + std::string(first) + "\"");
    if (term == kTerms) return fail("no term \"" + std::string(name) + "\"");
    std::string_view value = Word(line);
    if (value == "above") {
      Bend b{static_cast<Term>(term), 0, 0};
      if (!Number(Word(line), b.knot)) return fail("the bend's knot is no number");
      if (!Number(Word(line), b.weight)) return fail("the bend's weight is no number");
      m.bends[kind].push_back(b);
      continue;
    }
    if (!Number(value, m.weights[kind][term])) return fail("the weight is no number");
  }
  return m;
}

std::string WriteScoreModel(const ScoreModel& model, std::string_view header) {
  std::string out(header);
  char line[128];
  std::snprintf(line, sizeof line, "temperature %.6g\n", model.temperature);
  out += line;
  for (size_t k = 0; k < kEvidenceKinds; ++k)
    for (size_t t = 0; t < kTerms; ++t) {
      if (model.weights[k][t] == 0) continue;
      std::snprintf(line, sizeof line, "%s %s %.6g\n", KindName(static_cast<EvidenceKind>(k)).data(),
                    TermName(static_cast<Term>(t)).data(), model.weights[k][t]);
      out += line;
    }
  for (size_t k = 0; k < kEvidenceKinds; ++k)
    for (const Bend& b : model.bends[k]) {
      std::snprintf(line, sizeof line, "%s %s above %.6g %.6g\n", KindName(static_cast<EvidenceKind>(k)).data(),
                    TermName(b.term).data(), b.knot, b.weight);
      out += line;
    }
  return out;
}

}  // namespace zelm
