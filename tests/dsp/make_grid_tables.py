#!/usr/bin/python3
"""Writes grid_tables.inc: frequency grids computed independently of the C++ code.

The grid rules are the program's own (single-precision logarithms of the range, steps that round to
a taken hertz dropped, fractional-octave centres grown from 1000 Hz), so this script restates them in
numpy terms rather than calling a library. Python's round() takes halves to even, as the program does.

Run: /usr/bin/python3 tests/dsp/make_grid_tables.py  (from the repository root or anywhere)
"""
import math
import os

import numpy as np

LN10 = 2.302585092994046


def pow10(x):
    return math.exp(x * LN10)


def logspace(fi, fo, n):
    a = float(np.float32(math.log10(fi)))
    b = float(np.float32(math.log10(fo)))
    step = (b - a) / n
    kept = []
    for j in range(n):
        f = round(pow10(a + step * j))
        if not kept or f > kept[-1]:
            kept.append(f)
    if len(kept) < n and kept[-1] < fo:
        kept.append(fo)
    return kept


def calc_bands(fmin, fmax, sr, B):
    r = 2.0 ** B
    m = round(10 / B) + 200
    centre, lower, upper = [0.0] * m, [0.0] * m, [0.0] * m
    centre[0] = 1000.0
    lower[0] = 1000.0 / math.sqrt(r)
    upper[0] = lower[0] * r
    i = 1
    while i < m and not centre[i - 1] > fmax:
        lower[i] = upper[i - 1]
        upper[i] = lower[i] * r
        centre[i] = math.sqrt(lower[i] * upper[i])
        i += 1
    k = i
    while i < m:
        if i == k:
            upper[i] = lower[0]
        else:
            if centre[i - 1] < fmin:
                break
            upper[i] = lower[i - 1]
        lower[i] = upper[i] / r
        centre[i] = math.sqrt(lower[i] * upper[i])
        i += 1
    c = sorted(centre[:i])
    top = math.trunc(sr / 2.0)
    return [x for x in c if fmin <= x <= top]


def computed_grid(fmin, fmax, sr, B):
    kept = []
    for c in calc_bands(fmin, fmax, sr, B):
        f = round(c)
        if not kept or f > kept[-1]:
            kept.append(f)
    return kept


def tables(freqs, fo, custom):
    """Per-hertz point and weight tables for hertz 0 .. fo - 1."""
    last = len(freqs) - 1
    point = []
    for h in range(fo):
        j = 0
        while j < last and freqs[j] < h:
            j += 1
        point.append(j)
    weight = [0.0] * fo
    s = 0
    while s < fo:
        e = s
        while e < fo and point[e] == point[s]:
            e += 1
        c = e - s
        for k in range(c):
            w = k / c
            if not custom or e == fo:
                weight[s + k] = w
            elif s + k >= 1:
                weight[s + k - 1] = w
        s = e
    return point, weight


def ints(values):
    return "{" + ", ".join(str(v) for v in values) + "}"


def doubles(values):
    return "{" + ", ".join(repr(float(v)) for v in values) + "}"


def main():
    out = []
    out.append("// Written by make_grid_tables.py; do not edit.")
    out.append("// Logarithmic grids: {Fi, Fo, requested points, grid frequencies}.")
    out.append("const LogGridCase kLogGridCases[] = {")
    for fi, fo, n in [(20, 20000, 400), (20, 20000, 100), (20, 20000, 50), (10, 40, 8), (100, 1000, 37)]:
        out.append("    {%d, %d, %d, %s}," % (fi, fo, n, ints(logspace(fi, fo, n))))
    out.append("};")

    out.append("// Computed fractional-octave grids: {band, sample rate, Fmin, Fmax, grid frequencies}.")
    out.append("const ComputedGridCase kComputedGridCases[] = {")
    for name, B in [("fbOneThirtySixOctave", 1 / 36), ("fbOneFortyEigthOctave", 1 / 48)]:
        for sr in (44100, 48000, 96000, 192000):
            g = computed_grid(20, 20000, sr, B)
            out.append("    {TFreqBands::%s, %d, 20, 20000, %s}," % (name, sr, ints(g)))
    out.append("};")

    # Rebuilding a computed grid at a new sample rate starts from the range the last build widened.
    seq = []
    fmin, fmax = 20, 20000
    for sr in (48000, 96000, 192000, 48000):
        g = computed_grid(fmin, fmax, sr, 1 / 48)
        seq.append((sr, len(g), g[-1]))
        fmin, fmax = g[0], g[-1]
    out.append("// A 1/48-octave grid rebuilt at 48000, 96000, 192000, 48000 Hz: {rate, points, last}.")
    out.append("const RebuildStep kRebuildSteps[] = {%s};" %
               ", ".join("{%d, %d, %d}" % s for s in seq))

    out.append("// Per-hertz tables: {grid frequencies, custom?, point table, weight table}.")
    out.append("const PerHertzCase kPerHertzCases[] = {")
    g = logspace(10, 40, 8)
    p, w = tables(g, 40, False)
    out.append("    {%s, false, %s, %s}," % (ints(g), ints(p), doubles(w)))
    g = [3, 5, 9, 10, 16]
    p, w = tables(g, 16, True)
    out.append("    {%s, true, %s, %s}," % (ints(g), ints(p), doubles(w)))
    out.append("};")

    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "grid_tables.inc")
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
