#!/usr/bin/python3
"""Makes the WAV fixtures of tests/dsp/wav with sox and writes their expected first-channel
samples, read with scipy.io.wavfile, to tests/dsp/wav/expected.txt.

Run with /usr/bin/python3 from anywhere; sox regenerates the noise, so rerunning replaces the
committed fixtures and their table together.
"""
import os
import struct
import subprocess

import numpy as np
import scipy.io.wavfile as wavfile

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wav")
SAMPLES = "300s"

# name, sox output options, synth generators (one per channel)
FIXTURES = [
    ("pcm16_mono.wav", ["-t", "wavpcm", "-b", "16", "-e", "signed-integer", "-c", "1"], ["whitenoise"]),
    ("pcm16_stereo.wav", ["-t", "wavpcm", "-b", "16", "-e", "signed-integer", "-c", "2"],
     ["sine", "1000", "whitenoise"]),
    ("pcm24_plain.wav", ["-t", "wavpcm", "-b", "24", "-e", "signed-integer", "-c", "1"], ["whitenoise"]),
    ("pcm24_extensible.wav", ["-t", "wav", "-b", "24", "-e", "signed-integer", "-c", "1"], ["whitenoise"]),
    ("pcm32_plain.wav", ["-t", "wavpcm", "-b", "32", "-e", "signed-integer", "-c", "1"], ["whitenoise"]),
    ("pcm32_extensible.wav", ["-t", "wav", "-b", "32", "-e", "signed-integer", "-c", "2"],
     ["whitenoise", "sine", "300"]),
    ("float32.wav", ["-t", "wavpcm", "-b", "32", "-e", "floating-point", "-c", "1"], ["sine", "1000"]),
    ("float64.wav", ["-t", "wavpcm", "-b", "64", "-e", "floating-point", "-c", "1"], ["whitenoise"]),
]


def make(name, opts, gens, rate=48000):
    path = os.path.join(HERE, name)
    subprocess.run(["sox", "-n", "-r", str(rate)] + opts + [path, "synth", SAMPLES] + gens + ["vol", "0.9"],
                   check=True)
    return path


def chunks(data):
    """(id, payload offset, length) of every chunk after the RIFF/WAVE header."""
    pos, out = 12, []
    while pos + 8 <= len(data):
        cid, length = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        out.append((cid, pos + 8, length))
        pos += 8 + length + (length & 1)
    return out


def insert_list_chunks(src, dst):
    """Copies src with an odd-length LIST chunk (and its pad byte) before "fmt " and an even one
    before "data", fixing the RIFF size."""
    data = open(src, "rb").read()

    def info(text):
        body = b"INFO" + b"ICMT" + struct.pack("<I", len(text)) + text
        pad = b"\0" if len(body) & 1 else b""
        return b"LIST" + struct.pack("<I", len(body)) + body + pad

    out = bytearray(data[:12]) + info(b"odd")
    for cid, off, length in chunks(data):
        if cid == b"data":
            out += info(b"even")
        out += data[off - 8:off + length + (length & 1)]
    out[4:8] = struct.pack("<I", len(out) - 8)
    open(dst, "wb").write(bytes(out))


def make_extensible(src, dst):
    """Copies src (a plain-header file) with its "fmt " chunk rewritten as WAVE_FORMAT_EXTENSIBLE:
    sox writes float data with a plain header whatever the channel count."""
    data = open(src, "rb").read()
    out = bytearray(data[:12])
    for cid, off, length in chunks(data):
        if cid == b"fmt ":
            fmt_code, channels, rate, byte_rate, align, bits = struct.unpack("<HHIIHH", data[off:off + 16])
            guid_tail = bytes.fromhex("000000001000800000aa00389b71")
            body = struct.pack("<HHIIHH", 0xFFFE, channels, rate, byte_rate, align, bits)
            body += struct.pack("<HHI", 22, bits, 0x3) + struct.pack("<H", fmt_code) + guid_tail
            out += b"fmt " + struct.pack("<I", len(body)) + body
        else:
            out += data[off - 8:off + length + (length & 1)]
    out[4:8] = struct.pack("<I", len(out) - 8)
    open(dst, "wb").write(bytes(out))


def scaled_first_channel(path):
    rate, x = wavfile.read(path)
    if x.ndim > 1:
        x = x[:, 0]
    if x.dtype == np.int16:
        v = x.astype(np.float64) / 32768.0
    elif x.dtype == np.int32:  # 24-bit data comes left-aligned in int32, so both widths scale by 2^31
        v = x.astype(np.float64) / 2147483648.0
    else:
        v = x.astype(np.float64)
    return rate, v


def main():
    os.makedirs(HERE, exist_ok=True)
    names = []
    for name, opts, gens in FIXTURES:
        make(name, opts, gens)
        names.append(name)
    make("pcm16_44k1.wav", ["-t", "wavpcm", "-b", "16", "-e", "signed-integer", "-c", "1"], ["whitenoise"],
         rate=44100)
    names.append("pcm16_44k1.wav")
    insert_list_chunks(os.path.join(HERE, "pcm24_plain.wav"), os.path.join(HERE, "list_chunks.wav"))
    names.append("list_chunks.wav")
    stereo_float = make("float32_stereo.tmp.wav", ["-t", "wavpcm", "-b", "32", "-e", "floating-point", "-c", "2"],
                        ["whitenoise", "sine", "500"])
    make_extensible(stereo_float, os.path.join(HERE, "float32_extensible.wav"))
    os.remove(stereo_float)
    names.append("float32_extensible.wav")

    with open(os.path.join(HERE, "expected.txt"), "w") as f:
        f.write("# file rate channels frames, then the first channel scaled to +-1 (scipy.io.wavfile)\n")
        for name in names:
            path = os.path.join(HERE, name)
            rate, v = scaled_first_channel(path)
            x = wavfile.read(path)[1]
            channels = 1 if x.ndim == 1 else x.shape[1]
            f.write(f"{name} {rate} {channels} {len(v)}\n")
            f.write(" ".join(repr(float(s)) for s in v) + "\n")


if __name__ == "__main__":
    main()
