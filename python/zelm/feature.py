"""Features and spectra as plain Python objects: numpy arrays of m/z and intensity, and the fields zelm-find reads.

They are what zelm.read_features gives and what zelm.annotate takes; being plain objects they pickle, so Dask can
send them from the worker that read a file to the one that ranks them.
"""

from dataclasses import dataclass, field
from typing import Optional

import numpy as np

_MODES = {"positive": "positive", "+": "positive", "negative": "negative", "-": "negative", "": None, None: None}


def _mode(value):
    try:
        return _MODES[value.lower() if isinstance(value, str) else value]
    except KeyError:
        raise ValueError(f'the ion mode "{value}" is not positive, negative or None') from None


def _numbers(values, what):
    a = np.ascontiguousarray(values, dtype=np.float64)
    if a.ndim != 1:
        raise ValueError(f"{what} needs a one-dimensional array, not one of shape {a.shape}")
    return a


@dataclass(eq=False)
class Spectrum:
    """One spectrum: its peaks as two arrays of the same length, and what the file says of its scan."""

    mz: np.ndarray
    intensity: np.ndarray
    precursor_mz: float = 0.0  # 0: none given
    charge: int = 0  # signed; 0: unknown
    mode: Optional[str] = None  # "positive", "negative" or None
    collision_energy: str = ""  # as the file writes it
    retention_time: Optional[float] = None  # in seconds
    id: str = ""  # the native id, or the title
    line: int = 0  # where it starts in its file (0: not from a text file)

    def __post_init__(self):
        self.mz = _numbers(self.mz, "mz")
        self.intensity = _numbers(self.intensity, "intensity")
        if len(self.mz) != len(self.intensity):
            raise ValueError(f"a spectrum needs as many intensities as m/z values, not {len(self.intensity)} and "
                             f"{len(self.mz)}")
        self.mode = _mode(self.mode)

    def __repr__(self):
        return f"Spectrum({len(self.mz)} peaks, precursor_mz={self.precursor_mz})"


def _spectrum(value):
    """A Spectrum, a pair (mz, intensity) or an n x 2 array of m/z and intensity, as a Spectrum."""
    if isinstance(value, Spectrum):
        return value
    if isinstance(value, np.ndarray) and value.ndim == 2 and value.shape[1] == 2:
        return Spectrum(value[:, 0], value[:, 1])
    try:
        mz, intensity = value
    except (TypeError, ValueError):
        raise TypeError("a spectrum is a zelm.Spectrum, a pair (mz, intensity) or an n x 2 array") from None
    return Spectrum(mz, intensity)


def _spectra(value):
    if value is None:
        return []
    if isinstance(value, Spectrum):
        return [value]
    return [_spectrum(s) for s in value]


@dataclass(eq=False)
class Feature:
    """One compound's ion: its m/z, charge and ion type when known, its survey (MS1) spectra that show its isotope
    peaks and its MS/MS (MS2) spectra. ms1 and ms2 are lists of spectra, each given as a zelm.Spectrum, a pair
    (mz, intensity) of arrays or an n x 2 array."""

    id: str
    mz: float
    charge: int = 0  # signed; 0: unknown (then the ion mode may tell the sign)
    ion: str = ""  # the ion type, such as "[M+H]+"; empty: not known
    mode: Optional[str] = None  # "positive", "negative" or None
    ms1: list = field(default_factory=list)
    ms2: list = field(default_factory=list)
    intensity: float = 0.0
    isotope_peaks: Optional[np.ndarray] = None  # measured isotope peaks, n x 2 (m/z, intensity), when given directly
    notes: dict = field(default_factory=dict)  # other fields of the file, kept to be shown, never searched
    file: str = ""  # the file's name as shown in messages
    line: int = 0  # where the feature starts in it

    def __post_init__(self):
        self.id = str(self.id)
        self.mz = float(self.mz)
        self.charge = int(self.charge)
        self.mode = _mode(self.mode)
        self.ms1 = _spectra(self.ms1)
        self.ms2 = _spectra(self.ms2)
        peaks = np.zeros((0, 2)) if self.isotope_peaks is None else self.isotope_peaks
        self.isotope_peaks = np.ascontiguousarray(peaks, dtype=np.float64).reshape(-1, 2)

    @classmethod
    def _from_fields(cls, d):
        d = dict(d)
        d["ms1"] = [Spectrum(**s) for s in d["ms1"]]
        d["ms2"] = [Spectrum(**s) for s in d["ms2"]]
        return cls(**d)

    def __repr__(self):
        return (f"Feature(id={self.id!r}, mz={self.mz}, charge={self.charge}, ion={self.ion!r}, mode={self.mode!r}, "
                f"ms1={len(self.ms1)} spectra, ms2={len(self.ms2)} spectra)")
