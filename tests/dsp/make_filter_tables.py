#!/usr/bin/python3
"""Writes filter_tables.inc: complex responses of biquad sections and crossovers on the 1/3-octave
grid, from independent sources:

- the RBJ audio-EQ cookbook in its own form (b0..b2 over a0..a2, denominator a0 + a1 z^-1 + a2 z^-2)
  for the bells, shelves, low- and high-passes, evaluated with scipy.signal.freqz;
- scipy.signal.butter (bilinear transform with prewarping) for Butterworth crossovers, squared for
  Linkwitz-Riley, and scipy.signal.bilinear for first-order sections;
- for the designs that are the program's own rather than textbook ones (the constant-Q bell with its
  12000 Hz special case, the band-pass and band-stop with their lower bound on Q, the all-pass
  sections, user coefficients, and the Bessel crossover built from rounded section frequencies and
  a Q rounded to one decimal), the program's formulas restated here, then evaluated with freqz.

Run: /usr/bin/python3 tests/dsp/make_filter_tables.py
"""
import math
import os

import numpy as np
from scipy import signal

THIRD_OCTAVE = [20, 25, 31, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630, 800, 1000,
                1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000]
FMIN, FMAX = 20, 20000


def response(b, a, fs):
    w = 2 * np.pi * np.array(THIRD_OCTAVE, dtype=float) / fs
    _, h = signal.freqz(b, a, worN=w)
    return h


def sos_response(sos, fs):
    w = 2 * np.pi * np.array(THIRD_OCTAVE, dtype=float) / fs
    _, h = signal.sosfreqz(sos, worN=w)
    return h


# --- RBJ cookbook -----------------------------------------------------------------------------------

def rbj(kind, f, fs, gain_db=0.0, q=None, slope=None):
    A = 10 ** (gain_db / 40)
    w0 = 2 * math.pi * f / fs
    cw, sw = math.cos(w0), math.sin(w0)
    if slope is not None:
        alpha = sw / 2 * math.sqrt((A + 1 / A) * (1 / slope - 1) + 2)
    else:
        alpha = sw / (2 * q)
    sa = 2 * math.sqrt(A) * alpha
    if kind == "peak":
        b = [1 + alpha * A, -2 * cw, 1 - alpha * A]
        a = [1 + alpha / A, -2 * cw, 1 - alpha / A]
    elif kind == "lowshelf":
        b = [A * ((A + 1) - (A - 1) * cw + sa), 2 * A * ((A - 1) - (A + 1) * cw), A * ((A + 1) - (A - 1) * cw - sa)]
        a = [(A + 1) + (A - 1) * cw + sa, -2 * ((A - 1) + (A + 1) * cw), (A + 1) + (A - 1) * cw - sa]
    elif kind == "highshelf":
        b = [A * ((A + 1) + (A - 1) * cw + sa), -2 * A * ((A - 1) + (A + 1) * cw), A * ((A + 1) + (A - 1) * cw - sa)]
        a = [(A + 1) - (A - 1) * cw + sa, 2 * ((A - 1) - (A + 1) * cw), (A + 1) - (A - 1) * cw - sa]
    elif kind == "lpf":
        b = [(1 - cw) / 2, 1 - cw, (1 - cw) / 2]
        a = [1 + alpha, -2 * cw, 1 - alpha]
    elif kind == "hpf":
        b = [(1 + cw) / 2, -(1 + cw), (1 + cw) / 2]
        a = [1 + alpha, -2 * cw, 1 - alpha]
    else:
        raise ValueError(kind)
    return b, a


# --- the program's own designs, restated -------------------------------------------------------------

def constant_q_bell(f, fs, g, q):
    K = 1 / math.tan(math.pi * 12000.5 / fs) if f == 12000 else 1 / math.tan(math.pi * f / fs)
    V1, V2 = (10 ** (g / 20), 1.0) if g >= 0 else (1.0, 10 ** (-g / 20))
    u, v = V1 / q, V2 / q
    return [1 + u * K + K * K, 2 * (1 - K * K), 1 - u * K + K * K], [1 + v * K + K * K, 2 * (1 - K * K), 1 - v * K + K * K]


def band(kind, f, fs, g, q):
    qq = max(q, 1.0)
    qq = max(qq, 2 * f / fs)
    w = 2 * math.pi * f / fs
    beta = 1 / (1 + math.tan(w / qq / 2))
    a = [1, -2 * beta * math.cos(w), 2 * beta - 1]
    if kind == "pass":
        gl = 10 ** (g / 20)
        return [(1 - beta) * gl, 0, -(1 - beta) * gl], a
    return [beta, -2 * beta * math.cos(w), beta], a


def allpass1(f, fs):
    K = 1 / math.tan(math.pi * f / fs)
    return [(1 - K) / (1 + K), 1], [1, (1 - K) / (1 + K)]


def allpass2(f, fs, q):
    K = 1 / math.tan(math.pi * f / fs)
    return [1 - K / q + K * K, 2 * (1 - K * K), 1 + K / q + K * K], [1 + K / q + K * K, 2 * (1 - K * K), 1 - K / q + K * K]


def first_order(kind, f, fs):
    wc = 2 * fs * math.tan(math.pi * f / fs)   # prewarped analog corner
    if kind == "low":
        return signal.bilinear([wc], [1, wc], fs)
    return signal.bilinear([1, 0], [1, wc], fs)


# --- section cases ----------------------------------------------------------------------------------

def section_cases():
    cases = []

    def add(name, fs, f, g, q, ba, comment):
        b, a = ba
        cases.append((name, fs, f, g, q, response(b, a, fs), comment))

    add("FBYPASS", 48000, 1000, 0, 0.7, ([1], [1]), "unity")
    for f, g, q, fs in [(1000, 6, 1.4, 48000), (100, -12, 0.7, 48000), (5000, 3, 4, 96000), (16000, 9, 2, 44100)]:
        add("FPARAMETRICOQA", fs, f, g, q, rbj("peak", f, fs, g, q=q), "RBJ peaking")
    for f, g, q, fs in [(1000, 6, 1.4, 48000), (2000, -9, 2, 48000), (12000, 5, 1, 48000), (12000, -5, 1, 96000)]:
        add("FPARAMETRICOQC", fs, f, g, q, constant_q_bell(f, fs, g, q), "constant-Q bell (restated)")
    add("FSHELVINGPB6", 48000, 200, 6, 0.7, rbj("lowshelf", 200, 48000, 6, slope=0.5), "RBJ low shelf, S=0.5")
    add("FSHELVINGPA6", 48000, 5000, -6, 0.7, rbj("highshelf", 5000, 48000, -6, slope=0.5), "RBJ high shelf, S=0.5")
    add("FSHELVINGPB12", 48000, 300, 8, 0.7, rbj("lowshelf", 300 * math.sqrt(2), 48000, 8, q=0.7),
        "RBJ low shelf, Q=0.7 at sqrt(2) f")
    add("FSHELVINGPA12", 48000, 4000, -10, 0.7, rbj("highshelf", 4000 * math.sqrt(2), 48000, -10, q=0.7),
        "RBJ high shelf, Q=0.7 at sqrt(2) f")
    add("FSHELVINGPB12Q", 48000, 150, -4, 0.7, rbj("lowshelf", 150, 48000, -4, slope=0.7), "RBJ low shelf, S=Q")
    add("FSHELVINGPA12Q", 96000, 8000, 5, 1.0, rbj("highshelf", 8000, 96000, 5, slope=1.0), "RBJ high shelf, S=Q")
    add("FSHELVINGPB12STD", 48000, 250, 7, 0.7, rbj("lowshelf", 250, 48000, 7, q=0.7), "RBJ low shelf, Q=0.7")
    add("FSHELVINGPA12STD", 44100, 6000, -3, 0.7, rbj("highshelf", 6000, 44100, -3, q=0.7), "RBJ high shelf, Q=0.7")
    add("FPASOBAJO", 48000, 1000, 0, 0.7, signal.butter(2, 1000, "low", fs=48000), "2nd-order Butterworth")
    add("FPASOALTO", 48000, 150, 0, 0.7, signal.butter(2, 150, "high", fs=48000), "2nd-order Butterworth")
    add("FPASOBAJOQ", 48000, 2000, 0, 2.0, rbj("lpf", 2000, 48000, q=2.0), "RBJ low-pass")
    add("FPASOALTOQ", 96000, 80, 0, 0.5, rbj("hpf", 80, 96000, q=0.5), "RBJ high-pass")
    add("FPASOBANDA", 48000, 1000, 3, 4.0, band("pass", 1000, 48000, 3, 4.0), "band-pass (restated)")
    add("FPASOBANDA", 48000, 500, 0, 0.5, band("pass", 500, 48000, 0, 0.5), "band-pass, Q raised to 1")
    add("FELIMINABANDA", 48000, 3000, 0, 2.0, band("stop", 3000, 48000, 0, 2.0), "band-stop (restated)")
    add("FBYPASS180", 48000, 1000, 0, 0.7, allpass1(1000, 48000), "first-order all-pass (restated)")
    add("FBYPASS360", 48000, 2000, 0, 0.7, allpass2(2000, 48000, 0.7), "second-order all-pass (restated)")
    return cases


# --- crossovers -------------------------------------------------------------------------------------

BESSEL_ROWS = {
    1: [(0, 1.0)], 2: [(0.618, 1.3617)], 3: [(0, 0.756), (0.4772, 0.9996)],
    4: [(0.4889, 1.3397), (0.389, 0.7743)], 5: [(0, 0.6656), (0.4128, 1.1402), (0.3245, 0.6216)],
    6: [(0.3887, 1.2217), (0.3505, 0.9686), (0.2756, 0.5131)],
    7: [(0, 0.5937), (0.3395, 1.0944), (0.3011, 0.8304), (0.2381, 0.4332)],
    8: [(0.3162, 1.1112), (0.2979, 0.9754), (0.2621, 0.7202), (0.2087, 0.3728)],
}
BESSEL_CAP = {1: 20000, 2: 18800, 3: 16500, 4: 14900, 5: 13650, 6: 12550, 7: 11650, 8: 10900}
BESSEL_FIRST = {1: 1.0, 3: 1.323, 5: 1.502, 7: 1.684}


def clamp_freq(f):
    return min(max(f, FMIN), FMAX)


def bessel_response(order, fc, high, fs):
    """The program's Bessel: rounded section frequencies and Q rounded to one decimal (restated)."""
    if not high and fc > BESSEL_CAP[order]:
        fc = BESSEL_CAP[order]
    h = np.ones(len(THIRD_OCTAVE), dtype=complex)
    rows = BESSEL_ROWS[order]
    if order % 2 == 1:
        p = BESSEL_FIRST[order]
        f = clamp_freq(round(fc / p) if high else round(fc * p))
        b, a = first_order("high" if high else "low", f, fs)
        h *= response(b, a, fs)
        rows = rows[1:]
    for bb, aa in rows:
        f = clamp_freq(round(fc * math.sqrt(bb)) if high else round(fc / math.sqrt(bb)))
        q = min(max(round(math.sqrt(bb) / aa * 10) / 10, 0.1), 20)
        b, a = rbj("hpf" if high else "lpf", f, fs, q=q)
        h *= response(b, a, fs)
    return fc, h


def xover_cases():
    cases = []
    for fc, fs in ((1000, 48000), (150, 96000)):
        for high in (False, True):
            for n in range(1, 9):
                h = sos_response(signal.butter(n, fc, "high" if high else "low", fs=fs, output="sos"), fs)
                cases.append(("XButtw", high, n, fc, fs, fc, h))
            for n in (2, 4, 6, 8):
                h = sos_response(signal.butter(n // 2, fc, "high" if high else "low", fs=fs, output="sos"), fs)
                cases.append(("XLRiley", high, n, fc, fs, fc, h * h))
    for high in (False, True):
        for fc, fs in ((1000, 48000), (18000, 96000)):
            for n in range(1, 9):
                used, h = bessel_response(n, fc, high, fs)
                cases.append(("XBessel", high, n, fc, fs, used, h))
    return cases


def cplx(h):
    return "{" + ", ".join("{%r, %r}" % (float(z.real), float(z.imag)) for z in h) + "}"


def main():
    out = ["// Written by make_filter_tables.py; do not edit.",
           "// Biquad sections on the 1/3-octave grid: {type, rate, Hz, dB, Q, H at every grid point}."]
    out.append("const SectionCase kSectionCases[] = {")
    for name, fs, f, g, q, h, comment in section_cases():
        out.append("    // %s" % comment)
        out.append("    {TPeqType::%s, %d, %d, %r, %r, %s}," % (name, fs, f, float(g), float(q), cplx(h)))
    out.append("};")
    out.append("// Crossovers: {alignment, high-pass?, order, cut, rate, cut after design, H}.")
    out.append("const XoverCase kXoverCases[] = {")
    for t, high, n, fc, fs, used, h in xover_cases():
        out.append("    {TXoverType::%s, %s, %d, %d, %d, %d, %s}," % (t, "true" if high else "false", n, fc, fs, used, cplx(h)))
    out.append("};")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "filter_tables.inc")
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
