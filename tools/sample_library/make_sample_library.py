#!/usr/bin/python3
"""Writes the program's sample model library: four cabinet models, a rigging frame, an ornament and a
texture, with synthetic but physically plausible directivity.

Standard library only; it writes the library file layouts from their byte tables and knows nothing
of the program's own readers, so the readers' tests can check them against it. Run it from anywhere:

    /usr/bin/python3 tools/sample_library/make_sample_library.py

It rewrites tools/sample_library/library/ (the folders the program reads) and
tools/sample_library/expected.txt (values the readers' tests compare with).

Directivity: a rigid piston in an infinite baffle for the front half-space, a circular piston
2 J1(ka sin t)/(ka sin t) or a rectangular one sinc(k w/2 u_h) sinc(k h/2 u_v), continued to the rear
with an attenuation that grows with ka (a box radiates round itself at low frequencies only). The
magnitude is the sound pressure at 1 m relative to 20 uPa for the driver's reference drive, the
driver's natural band-pass included; the phase is 0 or pi with the sign of the piston's response.
"""

import math
import os
import shutil
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "library")
C_SOUND = 343.0

# Nominal third-octave centres, 20 Hz to 20 kHz (the model grid of every sample cabinet).
THIRD_OCTAVE = [20, 25, 31, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630, 800, 1000,
                1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000]
BAND_THIRD_OCTAVE = 4  # ordinal of the third-octave spacing
SR_48K = 1             # ordinal of 48 kHz

expected = []


def expect(key, value):
    if isinstance(value, float):
        expected.append("%s %.9g" % (key, value))
    else:
        expected.append("%s %s" % (key, value))


# ---------------------------------------------------------------- encodings

def sstr(text, capacity):
    raw = text.encode("cp1252")[:capacity]
    return bytes([len(raw)]) + raw + bytes(capacity - len(raw))


def f32(v):
    return struct.unpack("<f", struct.pack("<f", v))[0]


def header(model, serie, variant, preset, major, minor=0, update=1, program=(3, 2, 1, 0)):
    h = (sstr("Wendrix", 25) + bytes(2) + struct.pack("<ii", major, minor) + sstr("Sample Acoustics", 25) +
         sstr(serie, 25) + sstr(model, 25) + sstr(preset, 25) + sstr("Library generator", 25) +
         sstr("Synthetic sample data", 200) + bytes(program) + sstr(variant, 20) + bytes([update, 0, 0, 0]) +
         bytes(40))
    assert len(h) == 436
    return h


# ---------------------------------------------------------------- meshes in the component stream

def vstring(name, text):
    """A text property: short string (tag 6) up to 255 bytes, long string (tag 12) beyond."""
    raw = text.encode("ascii")
    prop = bytes([len(name)]) + name.encode("ascii")
    if len(raw) <= 255:
        return prop + bytes([6, len(raw)]) + raw
    return prop + bytes([12]) + struct.pack("<i", len(raw)) + raw


def extended(v):
    """An 80-bit extended value (tag 5)."""
    if v == 0:
        return bytes([5]) + bytes(10)
    m, e = math.frexp(abs(v))  # v = m * 2^e, 0.5 <= m < 1
    mantissa = int(m * (1 << 64))
    exponent = e - 1 + 16383
    sign = 0x8000 if v < 0 else 0
    return bytes([5]) + struct.pack("<QH", mantissa, exponent | sign)


def fmt(v):
    return ("%.6g" % v).replace("e+0", "e").replace("e-0", "e-")


def mesh_component(name, points, normals, texcoords, triangles):
    body = b"TPF0" + bytes([5]) + b"TMesh" + bytes([len(name)]) + name.encode("ascii")
    body += bytes([5]) + b"Width" + extended(1.0)
    body += bytes([10]) + b"Position.X" + bytes([15]) + struct.pack("<f", 0.0)
    body += bytes([7]) + b"HitTest" + bytes([8])
    body += vstring("Data.Points", ", ".join(" ".join(fmt(c) for c in p) for p in points))
    body += vstring("Data.Normals", ", ".join(" ".join(fmt(c) for c in n) for n in normals))
    body += vstring("Data.TexCoordinates", ", ".join(" ".join(fmt(c) for c in t) for t in texcoords))
    body += vstring("Data.TriangleIndices", " ".join(str(i) for t in triangles for i in t))
    return body + b"\x00\x00"  # end of properties, end of children


def box(w, h, d, cx=0.0, cy=0.0, cz=0.0):
    """A box of 6 faces, 4 vertices each with the face normal, two triangles per face."""
    points, normals, tex, tris = [], [], [], []
    faces = [((1, 0, 0), (0, 1, 0), (0, 0, 1)), ((-1, 0, 0), (0, 1, 0), (0, 0, -1)),
             ((0, 1, 0), (0, 0, 1), (1, 0, 0)), ((0, -1, 0), (0, 0, 1), (-1, 0, 0)),
             ((0, 0, 1), (1, 0, 0), (0, 1, 0)), ((0, 0, -1), (1, 0, 0), (0, -1, 0))]
    half = (w / 2, h / 2, d / 2)
    for n, u, v in faces:
        base = len(points)
        for su, sv, tc in ((-1, -1, (0, 1)), (1, -1, (1, 1)), (1, 1, (1, 0)), (-1, 1, (0, 0))):
            p = [(n[i] + su * u[i] + sv * v[i]) * half[i] for i in range(3)]
            points.append((p[0] + cx, p[1] + cy, p[2] + cz))
            normals.append(n)
            tex.append(tc)
        tris += [(base, base + 1, base + 2), (base + 2, base + 3, base)]
    return points, normals, tex, tris


def mesh_stream(*meshes):
    out = struct.pack("<H", len(meshes))
    for i, m in enumerate(meshes):
        out += mesh_component("Mesh%d" % (i + 1), *m)
    return out


# ---------------------------------------------------------------- pictures

def png(width, height, pixel):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def checker(x, y):
    return (200, 60, 40) if (x // 4 + y // 4) % 2 else (240, 230, 210)


# ---------------------------------------------------------------- directivity

def bessel_j1(x):
    """J1 by its integral (1/pi) int_0^pi cos(t - x sin t) dt, Simpson's rule."""
    n = 400
    h = math.pi / n
    s = 0.0
    for i in range(n + 1):
        t = i * h
        w = 1 if i in (0, n) else (4 if i % 2 else 2)
        s += w * math.cos(t - x * math.sin(t))
    return s * h / 3 / math.pi


def sinc(x):
    return 1.0 if abs(x) < 1e-12 else math.sin(x) / x


def rear_factor(theta, ka):
    """1 in front; towards the rear an attenuation growing with ka, at most 25 dB straight back."""
    if theta <= math.pi / 2:
        return 1.0
    att_db = min(25.0, 6.0 * ka) * (theta - math.pi / 2) / (math.pi / 2)
    return 10 ** (-att_db / 20)


def band_pass(f, lo, hi, order=2):
    """Magnitude of a Butterworth-like natural band-pass of the given order at each edge."""
    return 1 / math.sqrt(1 + (lo / f) ** (2 * order)) / math.sqrt(1 + (f / hi) ** (2 * order))


class Piston:
    """kind 'circle' (radius a) or 'rect' (width w along the horizontal, height h along the vertical)."""

    def __init__(self, kind, level_db, lo, hi, a=0.0, w=0.0, h=0.0):
        self.kind, self.level_db, self.lo, self.hi, self.a, self.w, self.h = kind, level_db, lo, hi, a, w, h
        self._j1 = {}

    def size(self):
        return self.a if self.kind == "circle" else max(self.w, self.h) / 2

    def front(self, f, theta, phi):
        """Signed baffled-piston response of the direction at theta from the axis in the plane turned
        by phi about it (phi 0 horizontal, 90 vertical)."""
        k = 2 * math.pi * f / C_SOUND
        s = math.sin(theta)
        if self.kind == "circle":
            x = k * self.a * s
            key = (f, round(theta, 9))
            if key not in self._j1:
                self._j1[key] = 1.0 if x < 1e-9 else 2 * bessel_j1(x) / x
            return self._j1[key]
        u_h, u_v = s * math.cos(phi), s * math.sin(phi)
        return sinc(k * self.w / 2 * u_h) * sinc(k * self.h / 2 * u_v)

    def response(self, f, theta, phi):
        """(linear magnitude, phase) in the direction (theta, phi) at frequency f."""
        ka = 2 * math.pi * f / C_SOUND * self.size()
        t = min(theta, math.pi - theta) if theta > math.pi / 2 else theta
        d = self.front(f, t, phi) * rear_factor(theta, ka)
        level = 10 ** (self.level_db / 20) * band_pass(f, self.lo, self.hi)
        return f32(abs(d) * level), f32(math.pi if d < 0 else 0.0)


def grid_direction(slice_deg, az_deg):
    """The direction of grid point (slice, azimuth): the slice turns the measuring plane about the axis
    by its angle, the azimuth runs round the plane; past 180 degrees it lies on the plane's other half."""
    if az_deg <= 180:
        return math.radians(az_deg), math.radians(slice_deg)
    return math.radians(360 - az_deg), math.radians(slice_deg + 180)


# ---------------------------------------------------------------- cabinet files

def polar_set(name, set_id, piston, resolution, peqs=(), fft_start=0, phase_ref=0.0):
    out = struct.pack("<ii", 20, 20000) + sstr(name, 25) + struct.pack("<BifB", 1, set_id, 130.0, len(peqs))
    if not peqs:
        out += bytes(28)
    for active, kind, freq, q, gain in peqs:
        out += struct.pack("<BBHBh", active, kind, freq, q, gain)
    out += struct.pack("<ffifB", 97.5, 800.0, fft_start, 4.0, 0) + bytes(18)
    out += struct.pack("<d", phase_ref)
    for e in range(180 // resolution):
        for a in range(360 // resolution):
            theta, phi = grid_direction(e * resolution, a * resolution)
            mags, phases = zip(*(piston.response(f, theta, phi) for f in THIRD_OCTAVE))
            out += struct.pack("<ff", a * resolution, e * resolution)
            out += struct.pack("<%df" % len(mags), *mags) + struct.pack("<%df" % len(phases), *phases)
            out += bytes(8)
    return out + bytes(64)


def transfer_function(name, mags, phases, lin_ref=1.0, max_spl=130.0, offset=0.0, delay=0):
    return (struct.pack("<fffB", lin_ref, max_spl, offset, 1) + sstr(name, 50) +
            struct.pack("<%df" % len(mags), *mags) + struct.pack("<%df" % len(phases), *phases) +
            struct.pack("<iB", delay, 0) + bytes(3))


def crossover(kind, fc):
    """Fourth-order Linkwitz-Riley magnitude and phase of a low ('lp') or high ('hp') pass, or flat."""
    mags, phases = [], []
    for f in THIRD_OCTAVE:
        if kind == "flat":
            mags.append(1.0)
            phases.append(0.0)
            continue
        s = complex(0, f / fc)
        butter = 1 / (s * s + math.sqrt(2) * s + 1)
        h = butter * butter if kind == "lp" else (s * s * butter) ** 2
        mags.append(f32(abs(h)))
        phases.append(f32(math.atan2(h.imag, h.real)))
    return mags, phases


def preset(name, info, tfs, type_index=0):
    return (sstr(name, 22) + sstr(info, 200) + struct.pack("<i", len(tfs)) + b"".join(tfs) +
            struct.pack("<i", type_index) + bytes(124))


def cabinet(path, m):
    """m: a dict describing the model (see the models below)."""
    res = m["resolution"]
    s = bytearray(1328)
    struct.pack_into("<B", s, 0, m["type"])
    struct.pack_into("<d", s, 8, m["weight"])
    struct.pack_into("<f", s, 20, 135.0)
    w, h, d = m["size"]
    struct.pack_into("<9d", s, 24, 0, 0, 0, 0, -0.02, 0.05, 0, 0, d / 2)
    struct.pack_into("<3d", s, 96, 0, 0, 0)
    struct.pack_into("<3d", s, 120, w, h, d)
    sources = m["sources"]
    presets = m["presets"]
    struct.pack_into("<9i", s, 144, len(sources), len(m["sets"]), res, 180 // res, 360 // res, 360 // res,
                     180 // res, len(presets), 1)
    struct.pack_into("<BBBB", s, 180, 1, 0, 0, BAND_THIRD_OCTAVE)
    struct.pack_into("<i", s, 184, len(THIRD_OCTAVE))
    struct.pack_into("<B", s, 188, SR_48K)
    struct.pack_into("<2d", s, 192, float(res), float(res))
    struct.pack_into("<BBB", s, 208, 1 if m.get("passive") else 0, 1, 0)
    struct.pack_into("<B", s, 232, 1)
    model3d = m["mesh"]
    picture = m.get("picture", b"")
    struct.pack_into("<5i", s, 256, len(model3d), len(picture), 0, 0, 4)
    struct.pack_into("<d", s, 280, 5.0)
    struct.pack_into("<18d", s, 288, *m["rot_points"])
    struct.pack_into("<BBB", s, 432, 1, 1, 0)
    angles = m.get("angles", {})
    order = ["flown", "first_flown", "stack", "first_stack", "bot_flange", "hcluster", "first_hcluster"]
    top_asm, bot_asm = m.get("top_assemblies", []), m.get("bot_assemblies", [])
    struct.pack_into("<9i", s, 436, len(top_asm), len(bot_asm), *(len(angles.get(k, [])) for k in order))
    struct.pack_into("<BB", s, 472, 1 if m.get("fly") else 0, 1 if m.get("stack") else 0)
    top_ad, bot_ad = m.get("top_adapters", []), m.get("bot_adapters", [])
    top_rf, bot_rf = m.get("top_frames", []), m.get("bot_frames", [])
    # The adapter counts of the block are stale on purpose: the list section's own counts win.
    struct.pack_into("<6i", s, 476, 7, 7, m.get("max_flown", 0), m.get("max_stacked", 0), len(top_rf), len(bot_rf))
    struct.pack_into("<BBB", s, 500, 0, 1, 0)
    struct.pack_into("<i", s, 504, 0)
    s[508:534] = sstr(m["coverage"], 25)
    s[534:560] = sstr("", 25)
    s[647:848] = sstr("https://example.invalid/" + m["name"] + ".pdf", 200)
    struct.pack_into("<3i", s, 1072, m["coverage_hv"][0], m["coverage_hv"][1], 0)
    struct.pack_into("<BBBBB", s, 1084, 0, 0, 0, 0, 1)  # rotation, normalised, embedded, multi, real phase
    struct.pack_into("<BBBB", s, 1089, 1, 0, 1, 1)      # origin points, meas set reference, ref SPL, latency
    struct.pack_into("<i", s, 1096, 64)
    struct.pack_into("<BB", s, 1100, 1 if m.get("beam") else 0, 1)
    struct.pack_into("<i", s, 1104, m.get("fir_taps", 0))
    struct.pack_into("<BB", s, 1108, 0, 0)

    out = header(m["name"], m["serie"], m.get("variant", ""), m["preset_name"], 5, update=m.get("update", 1))
    out += bytes(s)
    out += struct.pack("<3d", 0.0, 0.0, 0.0) + sstr("Centre", 25) + bytes(64)
    for i, src in enumerate(sources):
        x, y, z = src["pos"]
        out += struct.pack("<7d", src["inch"], 0.0, src.get("rot_y", 0.0), 0.0, x, y, z)
        out += struct.pack("<i", src["set"]) + sstr("Source %d" % (i + 1), 25) + bytes(64)
        expect("%s.source%d.pos" % (m["name"], i), "%.17g %.17g %.17g" % (x, y, z))
        expect("%s.source%d.set" % (m["name"], i), src["set"])
    for i, (name, piston, peqs) in enumerate(m["sets"]):
        out += polar_set(name, i, piston, res, peqs, fft_start=0 if i == 0 else 40)
        for slice_deg, az_deg, fi in m["probes"]:
            assert slice_deg % res == 0 and az_deg % res == 0, "probe off the grid"
            theta, phi = grid_direction(slice_deg, az_deg)
            mag, phase = piston.response(THIRD_OCTAVE[fi], theta, phi)
            key = "%s.set%d.slice%d.az%d.f%d" % (m["name"], i, slice_deg // res, az_deg // res, fi)
            expect(key + ".mag", mag)
            expect(key + ".phase", phase)
    out += model3d
    out += bytes([1 if picture else 0]) + picture
    out += bytes([0]) + bytes([0])
    for key in ["bot_flange", "first_flown", "flown", "first_stack", "stack", "first_hcluster", "hcluster"]:
        values = angles.get(key, [])
        out += struct.pack("<%dd" % len(values), *values)
    for names in (top_asm, bot_asm, top_rf, bot_rf):
        out += b"".join(sstr(n, 25) for n in names)
    out += struct.pack("<ii", len(top_ad), len(bot_ad))
    out += b"".join(sstr(n, 25) for n in top_ad + bot_ad)
    for p in presets:
        out += p
    variants = m.get("variants")
    if variants:
        out += struct.pack("<i", 26 * (len(top_asm) + len(bot_asm)) + len(top_ad) + len(bot_ad))
        out += b"".join(sstr(n, 25) for n in variants[0] + variants[1])
        out += bytes(variants[2]) + bytes(variants[3])
    else:
        out += struct.pack("<i", 0)
    parents = m.get("parents")
    if parents:
        out += struct.pack("<i", len(top_asm) + len(bot_asm)) + bytes(parents[0]) + bytes(parents[1])
    else:
        out += struct.pack("<i", 0)
    for chunk in m.get("extensions", []):
        out += struct.pack("<i", len(chunk)) + chunk
    out += struct.pack("<i", 0)
    with open(path, "wb") as f:
        f.write(out)


# ---------------------------------------------------------------- the models

def models():
    # Grid points to check: (slice degrees, azimuth degrees, frequency index), on each model's grid.
    probes = [(0, 0, 17), (0, 30, 23), (90, 30, 27), (0, 195, 11)]
    lf12 = Piston("circle", 124.0, 55.0, 2500.0, a=0.13)
    horn = Piston("rect", 127.0, 900.0, 18000.0, w=0.06, h=0.11)
    lp, lp_ph = crossover("lp", 1600)
    hp, hp_ph = crossover("hp", 1600)
    sp12 = dict(
        name="SP12", serie="Point Source", preset_name="SP12 Standard", type=0, weight=24.5,
        size=(0.38, 0.62, 0.36), resolution=15, coverage="90x50", coverage_hv=(90, 50), passive=False,
        sources=[dict(inch=12.0, set=0, pos=(0.0, -0.12, 0.02)), dict(inch=1.4, set=1, pos=(0.0, 0.18, 0.0))],
        sets=[("LF 12in", lf12, ()), ("HF horn", horn, [(1, 2, 8000, 14, -30)])],
        presets=[preset("Standard", "Crossover at 1600 Hz", [transfer_function("LF lp", lp, lp_ph),
                                                            transfer_function("HF hp", hp, hp_ph, delay=12)]),
                 preset("Flat", "No processing", [transfer_function("LF", *crossover("flat", 0)),
                                                  transfer_function("HF", *crossover("flat", 0))], 1)],
        rot_points=[0, 0.31, -0.18, 0, -0.31, -0.18, 0, 0.31, 0.18, 0, -0.31, 0.18, 0, 0.31, 0, 0, -0.31, 0],
        mesh=mesh_stream(box(0.38, 0.62, 0.36), box(0.34, 0.58, 0.001, 0, 0, -0.181)),
        picture=png(16, 16, checker), probes=probes, extensions=[bytes(range(12))])

    lf10 = Piston("circle", 126.0, 60.0, 1800.0, a=0.11)
    wave = Piston("rect", 130.0, 800.0, 18000.0, w=0.03, h=0.24)
    la10 = dict(
        name="LA10", serie="Line Array", variant="90", preset_name="LA10 Array", type=1, weight=32.0,
        size=(0.72, 0.27, 0.45), resolution=10, coverage="90x10", coverage_hv=(90, 10),
        sources=[dict(inch=10.0, set=0, pos=(-0.2, 0.0, 0.05)), dict(inch=10.0, set=0, pos=(0.2, 0.0, 0.05)),
                 dict(inch=3.0, set=1, pos=(0.0, 0.0, 0.0))],
        sets=[("LF 10in", lf10, ()), ("HF waveguide", wave, ())],
        presets=[preset("Array", "Long throw", [transfer_function("LF", *crossover("lp", 1200)),
                                                transfer_function("LF", *crossover("lp", 1200)),
                                                transfer_function("HF", *crossover("hp", 1200))])],
        # Hinges at the front (+X) and the back, where the program joins cabinets; flanges in the middle.
        rot_points=[0.225, 0.135, 0, 0.225, -0.135, 0, -0.225, 0.135, 0, -0.225, -0.135, 0, 0, 0.135, 0, 0,
                    -0.135, 0],
        angles=dict(flown=[0, 1, 2, 3, 4, 5, 6, 7.5, 10], first_flown=[0, 1, 2],
                    stack=[0, 2, 4, 6], first_stack=[0]),
        fly=True, stack=True, max_flown=16, max_stacked=6,
        top_frames=["LA10-Frame"], top_assemblies=["LA10"], bot_assemblies=["LA10", "SB18"],
        top_adapters=["Pin Adapter"], bot_adapters=[],
        variants=(["90"], ["90", ""], [3], []), parents=([12], [8, 4]),
        mesh=mesh_stream(box(0.72, 0.27, 0.45)), probes=[(0, 0, 17), (90, 10, 27), (90, 0, 27), (0, 20, 23)])

    sub = Piston("circle", 131.0, 32.0, 120.0, a=0.23)
    sb18 = dict(
        name="SB18", serie="Subwoofer", preset_name="SB18 Cardioid", type=4, weight=61.0,
        size=(0.6, 0.55, 0.75), resolution=30, coverage="Omni", coverage_hv=(360, 360),
        sources=[dict(inch=18.0, set=0, pos=(0.0, 0.0, 0.0))],
        sets=[("LF 18in", sub, ())],
        presets=[preset("Sub", "Low pass 100 Hz", [transfer_function("Sub", *crossover("lp", 100))])],
        rot_points=[0] * 18, stack=True, max_stacked=3,
        mesh=mesh_stream(box(0.6, 0.55, 0.75)), probes=[(0, 0, 5), (30, 180, 5), (0, 90, 12)])

    driver = Piston("circle", 112.0, 120.0, 16000.0, a=0.04)
    cl8_sources = [dict(inch=3.0, set=0, pos=(0.0, 0.35 - 0.1 * i, 0.0)) for i in range(8)]
    cl8 = dict(
        name="CL8", serie="Column", preset_name="CL8 Beam", type=3, weight=18.0,
        size=(0.12, 0.82, 0.14), resolution=15, coverage="150x30", coverage_hv=(150, 30), beam=True,
        fir_taps=256, sources=cl8_sources, sets=[("Driver 3in", driver, ())],
        presets=[preset("Beam", "Per-source flat", [transfer_function("S", *crossover("flat", 0))
                                                     for _ in range(8)])],
        rot_points=[0] * 18, mesh=mesh_stream(box(0.12, 0.82, 0.14)),
        probes=[(0, 0, 20), (90, 45, 20), (45, 330, 26)])
    return [sp12, la10, sb18, cl8] + wide_array(lf10, wave)


def wide_array(lf10, wave):
    """The second line-array series: a 60 kg model flown from a 50 kg frame rated 500 kg, joined below
    by a 65 kg model through a spacer or by an 80 kg one without frames of its own; the 65 kg model lists
    three joins whose second model is not in the library, the third through an adapter frame when more
    than six cabinets hang from it. Hinges sit at the front (+X) and back (-X), as the program joins
    cabinets."""
    def hinges(x, half_height):
        # Front top, front bottom, back top, back bottom, top flange, bottom flange.
        return [x, half_height, 0, x, -half_height, 0, -x, half_height, 0, -x, -half_height, 0,
                0, half_height, 0, 0, -half_height, 0]

    def array_model(name, weight, size, **rules):
        w, h, d = size
        m = dict(
            name=name, serie="Wide Array", preset_name=name + " Array", type=1, weight=weight, size=size,
            resolution=10, coverage="100x10", coverage_hv=(100, 10),
            sources=[dict(inch=10.0, set=0, pos=(0.0, 0.0, -0.15)), dict(inch=10.0, set=0, pos=(0.0, 0.0, 0.15)),
                     dict(inch=3.0, set=1, pos=(0.0, 0.0, 0.0))],
            sets=[("LF 10in", lf10, ()), ("HF waveguide", wave, ())],
            presets=[preset("Array", "Long throw", [transfer_function("LF", *crossover("lp", 1200)),
                                                    transfer_function("LF", *crossover("lp", 1200)),
                                                    transfer_function("HF", *crossover("hp", 1200))])],
            rot_points=hinges(d / 2, h / 2), fly=True, mesh=mesh_stream(box(w, h, d)), probes=[])
        m.update(rules)
        return m

    angles = dict(flown=[0, 1, 2, 3, 4, 5, 6, 8, 10], first_flown=[0, 1, 2, 3], stack=[0, 2, 4], first_stack=[0],
                  bot_flange=[0, 2, 4])
    wa8 = array_model(
        "WA8", 60.0, (0.6, 0.3, 0.6), angles=angles, stack=True, max_flown=8, max_stacked=4,
        top_frames=["WA-Frame"], bot_frames=["WA-Stack"],
        bot_assemblies=["WA8S", "WB12"], bot_adapters=["", ""], top_assemblies=["WA8S"], top_adapters=[""],
        variants=([""], ["", ""], [0], [0, 0]), parents=([4], [12, 12]))
    wa8s = array_model(
        "WA8S", 65.0, (0.6, 0.32, 0.6), angles=angles, stack=True, max_flown=6, max_stacked=2,
        top_frames=["WA-TopHat"], bot_assemblies=["WB12", "WA9", "WA6"],
        bot_adapters=["", "WA-Adapter", "WA-Adapter"], variants=([], ["", "", ""], [], [0, 2, 6]),
        parents=([], [16, 5, 9]))
    wb12 = array_model("WB12", 80.0, (0.6, 0.45, 0.7), type=2, angles=dict(flown=[0, 2], first_flown=[0]),
                       max_flown=8)
    wa6 = array_model("WA6", 20.0, (0.4, 0.18, 0.4), angles=angles, max_flown=12)
    return [wa8, wa8s, wb12, wa6]


def rigging(path, name, serie, weight, max_load, size, picks, anchors, pick_type=0, top_hat=(0, 0),
            preset_name=None, expected=False):
    """A rigging frame: anchors (front top, front bottom, back top, back bottom, each x y z), pick points
    in model coordinates (Y up), pick-point type 0 fixed points or 1 with adapter, top_hat (up, down)."""
    s = bytearray(264)
    struct.pack_into("<B", s, 0, 0)
    struct.pack_into("<2d", s, 8, weight, max_load)
    struct.pack_into("<6d", s, 24, 0.0, 0.04, 0.0, *size)
    struct.pack_into("<i", s, 72, len(picks))
    struct.pack_into("<B", s, 76, pick_type)
    struct.pack_into("<3f", s, 80, 0.0, 0.05, 0.0)
    struct.pack_into("<12d", s, 96, *anchors)
    mesh = mesh_stream(box(*size))
    struct.pack_into("<i", s, 192, len(mesh))
    struct.pack_into("<BB", s, 196, *top_hat)
    out = header(name, serie, "", preset_name or name, 3) + bytes(s) + mesh
    for p in picks:
        out += struct.pack("<3d", *p)
    with open(path, "wb") as f:
        f.write(out + bytes(64))
    if expected:
        for i, p in enumerate(picks):
            expect("%s.pick%d" % (name, i), "%.17g %.17g %.17g" % p)
        expect("%s.weight" % name, weight)
        expect("%s.maxload" % name, max_load)


def frames():
    """The rigging frames: the first series' flying frame, then the second series' flying, adapter,
    stacking and top-hat frames. Each takes its cabinets by hinges at its front (+X) and back (-X)."""
    la10 = dict(name="LA10-Frame", serie="Line Array", weight=28.0, max_load=1250.0, size=(0.8, 0.1, 0.5),
                picks=[(-0.3, 0.05, 0.0), (-0.1, 0.05, 0.0), (0.1, 0.05, 0.0), (0.3, 0.05, 0.0)],
                anchors=[0.22, -0.05, 0, 0.22, -0.05, 0, -0.22, -0.05, 0, -0.22, -0.05, 0], preset_name="LA10 Frame",
                expected=True)

    def hinges(x, half_height):
        return [x, half_height, 0, x, -half_height, 0, -x, half_height, 0, -x, -half_height, 0]
    row = [(-0.25 + 0.1 * i, 0.05, 0.0) for i in range(6)]
    wa_frame = dict(name="WA-Frame", serie="Wide Array", weight=50.0, max_load=500.0, size=(0.7, 0.1, 0.6),
                    picks=row, anchors=hinges(0.3, 0.05))
    wa_adapter = dict(name="WA-Adapter", serie="Wide Array", weight=12.0, max_load=400.0,
                      size=(0.7, 0.06, 0.6), picks=[(-0.2, 0.03, 0.0), (0.2, 0.03, 0.0)],
                      anchors=hinges(0.3, 0.03), pick_type=1)
    wa_stack = dict(name="WA-Stack", serie="Wide Array", weight=30.0, max_load=400.0, size=(0.9, 0.08, 0.8),
                    picks=[], anchors=hinges(0.3, 0.04))
    wa_top_hat = dict(name="WA-TopHat", serie="Wide Array", weight=20.0, max_load=300.0,
                      size=(0.5, 0.1, 0.5), picks=[(0.0, 0.05, 0.0)], anchors=hinges(0.0, 0.05),
                      top_hat=(0, 1))
    return [la10, wa_frame, wa_adapter, wa_stack, wa_top_hat]


def ornament(path, texture):
    s = bytearray(304)
    struct.pack_into("<3d", s, 8, 0.0, 0.25, 0.0)
    struct.pack_into("<4f", s, 32, 0.5, 0.5, 0.5, 9.5)
    struct.pack_into("<i", s, 144, len(texture))
    mesh = mesh_stream(box(1.0, 1.0, 1.0))
    struct.pack_into("<i", s, 148, len(mesh))
    struct.pack_into("<3d", s, 152, 0.0, -0.25, 0.0)
    struct.pack_into("<B", s, 176, 1)
    out = header("Truss Block", "Stage", "", "Truss Block", 3) + bytes(s) + b"\x01" + texture + mesh + bytes(64)
    with open(path, "wb") as f:
        f.write(out)
    expect("Truss Block.weight", 9.5)


def main():
    if os.path.isdir(OUT):
        shutil.rmtree(OUT)
    for folder in ("Cabinets", "Riggings", "Ornaments", "Textures"):
        os.makedirs(os.path.join(OUT, folder))
    expect("freqs", " ".join(str(f) for f in THIRD_OCTAVE))
    for m in models():
        cabinet(os.path.join(OUT, "Cabinets", m["name"] + ".cabinet"), m)
    for fr in frames():
        rigging(os.path.join(OUT, "Riggings", fr["name"] + ".rigging"), **fr)
    texture = png(16, 16, checker)
    ornament(os.path.join(OUT, "Ornaments", "Truss Block.ornament"), texture)
    with open(os.path.join(OUT, "Textures", "Checker.png"), "wb") as f:
        f.write(texture)
    with open(os.path.join(HERE, "expected.txt"), "w") as f:
        f.write("\n".join(expected) + "\n")


if __name__ == "__main__":
    main()
