"""zelm.annotate over many files on a Dask cluster: each file is read by a task on a worker (so its path must be one
the workers see), its features cut into chunks, and each chunk ranked by a task of its own, which Dask retries when
it fails and hands to whichever worker is free. The rows come back in the input's order, or are written as one part
file per chunk. See docs/python.md for one machine and for a scheduler with workers on several machines.
"""

import operator
import os

import pandas as pd

from . import _arguments, _zelm, annotate, read_features


def _read_chunks(path, options, chunk_features):
    """The features of one file in chunks of chunk_features; ValueError with the file and line when it cannot be
    read."""
    features = read_features(path, **options)
    return [features[k:k + chunk_features] for k in range(0, len(features), chunk_features)]


def _rank_chunk(features, options, explain, output, format, name):
    """The chunk's table (a pair with explain), or with output the names of the part files written."""
    if output is None:
        return annotate(features, explain=explain, **options)
    paths = [os.path.join(output, f"{name}{suffix}.{format}") for suffix in ("", "-explain")[:1 + explain]]
    if format == "tsv":
        texts = _zelm.Session(_arguments(options, explain)).rank_features_tsv(features)
        for path, text in zip(paths, texts):
            with open(path, "wb") as f:
                f.write(text)
    else:
        tables = annotate(features, explain=explain, **options)
        for path, table in zip(paths, tables if explain else (tables,)):
            table.to_parquet(path, index=False)
    return paths


def _part_format(format):
    if format is None:
        try:
            import pyarrow  # noqa: F401
            return "parquet"
        except ImportError:
            return "tsv"
    if format not in ("parquet", "tsv"):
        raise ValueError(f'the part format "{format}" is not parquet or tsv')
    return format


def annotate_files(paths, client=None, chunk_features=500, output=None, format=None, retries=2, explain=False,
                   **options):
    """The candidates of every feature of the files, ranked on a Dask cluster: one DataFrame (a pair with
    explain=True) in the order of the files and of their features, the same rows zelm.annotate and zelm-find give.

    paths: a file or a list of files in any format zelm-find reads; each is read by a task where it runs.
    client: a distributed.Client; None: a LocalCluster of one single-threaded worker process per core, for this call.
    chunk_features: how many features one ranking task takes.
    output: a folder (made if missing): each chunk's rows are written to a part file of their own there,
        part-FFFFF-CCCCC.parquet or .tsv (file and chunk numbers, so that the names sort in the input's order; with
        explain a -explain part beside each), and the list of the files written is returned instead of a table.
    format: "parquet" (the DataFrame's columns and types; needs pyarrow where the tasks run) or "tsv" (zelm-find's
        own TSV table of the chunk); None: parquet when pyarrow is found here, else tsv.
    retries: how many times Dask runs a failed task again.
    options: zelm-find's options as for zelm.annotate; threads= is the threads of each task (default 1, as each
        worker runs its own tasks side by side).

    ValueError with the file and line when a file cannot be read, or with zelm-find's message when the options
    cannot be used (checked here before any task is sent)."""
    paths = [os.fspath(paths)] if isinstance(paths, (str, os.PathLike)) else [os.fspath(p) for p in paths]
    if not (isinstance(chunk_features, int) and chunk_features > 0):
        raise ValueError(f"chunk_features must be a whole number above 0, not {chunk_features!r}")
    options.setdefault("threads", 1)
    _zelm.Session(_arguments(options, explain))  # the options' problems, here and at once
    part_format = _part_format(format) if output is not None else None
    if output is not None:
        output = os.path.abspath(os.fspath(output))
        os.makedirs(output, exist_ok=True)
    if client is not None:
        return _run(client, paths, chunk_features, output, part_format, retries, explain, options)
    from distributed import Client, LocalCluster
    with LocalCluster(n_workers=os.cpu_count() or 1, threads_per_worker=1, processes=True) as cluster, \
            Client(cluster) as local:
        return _run(local, paths, chunk_features, output, part_format, retries, explain, options)


def _run(client, paths, chunk_features, output, part_format, retries, explain, options):
    submitted = []

    def submit(*args, **kwargs):
        submitted.append(client.submit(*args, pure=False, **kwargs))
        return submitted[-1]

    try:
        reads = [submit(_read_chunks, p, options, chunk_features, retries=retries) for p in paths]
        counts = client.gather([submit(len, r) for r in reads])
        ranked = [submit(_rank_chunk, submit(operator.getitem, read, c), options, explain, output, part_format,
                         f"part-{f:05d}-{c:05d}", retries=retries)
                  for f, (read, count) in enumerate(zip(reads, counts)) for c in range(count)]
        # Only the ranking tasks are held from here on, so that Dask lets go of each file's features once cut.
        submitted[:] = ranked
        del reads
        results = client.gather(ranked)
    except BaseException:
        client.cancel(submitted)
        raise
    if output is not None:
        return [path for written in results for path in written]
    if not results:
        return annotate([], explain=explain, **options)
    if explain:
        return (pd.concat([r[0] for r in results], ignore_index=True),
                pd.concat([r[1] for r in results], ignore_index=True))
    return pd.concat(results, ignore_index=True)
