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


def draw(data, markers):
    # 1600 x 1000 pixels; lines one pixel wide, square markers 9 pixels
    # across with a white face, as the program draws them at 100 per inch.
    fig = plt.figure(figsize=(16, 10), dpi=100)
    ax = fig.add_axes([0.065, 0.06, 0.91, 0.93])
    for x, y in data:
        style = dict(marker="s", markersize=6.48, markerfacecolor="white", markeredgewidth=0.72) if markers else {}
        ax.plot(x, y, "-", color="#0000c8", linewidth=0.72, antialiased=False, **style)
    out = io.BytesIO()
    fig.savefig(out, format="png")
    plt.close(fig)
    return out.getbuffer().nbytes


CASES = {
    "1M lines": (1, 1000000, False),
    "1M lines + markers": (1, 1000000, True),
    "10 x 100k lines": (10, 100000, False),
}


def main():
    repeats = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    result = {}
    for name, (sets, points, markers) in CASES.items():
        data = [series(points, j) for j in range(sets)]
        draw(data, markers)  # warm-up: font cache, imports
        times = []
        for _ in range(repeats):
            start = time.perf_counter()
            draw(data, markers)
            times.append((time.perf_counter() - start) * 1000.0)
        result[name] = statistics.median(times)
    print(json.dumps(result))


if __name__ == "__main__":
    main()
