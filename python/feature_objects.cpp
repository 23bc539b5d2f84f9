#include "python/feature_objects.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

namespace py = pybind11;

namespace zelm::python {

namespace {

using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;

py::array_t<double> Numbers(const std::vector<Peak>& peaks, bool mz) {
  py::array_t<double> a(static_cast<py::ssize_t>(peaks.size()));
  auto out = a.mutable_unchecked<1>();
  for (size_t i = 0; i < peaks.size(); ++i) out(static_cast<py::ssize_t>(i)) = mz ? peaks[i].mz : peaks[i].intensity;
  return a;
}

py::object Mode(IonMode mode) {
  if (mode == IonMode::Positive) return py::str("positive");
  if (mode == IonMode::Negative) return py::str("negative");
  return py::none();
}

IonMode ModeOf(py::handle h) {
  if (h.is_none()) return IonMode::Unknown;
  const std::string m = TextOf(h);
  if (m == "positive") return IonMode::Positive;
  if (m == "negative") return IonMode::Negative;
  if (m.empty()) return IonMode::Unknown;
  throw py::value_error("the ion mode \"" + m + "\" is not positive, negative or None");
}

py::dict SpectrumFields(const Spectrum& s) {
  py::dict d;
  d["mz"] = Numbers(s.peaks, true);
  d["intensity"] = Numbers(s.peaks, false);
  d["precursor_mz"] = s.precursorMz;
  d["charge"] = s.charge;
  d["mode"] = Mode(s.mode);
  d["collision_energy"] = Text(s.collisionEnergy);
  d["retention_time"] = s.retentionTime ? py::object(py::float_(*s.retentionTime)) : py::none();
  d["id"] = Text(s.id);
  d["line"] = s.line;
  return d;
}

// Peaks from two arrays of the same length.
std::vector<Peak> PeaksOf(py::handle mz, py::handle intensity) {
  const Array m = Array::ensure(mz), i = Array::ensure(intensity);
  if (!m || !i || m.ndim() != 1 || i.ndim() != 1) throw py::type_error("peaks need one-dimensional arrays of numbers");
  if (m.size() != i.size())
    throw py::value_error("peaks need as many intensities as m/z values, not " + std::to_string(i.size()) + " and " +
                          std::to_string(m.size()));
  std::vector<Peak> peaks(static_cast<size_t>(m.size()));
  for (py::ssize_t k = 0; k < m.size(); ++k) peaks[static_cast<size_t>(k)] = {m.at(k), i.at(k)};
  return peaks;
}

Spectrum SpectrumOf(py::handle o, int level) {
  Spectrum s;
  s.msLevel = level;
  s.peaks = PeaksOf(o.attr("mz"), o.attr("intensity"));
  s.precursorMz = o.attr("precursor_mz").cast<double>();
  s.charge = o.attr("charge").cast<int>();
  s.mode = ModeOf(o.attr("mode"));
  s.collisionEnergy = TextOf(o.attr("collision_energy"));
  if (py::object rt = o.attr("retention_time"); !rt.is_none()) s.retentionTime = rt.cast<double>();
  s.id = TextOf(o.attr("id"));
  s.line = o.attr("line").cast<int>();
  return s;
}

}  // namespace

py::str Text(const std::string& s) {
  PyObject* o = PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "surrogateescape");
  if (!o) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(o);
}

std::string TextOf(py::handle h) {
  if (!PyUnicode_Check(h.ptr())) throw py::type_error("a text (str) is needed, not " + py::repr(h).cast<std::string>());
  PyObject* bytes = PyUnicode_AsEncodedString(h.ptr(), "utf-8", "surrogateescape");
  if (!bytes) throw py::error_already_set();
  const auto b = py::reinterpret_steal<py::bytes>(bytes);
  return b.cast<std::string>();
}

py::dict FeatureFields(const Feature& f) {
  py::dict d;
  d["id"] = Text(f.id);
  d["mz"] = f.mz;
  d["intensity"] = f.intensity;
  d["charge"] = f.charge;
  d["mode"] = Mode(f.mode);
  d["ion"] = Text(f.ion);
  py::list ms1, ms2;
  for (const Spectrum& s : f.ms1) ms1.append(SpectrumFields(s));
  for (const Spectrum& s : f.ms2) ms2.append(SpectrumFields(s));
  d["ms1"] = ms1;
  d["ms2"] = ms2;
  py::array_t<double> isotopes({static_cast<py::ssize_t>(f.isotopePeaks.size()), py::ssize_t{2}});
  auto out = isotopes.mutable_unchecked<2>();
  for (size_t i = 0; i < f.isotopePeaks.size(); ++i) {
    out(static_cast<py::ssize_t>(i), 0) = f.isotopePeaks[i].mz;
    out(static_cast<py::ssize_t>(i), 1) = f.isotopePeaks[i].intensity;
  }
  d["isotope_peaks"] = isotopes;
  py::dict notes;
  for (const auto& [key, value] : f.notes) notes[Text(key)] = Text(value);
  d["notes"] = notes;
  d["file"] = Text(f.file);
  d["line"] = f.line;
  return d;
}

Feature FeatureOf(py::handle o) {
  Feature f;
  f.id = TextOf(o.attr("id"));
  f.mz = o.attr("mz").cast<double>();
  f.intensity = o.attr("intensity").cast<double>();
  f.charge = o.attr("charge").cast<int>();
  f.mode = ModeOf(o.attr("mode"));
  f.ion = TextOf(o.attr("ion"));
  for (py::handle s : o.attr("ms1")) f.ms1.push_back(SpectrumOf(s, 1));
  for (py::handle s : o.attr("ms2")) f.ms2.push_back(SpectrumOf(s, 2));
  const Array isotopes = Array::ensure(o.attr("isotope_peaks"));
  if (!isotopes || isotopes.ndim() != 2 || (isotopes.shape(1) != 2 && isotopes.shape(0) != 0))
    throw py::type_error("isotope_peaks needs an array of n rows of m/z and intensity");
  for (py::ssize_t k = 0; k < isotopes.shape(0); ++k) f.isotopePeaks.push_back({isotopes.at(k, 0), isotopes.at(k, 1)});
  for (auto [key, value] : o.attr("notes").cast<py::dict>()) f.notes.emplace_back(TextOf(key), TextOf(value));
  f.file = TextOf(o.attr("file"));
  f.line = o.attr("line").cast<int>();
  return f;
}

}  // namespace zelm::python
