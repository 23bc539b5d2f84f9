#!/usr/bin/python3
"""Times zelm.distributed.annotate_files on one and on two local worker processes against zelm-find on the whole
file, and prints the figures.

    PYTHONPATH=build/python bench/dask_bench.py FEATURES.mgf [--parts 4] [--chunk 100] [--limit N] [--output]
        [--zelm-find build/zelm-find] [zelm-find options such as --ppm 10 --top 5]

The MGF is split, whole features at a time, into --parts files in a temporary folder (removed at the end), which
annotate_files ranks as Dask tasks of --chunk features each; --limit takes the first N features only. zelm-find ranks
the whole file on one and on two threads. With --output the tasks write TSV parts instead of sending their rows back.
Each run's row count is printed beside its time: they must agree.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

import zelm
from zelm.distributed import annotate_files


def features_of(path):
    """The MGF's blocks grouped into features (consecutive blocks of one FEATURE_ID), each a text."""
    features, key, text, block = [], None, [], []
    with open(path, encoding="latin-1") as f:
        for line in f:
            block.append(line)
            if line.strip().upper() != "END IONS":
                continue
            ids = [b.split("=", 1)[1].strip() for b in block if b.upper().startswith("FEATURE_ID=")]
            block_key = ids[0] if ids else object()
            if text and block_key != key:
                features.append("".join(text))
                text = []
            key = block_key
            text += block
            block = []
    if text:
        features.append("".join(text))
    return features


def split(features, parts, folder):
    paths = []
    size = -(-len(features) // parts)
    for k in range(parts):
        path = os.path.join(folder, f"part{k}.mgf")
        with open(path, "w", encoding="latin-1") as f:
            f.write("".join(features[k * size:(k + 1) * size]))
        paths.append(path)
    return paths


def keyword_options(args):
    """zelm-find's options as keyword arguments: --ppm 10 gives ppm="10", a flag True."""
    flags = {name for name, flag in zelm._zelm.long_options() if flag}
    options, k = {}, 0
    while k < len(args):
        name = args[k].removeprefix("--")
        if name in flags:
            options[name.replace("-", "_")] = True
            k += 1
        else:
            options[name.replace("-", "_")] = args[k + 1]
            k += 2
    return options


def timed(what, run):
    start = time.perf_counter()
    rows = run()
    seconds = time.perf_counter() - start
    print(f"{what:<44} {seconds:8.2f} s  {rows:9d} rows", flush=True)
    return seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("mgf")
    parser.add_argument("--parts", type=int, default=4)
    parser.add_argument("--chunk", type=int, default=100)
    parser.add_argument("--limit", type=int, default=0)
    parser.add_argument("--output", action="store_true")
    parser.add_argument("--zelm-find", default=os.path.join(os.path.dirname(__file__), "..", "build", "zelm-find"))
    bench, rest = parser.parse_known_args()
    options = keyword_options(rest)
    features = features_of(bench.mgf)
    if bench.limit:
        features = features[:bench.limit]
    from distributed import Client, LocalCluster

    with tempfile.TemporaryDirectory() as folder:
        whole = os.path.join(folder, "whole.mgf")
        with open(whole, "w", encoding="latin-1") as f:
            f.write("".join(features))
        paths = split(features, bench.parts, folder)
        print(f"{len(features)} features of {bench.mgf} in {bench.parts} parts, chunks of {bench.chunk}; "
              f"options {' '.join(rest)}; {os.cpu_count()} cores")

        def find(threads):
            # Standard output, which zelm-find writes as it goes (its --output file it keeps whole until the end).
            table = os.path.join(folder, "find.tsv")
            with open(table, "wb") as out:
                subprocess.run([bench.zelm_find, "-q", "-i", whole, "-j", str(threads), *rest], stdout=out, check=True)
            with open(table, "rb") as f:
                rows = sum(1 for _ in f) - 1
            os.remove(table)
            return rows

        figures = {}
        for threads in (1, 2):
            figures[f"find{threads}"] = timed(f"zelm-find, whole file, {threads} thread(s)", lambda: find(threads))
        for workers in (1, 2):
            start = time.perf_counter()
            with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                              dashboard_address=None) as cluster, Client(cluster) as client:
                client.wait_for_workers(workers)
                print(f"{'(a local cluster of ' + str(workers) + ' started)':<44} "
                      f"{time.perf_counter() - start:8.2f} s", flush=True)

                def run():
                    out = os.path.join(folder, f"out{workers}") if bench.output else None
                    result = annotate_files(paths, client=client, chunk_features=bench.chunk, output=out,
                                            format="tsv", **options)
                    if out is None:
                        return len(result)
                    rows = 0
                    for p in result:
                        with open(p, "rb") as f:
                            rows += sum(1 for _ in f) - 1
                        os.remove(p)
                    return rows

                figures[f"dask{workers}"] = timed(f"annotate_files, {workers} worker process(es)", run)
        print(f"2 workers against 1: {figures['dask1'] / figures['dask2']:.2f} times as fast; "
              f"1 worker against zelm-find on 1 thread: {figures['find1'] / figures['dask1']:.2f}; "
              f"2 workers against zelm-find on 2 threads: {figures['find2'] / figures['dask2']:.2f}")


if __name__ == "__main__":
    sys.exit(main())
