"""ZELM in Python: candidate formulas for measured masses, ranked by zelm-find's own ranking library.

    import zelm
    zelm.find(195.0877, elements="C0-20 H0-40 N0-6 O0-6", ppm=3)       # a pandas DataFrame
    features = zelm.read_features("features.mgf")                       # a list of zelm.Feature
    table = zelm.annotate(features, ion="auto", top=5)
    table, peaks = zelm.annotate("features.mgf", explain=True)
    zelm.pattern("C8H10N4O2", ion="[M+H]+")

Options are zelm-find's long options with dashes as underscores (ppm=3, max_candidates=100, no_msms=True,
ion="[M+H]+,[M+Na]+" or a list of ion types), with zelm-find's defaults and checks: what zelm-find refuses raises
ValueError with its message. threads= ranks features in parallel, as zelm-find's --threads (default: every core).
The tables hold zelm-find's columns in zelm-find's row order, numbers as numbers at full precision (zelm-find's
table rounds them) and NaN where zelm-find leaves a cell empty. See docs/python.md.
"""

import numbers
import os

import pandas as pd

from . import _zelm
from .feature import Feature, Spectrum

__all__ = ["find", "annotate", "report", "read_features", "pattern", "Feature", "Spectrum"]

# zelm-find's options that the functions here do not take: they choose its output, its input or its other tasks.
_NOT_TAKEN = {"help", "version", "input", "output", "format", "count-only", "quiet", "pattern", "explain", "report"}
_OPTIONS = dict(_zelm.long_options())


def _arguments(options, explain=False):
    """zelm-find's arguments for keyword arguments: ppm=3 gives --ppm 3, a flag given True its name; None leaves an
    option at its default. TypeError for a keyword zelm-find has no option for."""
    args = ["--explain"] if explain else []
    for key, value in options.items():
        name = key.replace("_", "-")
        if name not in _OPTIONS or name in _NOT_TAKEN:
            raise TypeError(f"zelm takes no option {key!r}: its options are zelm-find's long options with dashes as "
                            f"underscores, except {', '.join(sorted(n.replace('-', '_') for n in _NOT_TAKEN))}")
        if value is None:
            continue
        if _OPTIONS[name]:
            if not isinstance(value, bool):
                raise TypeError(f"the option {key!r} is a flag: True or False, not {value!r}")
            if value:
                args.append("--" + name)
            continue
        if name == "ion" and isinstance(value, (list, tuple)):
            value = ",".join(value)
        elif isinstance(value, (bool, list, tuple, dict, set)):
            raise TypeError(f"the option {key!r} takes one value, not {value!r}")
        args += ["--" + name, str(value)]
    return args


def _frame(pairs):
    return pd.DataFrame({name: column for name, column in pairs}, columns=[name for name, _ in pairs])


def _frames(tables):
    candidates, explanations = tables
    if explanations is None:
        return _frame(candidates)
    return _frame(candidates), _frame(explanations)


def _mass_text(mz):
    if isinstance(mz, str):
        return mz
    if isinstance(mz, numbers.Integral):
        return str(int(mz))
    return repr(float(mz))


def find(mz, *, explain=False, **options):
    """The candidate formulas of one m/z or of a list of them, as zelm-find gives them for masses on its command
    line (the query column holds each mass as written). With explain=True, a pair: the candidates (the best 3
    unless top= is given) and each of their MS/MS peaks with its fragment (none for bare masses)."""
    masses = [mz] if isinstance(mz, (str, numbers.Number)) else list(mz)
    args = _arguments(options, explain) + ["--"] + [_mass_text(m) for m in masses]
    return _frames(_zelm.Session(args).rank_input())


def annotate(features_or_path, *, explain=False, **options):
    """The candidates of every feature: of a file (every format zelm-find reads: plain text, CSV, TSV, MGF, SIRIUS
    .ms or a folder of them, mzML, mzXML), of a zelm.Feature or of a list of them, in their order; the query column
    holds each feature's id. With explain=True, a pair: the candidates (the best 3 unless top= is given) and each of
    their MS/MS peaks with the fragment that explains it. ValueError with the file and line when a file cannot be
    read, or when a feature's ion type cannot be used."""
    if isinstance(features_or_path, (str, os.PathLike)):
        args = _arguments(options, explain) + ["--input", os.fspath(features_or_path)]
        return _frames(_zelm.Session(args).rank_input())
    features = [features_or_path] if isinstance(features_or_path, Feature) else list(features_or_path)
    return _frames(_zelm.Session(_arguments(options, explain)).rank_features(features))


def report(features_or_path, path=None, *, title=None, **options):
    """The report zelm-find writes with --report: one self-contained HTML page of the ranked features (a summary
    table, and per feature its best candidates, its isotope peaks beside the best candidate's pattern and its MS/MS
    spectrum with the explained peaks labelled), of a file or of zelm.Feature objects as annotate() takes them.
    Returns the page; with path=, also writes it there, whole or not at all. The title names the input (by default
    the file as given, or "the features given")."""
    args = _arguments(options) + ["--report", "page"]
    if isinstance(features_or_path, (str, os.PathLike)):
        name = os.fspath(features_or_path)
        page = _zelm.Session(args + ["--input", name]).report_input(name if title is None else title)
    else:
        features = [features_or_path] if isinstance(features_or_path, Feature) else list(features_or_path)
        page = _zelm.Session(args).report_features(features, "the features given" if title is None else title)
    if path is not None:
        target = os.fspath(path)
        temporary = target + ".part"
        try:
            with open(temporary, "w", encoding="utf-8", newline="") as out:
                out.write(page)
            os.replace(temporary, target)
        finally:
            if os.path.exists(temporary):
                os.remove(temporary)
    return page


def read_features(path, **options):
    """The features of a file as zelm-find reads its --input, as a list of zelm.Feature; input_format= names the
    format whatever the file's ending, and the tolerance (ppm=, mda=) and rt_window= group an mzML or mzXML run's
    scans into features. ValueError with the file and line of the first problem."""
    return [Feature._from_fields(d) for d in _zelm.read_file(_arguments(options), os.fspath(path))]


def pattern(formula, ion=None, resolution=None, isotopes=None):
    """The isotope pattern of a formula's ion (default [M+H]+) at a resolving power m/dm (default 60000), as zelm-find
    --pattern gives it: a DataFrame of mz and abundance (the most intense peak 100), peaks by rising m/z;
    isotopes= names an isotope table file in the form of ZELM's isotopes.txt."""
    if resolution is None:
        resolution = _zelm.default_resolution()
    return _frame(_zelm.pattern(str(formula), ion or "", float(resolution), os.fspath(isotopes or "")))
