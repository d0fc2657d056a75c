#!/usr/bin/python3
"""Writes measure_tables.inc: oracles for the measurement transforms, computed with scipy and numpy.

- The spectrum of an arbitrary complex impulse at 44100 Hz with a time origin of 2.5 samples, from
  scipy.signal.freqz at whole-hertz frequencies (the origin multiplies it by e^(j w 2.5)).
- Phase unwrapping in degrees and in radians from numpy.unwrap, on random phases with jumps of up
  to several turns (no step of exactly half a turn).

Run: /usr/bin/python3 tests/dsp/make_measure_tables.py  (from anywhere)
"""
import os

import numpy as np
from scipy import signal

HERE = os.path.dirname(os.path.abspath(__file__))


def arr(values):
    return "{" + ", ".join(repr(float(v)) for v in values) + "}"


def main():
    rng = np.random.RandomState(19)
    fs = 44100
    latency = 2.5
    h = rng.normal(0.0, 0.5, 24) + 1j * rng.normal(0.0, 0.1, 24)
    h[3] += 1.0
    freqs = sorted(set(int(round(f)) for f in np.geomspace(20, 20000, 25)))
    _, H = signal.freqz(h, worN=np.array(freqs, dtype=float), fs=fs)
    w = 2 * np.pi * np.array(freqs) / fs
    H = H * np.exp(1j * w * latency)

    deg_src = np.concatenate([[10.0], rng.uniform(-179.0, 179.0, 40)])
    deg_src[7] += 720.0  # a jump of several turns
    deg_dst = np.unwrap(deg_src, period=360.0)
    rad_src = np.concatenate([[0.3], rng.uniform(-3.1, 3.1, 40)])
    rad_src[11] -= 4 * np.pi
    rad_dst = np.unwrap(rad_src)

    out = ["// Written by make_measure_tables.py; do not edit.", "namespace measure_tables {", ""]
    out.append("constexpr int kFreqzRate = %d;" % fs)
    out.append("constexpr double kFreqzLatency = %r;" % latency)
    out.append("const std::vector<double> kFreqzImpulseRe = %s;" % arr(h.real))
    out.append("const std::vector<double> kFreqzImpulseIm = %s;" % arr(h.imag))
    out.append("const std::vector<int32_t> kFreqzFrequencies = {%s};" % ", ".join(str(f) for f in freqs))
    out.append("const std::vector<double> kFreqzLevelDb = %s;" % arr(20 * np.log10(np.abs(H))))
    out.append("const std::vector<double> kFreqzPhaseRad = %s;" % arr(np.angle(H)))
    out.append("")
    out.append("const std::vector<double> kUnwrapDegSrc = %s;" % arr(deg_src))
    out.append("const std::vector<double> kUnwrapDegDst = %s;" % arr(deg_dst))
    out.append("const std::vector<double> kUnwrapRadSrc = %s;" % arr(rad_src))
    out.append("const std::vector<double> kUnwrapRadDst = %s;" % arr(rad_dst))
    out.append("")
    out.append("} // namespace measure_tables")
    with open(os.path.join(HERE, "measure_tables.inc"), "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
