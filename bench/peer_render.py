#!/usr/bin/python3
"""The peer of bench/render_bench.cpp: matplotlib (Agg) draws the same
series into a 1600 x 1000 PNG. Prints one JSON object: the median time in
milliseconds of each case, from the arrays to the encoded PNG."""
import io
import json
import statistics
import sys
import time

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402


def series(n, j):
    k = np.arange(n, dtype=np.int64)
    x = k * 10.0 / n
    noise = ((k * 7919) % 1000) / 1000.0 - 0.5
    return x, np.sin(3.0 * x + j) + 0.2 * noise + 0.3 * j


def fit_curve(x, j):
    # The cubic each set carries as its fit in the fitted case.
    return 0.3 * j + 0.1 * x - 0.05 * x**2 + 0.002 * x**3


def draw(data, markers, fits=False):
    # 1600 x 1000 pixels; lines one pixel wide, square markers 9 pixels
    # across with a white face, as the program draws them at 100 per inch.
    fig = plt.figure(figsize=(16, 10), dpi=100)
    ax = fig.add_axes([0.065, 0.06, 0.91, 0.93])
    for j, (x, y) in enumerate(data):
        style = dict(marker="s", markersize=6.48, markerfacecolor="white", markeredgewidth=0.72) if markers else {}
        ax.plot(x, y, "-", color="#0000c8", linewidth=0.72, antialiased=False, **style)
        if fits:
            ax.plot(x, fit_curve(x, j), "-", color="#ff0000", linewidth=0.72, antialiased=False)
    out = io.BytesIO()
    fig.savefig(out, format="png")
    plt.close(fig)
    return out.getbuffer().nbytes


CASES = {
    "1M lines": (1, 1000000, False),
    "1M lines + markers": (1, 1000000, True),
    "10 x 100k lines": (10, 100000, False),
    "10 x 100k lines + fits": (10, 100000, False, True),
}


def main():
    repeats = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    result = {}
    for name, case in CASES.items():
        sets, points, markers = case[:3]
        fits = len(case) > 3 and case[3]
        data = [series(points, j) for j in range(sets)]
        draw(data, markers, fits)  # warm-up: font cache, imports
        times = []
        for _ in range(repeats):
            start = time.perf_counter()
            draw(data, markers, fits)
            times.append((time.perf_counter() - start) * 1000.0)
        result[name] = statistics.median(times)
    print(json.dumps(result))


if __name__ == "__main__":
    main()
