#include "rank/model_fit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

#include "chemistry/formula_notation.h"

namespace zelm {

namespace {

using Matrix = std::vector<std::vector<double>>;

// Solves a x = b for a symmetric positive definite a (Gaussian elimination with pivoting); b becomes x.
void Solve(Matrix a, std::vector<double>& b) {
  const size_t n = b.size();
  for (size_t c = 0; c < n; ++c) {
    size_t pivot = c;
    for (size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    std::swap(a[c], a[pivot]);
    std::swap(b[c], b[pivot]);
    if (a[c][c] == 0) continue;
    for (size_t r = c + 1; r < n; ++r) {
      const double f = a[r][c] / a[c][c];
      for (size_t k = c; k < n; ++k) a[r][k] -= f * a[c][k];
      b[r] -= f * b[c];
    }
  }
  for (size_t c = n; c-- > 0;) {
    for (size_t k = c + 1; k < n; ++k) b[c] -= a[c][k] * b[k];
    b[c] = a[c][c] != 0 ? b[c] / a[c][c] : 0;
  }
}

// A column of the fit: a term as it is, or with `bent` its part above the bend's knot (the bend's weight unused).
struct Column {
  Bend bend;
  bool bent = false;
  double Of(const Evidence& x) const { return bent ? bend.Above(x) : x[Index(bend.term)]; }
};

// The terms whose weight may bend: the mass error, the MS/MS evidence and the shape of the formula (the isotope fit's
// and the ion's terms gained nothing from bends in cross-validation); and where: at these shares of a term's values
// other than 0 over the candidates.
constexpr Term kBentTerms[] = {
    Term::MassShare,     Term::RecalibratedShare2, Term::CoarseMassShare, Term::MsmsLlr,      Term::MsmsIntensity,
    Term::MsmsPeaks,     Term::MsmsChance,         Term::MsmsConsistent,  Term::MsmsCommonLosses, Term::MsmsPlausible,
    Term::MsmsError,     Term::ElementPrior,       Term::NPerC,           Term::OPerC,        Term::HalogenPerC,
    Term::HydrogenShape, Term::Rdbe,               Term::ClCount,         Term::FCount,       Term::PShortOfO,
    Term::SShortOfO,     Term::NPerC2,             Term::OPerC2,          Term::RdbePerC,     Term::NBeyondO,
    Term::NTimesMass,    Term::PMass};
constexpr double kKnotShares[] = {1.0 / 3, 2.0 / 3};

// Every term, then the bends of kBentTerms at the knots their values over the features' candidates give.
std::vector<Column> ColumnsOf(const std::vector<const TrainingFeature*>& features) {
  std::vector<Column> columns;
  for (size_t t = 0; t < kTerms; ++t) columns.push_back({{static_cast<Term>(t), 0, 0}, false});
  for (Term term : kBentTerms) {
    std::vector<double> values;
    for (const TrainingFeature* f : features)
      for (const Evidence& x : f->candidates)
        if (x[Index(term)] != 0) values.push_back(x[Index(term)]);
    std::sort(values.begin(), values.end());
    if (values.size() < 10 || values.front() == values.back()) continue;
    double last = -std::numeric_limits<double>::infinity();
    for (double share : kKnotShares) {
      const double knot = values[static_cast<size_t>(share * static_cast<double>(values.size() - 1))];
      if (knot > last && knot < values.back()) columns.push_back({{term, knot, 0}, true});
      last = knot;
    }
  }
  return columns;
}

// The features' log-likelihood under weights w (of the scaled columns) less the penalty, and optionally its gradient
// and the negative Hessian.
double LogLikelihood(const std::vector<const TrainingFeature*>& features, const std::vector<Column>& columns,
                     const std::vector<double>& scale, const std::vector<double>& w, double ridge,
                     std::vector<double>* gradient, Matrix* curvature) {
  const size_t n = w.size();
  double total = 0;
  for (size_t i = 0; i < n; ++i) total -= ridge * w[i] * w[i] / 2;
  if (gradient) {
    gradient->assign(n, 0);
    for (size_t i = 0; i < n; ++i) (*gradient)[i] = -ridge * w[i];
  }
  if (curvature) {
    curvature->assign(n, std::vector<double>(n, 0));
    for (size_t i = 0; i < n; ++i) (*curvature)[i][i] = ridge;
  }
  std::vector<double> rows, s, p, mean(n);
  std::vector<size_t> used;
  for (const TrainingFeature* f : features) {
    const size_t m = f->candidates.size();
    rows.resize(m * n);
    s.assign(m, 0);
    for (size_t k = 0; k < m; ++k)
      for (size_t i = 0; i < n; ++i) {
        rows[k * n + i] = columns[i].Of(f->candidates[k]) * scale[i];
        s[k] += w[i] * rows[k * n + i];
      }
    const double top = *std::max_element(s.begin(), s.end());
    double z = 0;
    for (double v : s) z += std::exp(v - top);
    const size_t right = static_cast<size_t>(f->right);
    total += s[right] - top - std::log(z);
    if (!gradient) continue;
    p.assign(m, 0);
    std::fill(mean.begin(), mean.end(), 0);
    for (size_t k = 0; k < m; ++k) {
      p[k] = std::exp(s[k] - top) / z;
      for (size_t i = 0; i < n; ++i) mean[i] += p[k] * rows[k * n + i];
    }
    for (size_t i = 0; i < n; ++i) (*gradient)[i] += rows[right * n + i] - mean[i];
    if (!curvature) continue;
    // The candidates' covariance: the sum of p r r' over the rows' terms other than 0, less mean mean'.
    for (size_t k = 0; k < m; ++k) {
      if (p[k] < 1e-12) continue;
      const double* row = &rows[k * n];
      used.clear();
      for (size_t i = 0; i < n; ++i)
        if (row[i] != 0) used.push_back(i);
      for (size_t a = 0; a < used.size(); ++a)
        for (size_t b = 0; b <= a; ++b) (*curvature)[used[a]][used[b]] += p[k] * row[used[a]] * row[used[b]];
    }
    for (size_t i = 0; i < n; ++i)
      for (size_t j = 0; j <= i; ++j) (*curvature)[i][j] -= mean[i] * mean[j];
  }
  if (curvature)
    for (size_t i = 0; i < n; ++i)
      for (size_t j = 0; j < i; ++j) (*curvature)[j][i] = (*curvature)[i][j];
  return total;
}

// The weights of one group of features, per column: columns scaled to a unit spread over the candidates, Newton steps
// halved until the likelihood grows.
std::vector<double> FitColumns(const std::vector<const TrainingFeature*>& features, const std::vector<Column>& columns,
                               double ridge) {
  const size_t n = columns.size();
  std::vector<double> scale(n, 0), mean(n, 0);
  size_t count = 0;
  for (const TrainingFeature* f : features)
    for (const Evidence& x : f->candidates) {
      ++count;
      for (size_t i = 0; i < n; ++i) mean[i] += columns[i].Of(x);
    }
  if (count == 0) return std::vector<double>(n, 0);
  for (double& m : mean) m /= static_cast<double>(count);
  for (const TrainingFeature* f : features)
    for (const Evidence& x : f->candidates)
      for (size_t i = 0; i < n; ++i) {
        const double d = columns[i].Of(x) - mean[i];
        scale[i] += d * d;
      }
  for (double& s : scale) s = s > 0 ? 1 / std::sqrt(s / static_cast<double>(count)) : 0;
  std::vector<double> w(n, 0), g;
  Matrix h;
  double current = LogLikelihood(features, columns, scale, w, ridge, &g, &h);
  for (int step = 0; step < 50; ++step) {
    std::vector<double> delta = g;
    Solve(h, delta);
    double size = 1, next = current;
    std::vector<double> trial(n);
    for (int halve = 0; halve < 30; ++halve, size /= 2) {
      for (size_t i = 0; i < n; ++i) trial[i] = w[i] + size * delta[i];
      next = LogLikelihood(features, columns, scale, trial, ridge, nullptr, nullptr);
      if (next >= current) break;
    }
    if (next < current) break;
    w = trial;
    const bool done = next - current < 1e-6;
    current = LogLikelihood(features, columns, scale, w, ridge, &g, &h);
    if (done) break;
  }
  for (size_t i = 0; i < n; ++i) w[i] *= scale[i];
  return w;
}

// The weights and bends of one group of features.
std::pair<Evidence, std::vector<Bend>> FitWeights(const std::vector<const TrainingFeature*>& features, double ridge) {
  const std::vector<Column> columns = ColumnsOf(features);
  const std::vector<double> w = FitColumns(features, columns, ridge);
  std::pair<Evidence, std::vector<Bend>> out{};
  for (size_t i = 0; i < columns.size(); ++i) {
    const Bend& b = columns[i].bend;
    if (!columns[i].bent) out.first[Index(b.term)] = w[i];
    else if (w[i] != 0) out.second.push_back({b.term, b.knot, w[i]});
  }
  return out;
}

}  // namespace

TrainingFeature TrainingOf(const RankResult& result, const std::string& formula, std::optional<Term> ion) {
  TrainingFeature f;
  f.formula = formula;
  for (const RankedCandidate& c : result.candidates) {
    if (!c.judged) continue;
    f.kind = c.kind;
    const bool ionRight = !ion || IonTerm(result.ions[c.ion]) == *ion;
    if (f.right < 0 && ionRight && chem::ToAscii(c.neutral) == formula) f.right = static_cast<int>(f.candidates.size());
    f.candidates.push_back(c.evidence);
  }
  return f;
}

ScoreModel FitModel(const std::vector<TrainingFeature>& features, const ScoreModel& base, const FitOptions& options) {
  ScoreModel model = base;
  model.temperature = 1;
  std::vector<const TrainingFeature*> all;
  for (const TrainingFeature& f : features)
    if (f.right >= 0 && f.candidates.size() > 1) all.push_back(&f);
  const auto pooled = FitWeights(all, options.ridge);
  for (size_t k = 0; k < kEvidenceKinds; ++k) {
    std::vector<const TrainingFeature*> own;
    for (const TrainingFeature* f : all)
      if (static_cast<size_t>(f->kind) == k) own.push_back(f);
    std::tie(model.weights[k], model.bends[k]) =
        own.size() >= options.minimumFeatures ? FitWeights(own, options.ridge) : pooled;
  }
  return model;
}

size_t FoldOf(const std::string& formula, size_t folds) {
  // FNV-1a: the same folds on every machine and every run.
  unsigned long long h = 1469598103934665603ULL;
  for (unsigned char c : formula) h = (h ^ c) * 1099511628211ULL;
  return folds > 0 ? static_cast<size_t>(h % folds) : 0;
}

HeldOut Score(const ScoreModel& model, const TrainingFeature& feature) {
  HeldOut out;
  out.kind = feature.kind;
  if (feature.candidates.empty()) return out;
  std::vector<double> s;
  for (const Evidence& x : feature.candidates) s.push_back(model.Score(feature.kind, x) / model.temperature);
  const size_t best = static_cast<size_t>(std::max_element(s.begin(), s.end()) - s.begin());
  double z = 0;
  for (double v : s) z += std::exp(v - s[best]);
  out.firstProbability = 1 / z;
  if (feature.right < 0) return out;
  const double mine = s[static_cast<size_t>(feature.right)];
  out.rank = 1;
  for (size_t k = 0; k < s.size(); ++k)
    if (s[k] > mine || (s[k] == mine && k < static_cast<size_t>(feature.right))) ++out.rank;
  return out;
}

std::vector<HeldOut> CrossValidate(const std::vector<TrainingFeature>& features, size_t folds, const ScoreModel& base,
                                   const FitOptions& options) {
  std::vector<HeldOut> out(features.size());
  for (size_t fold = 0; fold < folds; ++fold) {
    std::vector<TrainingFeature> train;
    for (const TrainingFeature& f : features)
      if (FoldOf(f.formula, folds) != fold) train.push_back(f);
    const ScoreModel model = FitModel(train, base, options);
    for (size_t i = 0; i < features.size(); ++i)
      if (FoldOf(features[i].formula, folds) == fold) out[i] = Score(model, features[i]);
  }
  return out;
}

}  // namespace zelm
