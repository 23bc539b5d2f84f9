// zelm._zelm: the compiled half of the Python package zelm. It takes zelm-find's arguments (zelm/__init__.py makes
// them of keyword arguments), ranks and reads with zelm-find's own code, and gives columns for pandas: number columns
// as numpy arrays (float, or int for whole numbers), text columns as lists of str. Ranking and reading run without
// the GIL, so that other Python threads go on meanwhile.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "find/find_options.h"
#include "find/pattern_main.h"
#include "python/feature_objects.h"
#include "python/ranking_session.h"

namespace py = pybind11;

namespace zelm::python {

namespace {

py::object ColumnObject(const ColumnData& c) {
  if (!c.column.number) {
    py::list texts(c.texts.size());
    for (size_t i = 0; i < c.texts.size(); ++i) texts[i] = Text(c.texts[i]);
    return texts;
  }
  if (c.column.decimals == 0) {
    py::array_t<long long> whole(static_cast<py::ssize_t>(c.numbers.size()));
    auto out = whole.mutable_unchecked<1>();
    for (size_t i = 0; i < c.numbers.size(); ++i)
      out(static_cast<py::ssize_t>(i)) = static_cast<long long>(c.numbers[i]);
    return whole;
  }
  return py::array_t<double>(static_cast<py::ssize_t>(c.numbers.size()), c.numbers.data());
}

// A table as a list of (name, column) pairs, in the columns' order.
py::list TableObject(const std::vector<ColumnData>& table) {
  py::list pairs;
  for (const ColumnData& c : table) pairs.append(py::make_tuple(c.column.name, ColumnObject(c)));
  return pairs;
}

// The candidates' table, and the explanations' table or None.
py::tuple TablesObject(const Tables& t, bool explain) {
  return py::make_tuple(TableObject(t.candidates), explain ? py::object(TableObject(t.explanations)) : py::none());
}

std::unique_ptr<RankingSession> MakeSession(const std::vector<std::string>& args) {
  std::string why;
  auto session = RankingSession::Make(args, &why);
  if (!session) throw py::value_error(why);
  return session;
}

py::tuple RankInput(const RankingSession& s) {
  Tables tables;
  std::string problem;
  {
    py::gil_scoped_release free;
    FindInput input = s.Input();
    problem = std::move(input.problem);
    if (problem.empty()) tables = s.Rank(input.features);
  }
  if (!problem.empty()) throw py::value_error(problem);
  return TablesObject(tables, s.RankerInUse().Config().explain);
}

// The features of zelm.Feature objects ranked by rank(features) without the GIL, once each one's ion types are found
// usable (else a ValueError saying why).
template <class Result, class RankFn>
Result RankObjects(const RankingSession& s, const py::iterable& objects, RankFn rank) {
  std::vector<Feature> features;
  for (py::handle o : objects) features.push_back(FeatureOf(o));
  Result result;
  std::string problem;
  {
    py::gil_scoped_release free;
    problem = IonProblem(s.RankerInUse(), features);
    if (problem.empty()) result = rank(features);
  }
  if (!problem.empty()) throw py::value_error(problem);
  return result;
}

py::tuple RankFeatures(const RankingSession& s, const py::iterable& objects) {
  const Tables tables = RankObjects<Tables>(s, objects, [&](const auto& f) { return s.Rank(f); });
  return TablesObject(tables, s.RankerInUse().Config().explain);
}

// The candidates' and the explanations' tables (None unless explaining) as zelm-find's TSV, UTF-8.
py::tuple RankFeaturesTsv(const RankingSession& s, const py::iterable& objects) {
  const auto texts = RankObjects<std::vector<std::string>>(
      s, objects, [&](const auto& f) { return s.RankText(f, TableFormat::Tsv); });
  return py::make_tuple(py::bytes(texts.front()), texts.size() > 1 ? py::object(py::bytes(texts[1])) : py::none());
}

// The report page of the arguments' masses and --input, or of zelm.Feature objects.
py::str ReportInput(const RankingSession& s, const std::string& title) {
  std::string page, problem;
  {
    py::gil_scoped_release free;
    FindInput input = s.Input();
    problem = std::move(input.problem);
    if (problem.empty()) page = s.Report(input.features, title);
  }
  if (!problem.empty()) throw py::value_error(problem);
  return py::str(page);
}

py::str ReportFeatures(const RankingSession& s, const py::iterable& objects, const std::string& title) {
  return py::str(RankObjects<std::string>(s, objects, [&](const auto& f) { return s.Report(f, title); }));
}

py::list ReadFile(const std::vector<std::string>& args, const std::string& path) {
  FeatureList list;
  std::string why;
  {
    py::gil_scoped_release free;
    list = ReadFileOfArguments(args, path, &why);
  }
  if (!why.empty()) throw py::value_error(why);
  py::list features;
  for (const Feature& f : list.features) features.append(FeatureFields(f));
  return features;
}

py::list Pattern(const std::string& formula, const std::string& ion, double resolution, const std::string& isotopes) {
  PatternRequest request;
  request.formula = formula;
  request.ion = ion;
  request.resolution = resolution;
  request.isotopes = isotopes;
  PatternPeaks pattern;
  {
    py::gil_scoped_release free;
    pattern = ComputePattern(request);
  }
  if (!pattern.problem.empty()) throw py::value_error(pattern.problem);
  std::vector<ColumnData> table = EmptyColumns(PatternTable());
  for (const chem::PatternPeak& p : pattern.peaks) {
    const Cell cells[] = {{{}, p.mz}, {{}, p.abundance}};
    AppendRow(cells, table);
  }
  return TableObject(table);
}

std::vector<std::pair<std::string, bool>> Options() {
  std::vector<std::pair<std::string, bool>> names;
  for (const LongOption& o : LongOptions()) names.emplace_back(o.name, o.flag);
  return names;
}

}  // namespace

}  // namespace zelm::python

PYBIND11_MODULE(_zelm, m) {
  using namespace zelm;
  using namespace zelm::python;
  m.doc() = "The ranking library of ZELM with zelm-find's options, input and columns (use the package zelm)";
  m.def("long_options", &Options, "zelm-find's long options without dashes, each with whether it is a flag");
  m.def("default_resolution", [] { return chem::kDefaultResolution; });
  py::class_<RankingSession>(m, "Session")
      .def(py::init(&MakeSession), py::arg("args"), "zelm-find's arguments; ValueError with zelm-find's message")
      .def("rank_input", &RankInput, "rank the arguments' masses and --input: (candidates, explanations or None)")
      .def("rank_features", &RankFeatures, py::arg("features"), "rank zelm.Feature objects, in their order")
      .def("rank_features_tsv", &RankFeaturesTsv, py::arg("features"), "the same as zelm-find's TSV tables")
      .def("report_input", &ReportInput, py::arg("title"), "the report page of the arguments' masses and --input")
      .def("report_features", &ReportFeatures, py::arg("features"), py::arg("title"),
           "the report page of zelm.Feature objects, in their order");
  m.def("read_file", &ReadFile, py::arg("args"), py::arg("path"), "the features of a file as dicts of their fields");
  m.def("pattern", &Pattern, py::arg("formula"), py::arg("ion"), py::arg("resolution"), py::arg("isotopes"));
}
