#!/usr/bin/python3
"""Times numpy.loadtxt and pandas.read_csv on the file BM_ReadTextFile read
and prints the three throughputs and the ratios, plus the import's peak
memory against its column storage.

Throughput is file size over processor time (the fastest of several runs on
each side), so another busy process on the machine skews the ratio less than
wall-clock time would. All three readers are single-threaded.

    /usr/bin/python3 bench/peer_text_import.py BENCHMARK_JSON

BENCHMARK_JSON is zentrel_bench's --benchmark_out file (bench/run passes it).
"""
import json
import os
import sys
import time


def best_seconds(read, path, runs):
    best = None
    for _ in range(runs):
        start = time.process_time()
        table = read(path)
        seconds = time.process_time() - start
        if table.shape != (1000000, 3):
            sys.exit("%s read %s, expected 1000000 x 3" % (read.__name__, table.shape))
        best = seconds if best is None else min(best, seconds)
    return best


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    benchmarks = json.load(open(sys.argv[1]))["benchmarks"]
    ours = [b for b in benchmarks if b.get("run_name", "").startswith("BM_ReadTextFile/") and b.get("run_type") == "iteration"]
    if not ours:
        print("text import: BM_ReadTextFile did not run; no comparison")
        return
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    our_seconds = min(b["cpu_time"] * scale[b["time_unit"]] for b in ours)
    path = ours[0]["label"]
    size = os.path.getsize(path)
    try:
        import numpy
        import pandas
    except ImportError as missing:
        print("text import: %s; install python3-numpy and python3-pandas for the comparison" % missing)
        return

    def numpy_loadtxt(name):
        return numpy.loadtxt(name)

    def pandas_read_csv(name):
        return pandas.read_csv(name, sep=" ", header=None)

    zentrel = size / our_seconds / 1e6
    pandas_rate = size / best_seconds(pandas_read_csv, path, 5) / 1e6
    numpy_rate = size / best_seconds(numpy_loadtxt, path, 3) / 1e6
    print("Text import of %s (%.1f MB, 1000000 rows x 3 columns of %%.17g), MB per processor second:"
          % (path, size / 1e6))
    print("  ReadTextFile       %8.1f MB/s" % zentrel)
    print("  pandas.read_csv    %8.1f MB/s   (pandas %s)" % (pandas_rate, pandas.__version__))
    print("  numpy.loadtxt      %8.1f MB/s   (numpy %s)" % (numpy_rate, numpy.__version__))
    print("  ReadTextFile / pandas.read_csv: %.2f" % (zentrel / pandas_rate))
    print("  ReadTextFile / numpy.loadtxt:   %.2f" % (zentrel / numpy_rate))
    memory = next((b for b in benchmarks if b["name"].startswith("BM_ReadTextFilePeakMemory")), None)
    if memory and "peak_rise_MiB" in memory:
        print("  peak resident memory of one import: %.1f MiB for %.1f MiB of columns (%.2f x)"
              % (memory["peak_rise_MiB"], memory["columns_MiB"], memory["peak_per_column_byte"]))


if __name__ == "__main__":
    main()
