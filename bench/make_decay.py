#!/usr/bin/python3
"""A synthetic photon-counting decay and its instrument response.

4096 channels of 12.2 ps. The response is a Gaussian (60 ps) with an
exponential tail (150 ps) starting 2 ns into the window; the decay is that
response convolved with two lifetimes (0.8 ns and 3.5 ns), on a flat
background, with Poisson noise on both. Only the standard library is used,
with a fixed seed, so the files are the same on every machine.

    bench/make_decay.py OUTDIR   writes OUTDIR/decay.txt and OUTDIR/irf.txt

examples/photon_decay.txt and examples/photon_irf.txt were made by it.
"""
import math
import random
import sys

CHANNELS = 4096
WIDTH = 0.0122          # ns per channel
PEAK_AT = 2.0           # ns
SIGMA = 0.060           # ns, Gaussian part of the response
TAIL = 0.150            # ns, exponential tail of the response
LIFETIMES = (0.8, 3.5)  # ns
AMPLITUDES = (0.6, 0.4)
DECAY_PEAK = 20000.0    # counts
IRF_PEAK = 30000.0
BACKGROUND = 12.0


def poisson(rng, mean):
    """A Poisson draw: exact for small means, the normal limit above 500."""
    if mean <= 0:
        return 0
    if mean > 500:
        return max(0, int(round(rng.gauss(mean, math.sqrt(mean)))))
    limit, k, product = math.exp(-mean), 0, rng.random()
    while product > limit:
        k += 1
        product *= rng.random()
    return k


def response(t):
    """Exponentially modified Gaussian: the Gaussian convolved with the tail."""
    z = (t - PEAK_AT) / SIGMA
    arg = (SIGMA / TAIL - z) / math.sqrt(2)
    return 0.5 / TAIL * math.exp(0.5 * (SIGMA / TAIL) ** 2 - (t - PEAK_AT) / TAIL) * math.erfc(arg)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    rng = random.Random(20261208)
    t = [k * WIDTH for k in range(CHANNELS)]
    irf = [response(x) for x in t]
    kernel = [sum(a * math.exp(-k * WIDTH / tau) for a, tau in zip(AMPLITUDES, LIFETIMES)) for k in range(CHANNELS)]
    # The decay: the response convolved with the lifetimes, channel by channel.
    decay = [0.0] * CHANNELS
    for i, r in enumerate(irf):
        if r < 1e-12:
            continue
        for k in range(i + 1, CHANNELS):
            decay[k] += r * kernel[k - i]
    top_decay, top_irf = max(decay), max(irf)
    with open(f"{out}/irf.txt", "w") as f:
        for x, r in zip(t, irf):
            f.write(f"{x:.6f}\t{poisson(rng, IRF_PEAK * r / top_irf)}\n")
    with open(f"{out}/decay.txt", "w") as f:
        for x, d in zip(t, decay):
            f.write(f"{x:.6f}\t{poisson(rng, DECAY_PEAK * d / top_decay + BACKGROUND)}\n")


if __name__ == "__main__":
    main()
