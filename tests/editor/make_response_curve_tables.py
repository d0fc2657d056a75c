#!/usr/bin/python3
"""Writes response_curve_tables.inc: a measurement point's and an overlay's drawn curves, computed
independently of the C++ code.

The input is a seeded random level and phase curve and a random weighting table on the 1/48-octave
response grid (rebuilt by tests/dsp/make_grid_tables.py). The drawn magnitude is the level smoothed
over 1/3 octave (the mean of the grid values between the grid points nearest to the band edges,
found by the halving search the program uses) plus the weighting; phase points are kept where the
raw level lies above the reference level minus the threshold.

Run: /usr/bin/python3 tests/editor/make_response_curve_tables.py
"""
import math
import os
import sys

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "dsp"))
from make_grid_tables import computed_grid  # noqa: E402


def nearest_sorted_index(values, x):
    h = len(values) - 1
    i = math.trunc(h * 0.5)
    e = i
    while e != 0:
        if values[i] == x:
            break
        step = round(abs(e) * 0.5)
        e = step if x > values[i] else -step
        i = min(max(i + e, 0), h)
    best = abs(x - values[i])
    result = i
    if best == 0:
        return i
    if i < h and abs(x - values[i + 1]) < best:
        result = i + 1
        best = abs(x - values[i + 1])
    if i > 0 and abs(x - values[i - 1]) < best:
        return i - 1
    return result


def smooth_on_grid(freqs, values, octaves):
    b = 2.0 ** octaves
    out = []
    for j, f in enumerate(freqs):
        lo = f / math.sqrt(b)
        hi = lo * b
        L = max(round(lo), freqs[0])
        U = min(round(hi), freqs[-1])
        a = nearest_sorted_index(freqs, L)
        e = nearest_sorted_index(freqs, U)
        out.append(float(np.mean(values[a:e + 1])) if e > a else values[j])
    return out


def doubles(values):
    return "{" + ", ".join(repr(float(v)) for v in values) + "}"


def main():
    freqs = computed_grid(20, 20000, 48000, 1 / 48)
    rng = np.random.default_rng(7)
    n = len(freqs)
    level = 70 + 15 * np.sin(np.arange(n) / 17.0) + rng.normal(0, 3, n)
    phase = rng.uniform(-180, 180, n)
    weighting = rng.uniform(-20, 2, n)
    reference = 100.0
    threshold = 24.0
    smoothed = smooth_on_grid(freqs, list(level), 1 / 3)
    drawn = [s + w for s, w in zip(smoothed, weighting)]
    kept = [i for i in range(n) if level[i] > reference - threshold]

    out = ["// Written by make_response_curve_tables.py; do not edit."]
    out.append("constexpr int kCurvePoints = %d;" % n)
    out.append("const double kCurveLevel[] = %s;" % doubles(level))
    out.append("const double kCurvePhase[] = %s;" % doubles(phase))
    out.append("const double kCurveWeighting[] = %s;" % doubles(weighting))
    out.append("constexpr double kCurveReference = %r;" % reference)
    out.append("constexpr double kCurveThreshold = %r;" % threshold)
    out.append("// The drawn magnitude: smoothed over 1/3 octave, weighted.")
    out.append("const double kCurveDrawn[] = %s;" % doubles(drawn))
    out.append("// Grid points whose phase is drawn with hiding on.")
    out.append("const int kCurvePhaseKept[] = {%s};" % ", ".join(str(i) for i in kept))
    with open(os.path.join(HERE, "response_curve_tables.inc"), "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
