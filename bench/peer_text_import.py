#!/usr/bin/python3
"""Times numpy.loadtxt and pandas.read_csv on the file BM_ReadTextFile read
and prints the throughputs and the ratios, plus the import's peak memory
against its column storage.

The ratio that counts is in wall-clock time, what a person waits: ReadTextFile
reads a file this large on two threads, pandas and numpy on one. Each side
takes its fastest of several runs, so a busy machine disturbs both alike. The
ratios in processor time (both threads counted) and of the one-thread reading
are printed as well.

    /usr/bin/python3 bench/peer_text_import.py BENCHMARK_JSON

BENCHMARK_JSON is zentrel_bench's --benchmark_out file (bench/run passes it).
"""
import json
import os
import sys
import time


def best_seconds(read, path, runs):
    """The fastest wall-clock and processor seconds of several runs."""
    best_wall = best_cpu = None
    for _ in range(runs):
        wall, cpu = time.perf_counter(), time.process_time()
        table = read(path)
        wall, cpu = time.perf_counter() - wall, time.process_time() - cpu
        if table.shape != (1000000, 3):
            sys.exit("%s read %s, expected 1000000 x 3" % (read.__name__, table.shape))
        best_wall = wall if best_wall is None else min(best_wall, wall)
        best_cpu = cpu if best_cpu is None else min(best_cpu, cpu)
    return best_wall, best_cpu


def our_seconds(benchmarks, name):
    """The fastest wall-clock and processor seconds of a benchmark's repetitions."""
    runs = [b for b in benchmarks if b.get("run_name", "").startswith(name + "/") and b.get("run_type") == "iteration"]
    if not runs:
        return None
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    return (min(b["real_time"] * scale[b["time_unit"]] for b in runs),
            min(b["cpu_time"] * scale[b["time_unit"]] for b in runs),
            runs[0]["label"])


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    benchmarks = json.load(open(sys.argv[1]))["benchmarks"]
    ours = our_seconds(benchmarks, "BM_ReadTextFile")
    if ours is None:
        print("text import: BM_ReadTextFile did not run; no comparison")
        return
    one_thread = our_seconds(benchmarks, "BM_ReadTextFileOneThread")
    path = ours[2]
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

    def rates(seconds):
        return size / seconds[0] / 1e6, size / seconds[1] / 1e6

    zentrel = rates(ours)
    pandas_rates = rates(best_seconds(pandas_read_csv, path, 5))
    numpy_rates = rates(best_seconds(numpy_loadtxt, path, 3))
    print("Text import of %s (%.1f MB, 1000000 rows x 3 columns of %%.17g),"
          " MB per wall-clock second and per processor second:" % (path, size / 1e6))
    print("  ReadTextFile (two threads)  %8.1f MB/s  %8.1f MB/s" % zentrel)
    if one_thread is not None:
        print("  ReadTextFile (one thread)   %8.1f MB/s  %8.1f MB/s" % rates(one_thread))
    print("  pandas.read_csv             %8.1f MB/s  %8.1f MB/s   (pandas %s)"
          % (pandas_rates + (pandas.__version__,)))
    print("  numpy.loadtxt               %8.1f MB/s  %8.1f MB/s   (numpy %s)"
          % (numpy_rates + (numpy.__version__,)))
    print("  ReadTextFile / pandas.read_csv: %.2f (wall-clock, goal >= 4); %.2f in processor time"
          % (zentrel[0] / pandas_rates[0], zentrel[1] / pandas_rates[1]))
    if one_thread is not None:
        print("  ReadTextFile on one thread / pandas.read_csv: %.2f (wall-clock)"
              % (rates(one_thread)[0] / pandas_rates[0]))
    print("  ReadTextFile / numpy.loadtxt:   %.2f (wall-clock)" % (zentrel[0] / numpy_rates[0]))
    memory = next((b for b in benchmarks if b["name"].startswith("BM_ReadTextFilePeakMemory")), None)
    if memory and "peak_rise_MiB" in memory:
        print("  peak resident memory of one import: %.1f MiB for %.1f MiB of columns (%.2f x)"
              % (memory["peak_rise_MiB"], memory["columns_MiB"], memory["peak_per_column_byte"]))


if __name__ == "__main__":
    main()
