// Features between C++ and Python. Python's zelm.Feature and zelm.Spectrum (zelm/feature.py) are plain classes whose
// peaks are numpy arrays, so that Dask can send them between machines; here a feature becomes a dict of their fields
// and one of those objects becomes a feature again. Texts cross as UTF-8, bytes that are not UTF-8 kept as
// surrogates (Python's surrogateescape), so that any id goes there and back unchanged.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "spectra/spectrum.h"

namespace zelm::python {

pybind11::str Text(const std::string& s);
std::string TextOf(pybind11::handle h);

// The fields of zelm.Feature: id, mz, intensity, charge, mode ("positive", "negative" or None), ion, ms1 and ms2
// (lists of dicts of zelm.Spectrum's fields: mz, intensity, precursor_mz, charge, mode, collision_energy,
// retention_time (None when not given), id, line), isotope_peaks (an n x 2 array of m/z and intensity), notes (a
// dict), file, line.
pybind11::dict FeatureFields(const Feature& feature);

// A feature from an object with zelm.Feature's attributes; a TypeError or ValueError (an array whose m/z and
// intensities differ in length) when one cannot be read.
Feature FeatureOf(pybind11::handle object);

}  // namespace zelm::python
