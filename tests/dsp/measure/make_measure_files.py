#!/usr/bin/python3
"""Writes the measurement-file fixtures of tests/dsp/measure and the fuzz seeds of the binary readers.

Text exports: the same five points (frequency Hz, level dB, phase degrees) written in each analyser's
layout, following the header and column rules the readers check. The phase steps from -170 to +170
degrees between 400 and 800 Hz, so an unwrapped phase reads -190 there. Radian kinds carry the phase
in radians.

Binary files: written field by field with struct at the offsets of each format (all little-endian).

Run: /usr/bin/python3 tests/dsp/measure/make_measure_files.py  (from anywhere)
"""
import math
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
FUZZ = os.path.join(HERE, "..", "..", "fuzz", "corpus")

POINTS = [(100.0, 90.0, 10.0), (200.0, 92.0, -20.0), (400.0, 94.0, -170.0), (800.0, 93.0, 170.0),
          (1600.0, 91.0, 30.0)]


def rad(deg):
    return deg * math.pi / 180.0


def write_text(name, lines):
    with open(os.path.join(HERE, name), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


def text_exports():
    # Blank-separated, first data line 1: tabs count as blanks, a trailing comma is dropped.
    clio = ["Freq            dBSPL           Phase"]
    for i, (f, m, p) in enumerate(POINTS):
        if i == 1:
            clio.append("%.2f\t%.2f\t%.2f" % (f, m, p))
        elif i == 2:
            clio.append("%.1f,  %.1f,  %.1f," % (f, m, p))
        else:
            clio.append("%10.2f  %10.2f  %10.2f" % (f, m, p))
    write_text("clio.txt", clio)

    # Tab-separated digit lines with a fourth (coherence) column; the header is searched from line 1.
    smaart = ["Smaart transfer function", "Frequency (Hz)\tMagnitude (dB)\tPhase (degrees)\tCoherence"]
    smaart += ["%g\t%g\t%g\t0.98" % pt for pt in POINTS]
    write_text("smaart.txt", smaart)

    write_text("satlive.txt", ["%g %g %g" % pt for pt in POINTS])

    linearx = ["* LMS(TM) exported curve"] + ["* comment %d" % i for i in range(1, 11)]
    linearx += ["%.4E %.4E %.4E" % pt for pt in POINTS]
    write_text("linearx.txt", linearx)

    # Audio Precision: two files, fixed columns (frequency 1-15, value 15-34), last line not read.
    ap_mg = ["Audio Precision", "Gen.Freq,          Anlr.Bandpass,     ,,,,,,", "Hz,dBr", ","]
    ap_ph = ["Audio Precision", "Gen.Freq,          Anlr.Phase,        ,,,,,,", "Hz,deg", ","]
    for f, m, p in POINTS:
        ap_mg.append("%14.3f,%19.3f,,,,," % (f, m))
        ap_ph.append("%14.3f,%19.3f,,,,," % (f, p))
    ap_mg.append("end of data")
    ap_ph.append("end of data")
    write_text("ap_mg.adx", ap_mg)
    write_text("ap_ph.adx", ap_ph)

    mlssa = ["MLSSA frequency response", '      "Hz"  "Mag (dB)"       "deg"']
    mlssa += ["%12.3f %12.3f %12.3f" % pt for pt in POINTS]
    write_text("mlssa.txt", mlssa)

    daas = ["CALSOD"] + ["header %d" % i for i in range(1, 8)]
    daas += ["%g %g %.12f" % (f, m, rad(p)) for f, m, p in POINTS]
    write_text("daas32.spl", daas)

    calsod = ["CALSOD"] + ["header %d" % i for i in range(1, 8)]
    calsod += ["%g %g %g" % pt for pt in POINTS]
    write_text("calsod.txt", calsod)

    winair = [" WinAIRR saved file", "header 1", "header 2", "header 3"]
    winair += ["%g %g %.12f" % (f, m, rad(p)) for f, m, p in POINTS]
    write_text("winair.txt", winair)

    # Acousticlizer FFT: first data line 7, frequency 1-9, level 12-18; 1/3 octave: line 1, 12-20.
    fft = ["Acousticlizer FFT"] + ["header %d" % i for i in range(1, 7)]
    fft += ["%9.1f  %7.2f" % (f, m) for f, m, _ in POINTS]
    write_text("acousticlizer_fft.txt", fft)
    third = ["Acousticlizer 1/3"] + ["%9.1f  %9.3f" % (f, m) for f, m, _ in POINTS]
    write_text("acousticlizer_13.txt", third)

    spectralab = ["SpectraLab overlay"] + ["%g\t%g\t%.12f\t0" % (f, m, rad(p)) for f, m, p in POINTS]
    write_text("spectralab.ovl", spectralab)

    # ARTA in its ";" form, with decimal commas.
    arta = ["Frequency(Hz); Magnitude(dB);  Phase(deg)"]
    arta += [("%.1f;%.2f;%.1f" % pt).replace(".", ",") for pt in POINTS]
    write_text("arta.csv", arta)

    rew = ["* Measurement data measured by REW"] + ["* line %d" % i for i in range(1, 13)]
    rew += ["* Freq(Hz) SPL(dB) Phase(degrees)"]
    rew += ["%.6f %.3f %.4f" % pt for pt in POINTS]
    write_text("rew.txt", rew)


def pad(data, size):
    assert len(data) <= size
    return data + b"\0" * (size - len(data))


def mls_file(samples_re, samples_im, old_rate, rate, scale, time_we):
    """CLIO .mls: 956-byte header, then the real and the imaginary singles."""
    n = len(samples_re)
    head = bytearray(956)
    head[0:20] = b"CLIO impulse fixture".ljust(20, b"\0")
    struct.pack_into("<B", head, 797, 0)             # TimeW
    struct.pack_into("<I", head, 800, 0)             # TimeWb
    struct.pack_into("<I", head, 804, time_we)       # TimeWe
    struct.pack_into("<I", head, 808, n)             # numberOfSamples
    struct.pack_into("<H", head, 812, old_rate)      # OldSampleRate
    struct.pack_into("<B", head, 815, scale)         # ScaleType
    struct.pack_into("<I", head, 816, rate)          # SampleRate
    return bytes(head) + struct.pack("<%df" % n, *samples_re) + struct.pack("<%df" % n, *samples_im)


def spk_file(bins_re, bins_im, rate, comment, comment_length, start_data):
    """WinMF .spk: packed 256-byte header, then the real and the imaginary singles."""
    n = len(bins_re)
    h = struct.pack("<I", n) + struct.pack("<d", rate) + struct.pack("<H", 7)   # 0, 4, 12
    h += struct.pack("<BB", 2, 1)                                                # 14 channels, 15 channelN
    h += bytes([1, 0, 1, 0, 1, 3, 4, 1, 0, 1, 0, 1, 2, 9, 5])                    # 16 .. 30
    h += struct.pack("<d", 2.5)                                                  # 31 voltageRange
    h += b"\x11" * 52                                                            # 39 reservedBa
    h += bytes([5, 6, 7, 8, 9, 10]) + struct.pack("<H", 2024)                    # 91 .. 97
    h += struct.pack("<I", start_data)                                           # 99 startData
    h += b"Hz\0\0" + b"dB\0\0"                                                   # 103, 107
    h += struct.pack("<4I", 1, 2, 3, 4)                                          # 111 .. 123
    h += struct.pack("<4d", 0.25, 10.0, 60.0, 0.775)                             # 127 .. 151
    h += struct.pack("<HH", 11, 12)                                              # 159, 161
    h += pad(b"24 bit", 21)                                                      # 163 addaQuantStr
    assert len(h) == 184
    h += bytes([comment_length]) + pad(comment, 71)                              # 184 commentStr
    assert len(h) == 256
    return h + struct.pack("<%df" % n, *bins_re) + struct.pack("<%df" % n, *bins_im)


def qztf_file(presets, n_sources, n_presets, n_points, rate, latency, delay_in_phase):
    """QZTF .stf: 108-byte header, then the presets (252 + 24 L bytes each)."""
    h = pad(b"QZ DSP", 24) + struct.pack("<ii", 1, 2)                               # 0, 24, 28
    h += pad(b"Brand", 23) + pad(b"Model", 25)                                      # 32, 55
    h += struct.pack("<6i", rate, latency, n_sources, n_points, n_presets, 0)       # 80 .. 100
    h += struct.pack("<B", 1 if delay_in_phase else 0) + b"\0\0\0"
    assert len(h) == 108
    body = b""
    for name, comments, source, delay, fr, mg, ph in presets:
        L = len(fr)
        body += pad(name, 22) + pad(comments, 200) + pad(source, 22)
        body += struct.pack("<ii", delay, L)
        body += struct.pack("<%dd" % L, *fr) + struct.pack("<%dd" % L, *mg) + struct.pack("<%dd" % L, *ph)
    return h + body


def binary_files():
    # 64 samples at 48 kHz (the 32-bit rate 47999 is not a standard one, so the 16-bit rate counts),
    # a unit peak at sample 5 and a smaller echo.
    re = [0.0] * 64
    im = [0.0] * 64
    re[5] = 1.0
    re[9] = -0.25
    im[2] = 0.125
    mls = mls_file(re, im, 48000, 47999, 1, 1000)
    open(os.path.join(HERE, "impulse.mls"), "wb").write(mls)

    # A flat complex spectrum (0 dB, zero phase) of 32 bins at 48 kHz; startData says 999 and the
    # comment's length byte claims 200 characters of a 71-character field.
    comment = b"x" * 71
    spk = spk_file([1.0] * 32, [0.0] * 32, 48000.0, comment, 200, 999)
    open(os.path.join(HERE, "spectrum.spk"), "wb").write(spk)

    # Two sources and three presets, eight points; the first preset carries six of them, its names
    # are padded with blanks and NUL bytes.
    def preset(i, L):
        fr = [100.0 * 2 ** k for k in range(L)]
        mg = [80.0 + k + i for k in range(L)]
        ph = [-0.5 * k for k in range(L)]
        name = b"" if i == 2 else b"  Preset %d\0\0" % i   # preset 2's name is all NUL bytes
        return (name, b"comment %d\x01" % i, b"Source %d  " % i, 10 + i, fr, mg, ph)

    presets = [preset(0, 6)] + [preset(i, 8) for i in range(1, 6)]
    stf = qztf_file(presets, 2, 3, 8, 48000, 96, True)
    open(os.path.join(HERE, "transfer.stf"), "wb").write(stf)

    for name, data in (("measure_mls_fuzz", mls), ("measure_spk_fuzz", spk), ("measure_qztf_fuzz", stf)):
        folder = os.path.join(FUZZ, name)
        os.makedirs(folder, exist_ok=True)
        open(os.path.join(folder, "seed"), "wb").write(data)


if __name__ == "__main__":
    text_exports()
    binary_files()
