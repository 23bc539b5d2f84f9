"""The Python module against zelm-find itself: the same rows for the same input and options, the same refusals."""

import math
import os
import subprocess

import numpy as np
import pandas as pd
import pytest

import zelm
import zelm.distributed

ZELM_FIND = os.environ.get("ZELM_FIND", "zelm-find")
SMALL = {"elements": "C0-20 H0-40 N0-6 O0-8", "ppm": 10}

# Caffeine's [M+H]+ with a survey spectrum and two MS/MS spectra, caffeic acid's [M-H]- with one, and a bare mass of
# unknown polarity.
SURVEY = [(150.2, 30), (195.0877, 1000), (196.0907, 99), (197.0918, 12), (210.3, 40)]
LOW, HIGH = [(110.0713, 40), (138.0662, 100)], [(83.0604, 30), (138.0663, 80)]
ACID = [(134.0373, 20), (135.0452, 100)]


def block(head, peaks):
    return "BEGIN IONS\n" + head + "".join(f"{m} {i}\n" for m, i in peaks) + "END IONS\n"


CAFFEINE = "FEATURE_ID=caf\nPEPMASS=195.0877\nCHARGE=1+\nIONMODE=positive\n"
FIRST = (block(CAFFEINE + "MSLEVEL=1\n", SURVEY) + block(CAFFEINE + "MSLEVEL=2\nCOLLISION_ENERGY=20\n", LOW)
         + block(CAFFEINE + "MSLEVEL=2\nCOLLISION_ENERGY=40\n", HIGH))
SECOND = (block("FEATURE_ID=acid\nPEPMASS=179.035\nCHARGE=1-\nMSLEVEL=2\n", ACID)
          + block("FEATURE_ID=bare\nPEPMASS=138.0662\nMSLEVEL=2\n", []))


@pytest.fixture
def files(tmp_path):
    paths = {"first": tmp_path / "first.mgf", "second": tmp_path / "second.mgf", "both": tmp_path / "both.mgf"}
    paths["first"].write_text(FIRST)
    paths["second"].write_text(SECOND)
    paths["both"].write_text(FIRST + SECOND)
    return {k: str(v) for k, v in paths.items()}


def options_args(options):
    args = []
    for key, value in options.items():
        args += ["--" + key.replace("_", "-")] + ([] if value is True else [str(value)])
    return args


def zelm_find(*args, text=False):
    """zelm-find's table, every cell as text (or the whole table's text); its message when it refuses."""
    run = subprocess.run([ZELM_FIND, "-q", *args], capture_output=True, text=True)
    if run.returncode != 0:
        return run.stderr.splitlines()[0].removeprefix("zelm-find: ")
    if text:
        return run.stdout
    rows = [line.split("\t") for line in run.stdout.splitlines()]
    return pd.DataFrame(rows[1:], columns=rows[0])


def assert_same_rows(frame, table, some=True):
    """The frame holds zelm-find's rows (some of them, unless some is False): the same columns and texts, each number
    within half of the last decimal zelm-find writes of it, NaN where it writes nothing."""
    assert list(frame.columns) == list(table.columns)
    assert len(frame) == len(table) and (len(table) > 0 or not some)
    for name in table.columns:
        for value, text in zip(frame[name], table[name]):
            if isinstance(value, str):
                assert value == text, name
            elif text == "":
                assert math.isnan(value), name
            else:
                decimals = len(text.partition(".")[2])
                assert abs(value - float(text)) <= 0.5 * 10 ** -decimals + 1e-9, (name, value, text)


@pytest.mark.parametrize("options", [SMALL, {**SMALL, "top": 2, "ion": "auto", "no_msms": True},
                                     {**SMALL, "max_candidates": 3, "rdbe_half": True, "threads": 2}])
def test_find_and_annotate_give_zelm_finds_rows(files, options):
    args = options_args(options)
    assert_same_rows(zelm.annotate(files["both"], **options), zelm_find("-i", files["both"], *args))
    assert_same_rows(zelm.find([195.0877, "138.0662"], **options), zelm_find(*args, "195.0877", "138.0662"))
    candidates, peaks = zelm.annotate(files["both"], explain=True, **options)
    assert_same_rows(peaks, zelm_find("-i", files["both"], "--explain", *args), some="no_msms" not in options)
    # The explanations belong to the candidates given beside them.
    assert set(zip(peaks["query"], peaks["rank"])) <= set(zip(candidates["query"], candidates["rank"]))
    assert candidates["rank"].dtype == np.int64


def test_options_and_refusals_are_zelm_finds(files, tmp_path):
    for options in [{"ppm": "abc"}, {"ratios": "many"}, {"ppm": -1}, {"elements": "C0-9 Xx"}, {"ion": "[M+Q]+"}]:
        with pytest.raises(ValueError) as refused:
            zelm.find(195.0877, **options)
        assert str(refused.value) == zelm_find("195.0877", *options_args(options))
    for options in [{"colour": "red"}, {"output": "x.tsv"}, {"no_msms": "yes"}, {"ppm": [1, 2]}]:
        with pytest.raises(TypeError):
            zelm.find(195.0877, **options)
    assert zelm.find(195.0877, ion=["[M+H]+", "[M+Na]+"], **SMALL).equals(
        zelm.find(195.0877, ion="[M+H]+,[M+Na]+", **SMALL))
    bad = tmp_path / "bad.mgf"
    bad.write_text("BEGIN IONS\nPEPMASS=195.0877\n138.0662 100\n")
    for call in (zelm.read_features, zelm.annotate):
        with pytest.raises(ValueError) as refused:
            call(str(bad))
        assert str(refused.value) == zelm_find("-i", str(bad)) and "bad.mgf line" in str(refused.value)
    pattern = zelm.pattern("C8H10N4O2", ion="[M+Na]+", resolution=30000)
    assert_same_rows(pattern, zelm_find("--pattern", "C8H10N4O2", "--ion", "[M+Na]+", "--resolution", "30000"))
    with pytest.raises(ValueError, match="cannot be used"):
        zelm.pattern("C8H10N4O2", ion="[M+Q]+")


def test_a_feature_built_from_arrays_ranks_as_the_one_read(files):
    read = zelm.read_features(files["first"])
    assert [f.id for f in read] == ["caf"] and len(read[0].ms1) == 1 and len(read[0].ms2) == 2
    built = zelm.Feature("caf", 195.0877, charge=1, mode="positive", ms1=[np.array(SURVEY)],
                         ms2=[(np.array(LOW)[:, 0], np.array(LOW)[:, 1]), zelm.Spectrum(*np.array(HIGH).T)])
    from_file = zelm.annotate(files["first"], explain=True, **SMALL)
    for table, expected in zip(zelm.annotate(built, explain=True, **SMALL), from_file):
        pd.testing.assert_frame_equal(table, expected)
    pd.testing.assert_frame_equal(zelm.annotate(zelm.read_features(files["both"]), **SMALL),
                                  zelm.annotate(files["both"], **SMALL))
    with pytest.raises(ValueError):
        zelm.Feature("x", 100, ms2=[([1.0, 2.0], [5.0])])


def test_report_is_zelm_finds_page(files, tmp_path):
    written = tmp_path / "find.html"
    zelm_find("--input", files["both"], "--report", str(written), *options_args(SMALL), text=True)
    page = zelm.report(files["both"], tmp_path / "py.html", **SMALL)
    assert page == written.read_text(encoding="utf-8")
    assert (tmp_path / "py.html").read_text(encoding="utf-8") == page
    # Features built in Python make the same sections under their own title.
    built = zelm.report(zelm.read_features(files["both"]), title=files["both"], **SMALL)
    assert built == page and page.count('<section') == 3
    with pytest.raises(TypeError):
        zelm.report(files["both"], report="x.html")


def test_annotate_files_on_two_worker_processes(files, tmp_path):
    from distributed import Client, LocalCluster
    expected = zelm_find("-i", files["both"], *options_args(SMALL))
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        paths = [files["first"], files["second"]]
        assert_same_rows(zelm.distributed.annotate_files(paths, client=client, chunk_features=1, **SMALL), expected)
        written = zelm.distributed.annotate_files(paths, client=client, chunk_features=1, output=tmp_path / "out",
                                                  format="tsv", **SMALL)
        assert [os.path.basename(p) for p in written] == ["part-00000-00000.tsv", "part-00001-00000.tsv",
                                                          "part-00001-00001.tsv"]
        # Each part is zelm-find's table of its chunk: together, zelm-find's table of both files.
        parts = [open(p, encoding="utf-8").read().partition("\n") for p in written]
        assert parts[0][0] + "\n" + "".join(rows for _, _, rows in parts) == \
            zelm_find("-i", files["both"], *options_args(SMALL), text=True)
        bad = tmp_path / "bad.mgf"
        bad.write_text("BEGIN IONS\nPEPMASS=oops\nEND IONS\n")
        with pytest.raises(ValueError, match="bad.mgf line 2"):
            zelm.distributed.annotate_files([files["first"], str(bad)], client=client, retries=0, **SMALL)
