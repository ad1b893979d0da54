#!/usr/bin/python3
"""Times scipy.signal.savgol_filter (21 points, quartic) and numpy's
np.convolve(y, ones(21)/21) on 10^7 points with a large offset, and prints
them beside BM_SavitzkyGolay21 and BM_MovingWindow21 with the ratios
(ours / peer; below 1 is faster). Processor time, fastest of several runs.

    /usr/bin/python3 bench/peer_smoothing.py BENCHMARK_JSON
"""
import json
import sys
import time

import numpy as np
from scipy.signal import savgol_filter

POINTS = 10_000_000
WINDOW = 21


def best_ms(work, runs=5):
    best = None
    for _ in range(runs):
        start = time.process_time()
        work()
        seconds = time.process_time() - start
        best = seconds if best is None else min(best, seconds)
    return best * 1e3


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    # Names carry the run's options ("BM_SavitzkyGolay21/min_time:1.000").
    ours = {b["name"].split("/")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
            if b.get("run_type", "iteration") == "iteration"}
    rng = np.random.default_rng(5)
    i = np.arange(POINTS)
    y = 1e6 + np.sin(i * 1e-4) + rng.standard_normal(POINTS)
    kernel = np.ones(WINDOW) / WINDOW
    peers = (
        ("Savitzky-Golay, 21 points, quartic", "BM_SavitzkyGolay21", "scipy savgol_filter",
         lambda: savgol_filter(y, WINDOW, 4)),
        ("Moving Window, 21 points", "BM_MovingWindow21", "numpy convolve",
         lambda: np.convolve(y, kernel)),
    )
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    for label, name, peer_name, work in peers:
        if name not in ours:
            print("%s: %s did not run; no comparison" % (label, name))
            continue
        mine = ours[name]["cpu_time"] * scale[ours[name]["time_unit"]]
        theirs = best_ms(work)
        print("%s over 10^7 points: zentrel %.1f ms, %s %.1f ms, ratio %.2f (goal <= 1.5)"
              % (label, mine, peer_name, theirs, mine / theirs))


if __name__ == "__main__":
    main()
