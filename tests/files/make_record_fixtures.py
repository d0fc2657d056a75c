#!/usr/bin/python3
"""Writes the record-file fixtures of tests/files/fixtures with Python's struct module, straight from
the layout tables of the file formats, independently of the C++ writers. The values are those of
tests/files/record_samples.h. Run it as /usr/bin/python3 tests/files/make_record_fixtures.py; the
tests read the committed files and never need Python."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "fixtures")
SOFTWARE = "Vendrel Test"


def i32(v):
    return struct.pack("<i", v)


def u32(v):
    return struct.pack("<I", v)


def u8(v):
    return struct.pack("<B", v)


def f32(v):
    return struct.pack("<f", v)


def f64(v):
    return struct.pack("<d", v)


def pt(x, y, z):
    return struct.pack("<fff", x, y, z)


def pad(n):
    return b"\0" * n


def sstr(text, cap):
    b = text.encode("cp1252")[:cap]
    return u8(len(b)) + b + pad(cap - len(b))


def blank_padded(text, n):
    b = text.encode("cp1252")[:n]
    return u8(n) + b + b" " * (n - len(b))


def check(blob, size):
    assert len(blob) == size, (len(blob), size)
    return blob


# ---- headers ----

def prj_header(soft, major, ver, allow=0):
    b = sstr(soft, 25) + pad(2) + i32(major) + i32(0) + bytes(ver)
    return check(b + u8(allow) + pad(127), 168)


def prj_header_v1(soft, major, ver):
    return check(sstr(soft, 25) + pad(2) + i32(major) + i32(0) + bytes(ver), 40)


def sys_header(soft, ver, name, desc, update):
    b = sstr(soft, 25) + pad(2) + i32(1) + i32(0) + bytes(ver)
    b += sstr(name, 22) + sstr(desc, 100) + u8(update) + pad(127)
    return check(b, 292)


# ---- scene elements ----

def cabinet(model, variant, pos, rot, active, sel, lock, placement, coverage, preset, ext, layer, material, brand):
    b = sstr(model, 40) + sstr(variant, 40) + pt(*pos) + pt(*rot)
    b += u8(active) + u8(sel) + u8(lock) + u8(placement)
    b += i32(coverage) + i32(preset) + i32(ext) + i32(layer)
    b += sstr(material, 40) + sstr(brand, 22) + pad(41)
    return check(b, 231)


def item(cls, model, variant, rot, active, preset, ext, direction, coverage, material, brand, short=False):
    b = sstr(cls, 30) + sstr(model, 40) + sstr(variant, 40) + pt(*rot) + u8(active) + i32(preset) + i32(ext)
    if not short:
        b += u8(direction) + i32(coverage)
    b += sstr(material, 40) + sstr(brand, 22) + pad(41)
    return check(b, 239 if short else 244)


def sample_cabinet(model="Line 12 – Top"):
    return cabinet(model, "90x10", (1.5, -2.25, 3), (0, 45, -10), 1, 0, 1, 1, 2, 7, 1, 1, "Felt", "Brand Ü")


def sample_cab_array():
    items = [
        item("TRiggingFrame", "Frame A", "", (0, 0, 0), 1, -1, -1, 0, -1, "", ""),
        item("TCabinet", "Line 12", "90x10", (0, 0, -3), 1, 2, 0, 1, 1, "Wood", "Brand"),
    ]
    b = sstr("Main L", 40) + pt(0, -8, 4) + pt(0, -15, 0) + f64(-2.5)
    b += u8(1) + u8(1) + u8(0) + u8(0) + f64(1.25) + u8(1) + i32(2) + u8(1) + pt(0.5, -9, 4)
    assert len(b) == 103
    b += i32(len(items)) + b"".join(items) + i32(2) + pad(64)
    return check(b, 175 + 244 * len(items))


def cluster(model, variant, name, pos, rot, mounting, distribution, orientation, active, sel, lock, is_sub,
            sub_type, items, angular, linear, qh, qv, layer, inv, brand):
    b = sstr(model, 40) + sstr(variant, 40) + sstr(name, 40) + pt(*pos) + pt(*rot)
    b += bytes([mounting, distribution, orientation, active, sel, lock, is_sub, sub_type])
    assert len(b) == 155
    b += i32(len(items)) + b"".join(items)
    b += f32(angular[0]) + f32(angular[1]) + f32(angular[2]) + f32(linear[0]) + f32(linear[1])
    b += i32(qh) + i32(qv) + i32(layer) + u8(inv) + sstr(brand, 22) + pad(40)
    return check(b, 255 + 244 * len(items))


def sample_cluster():
    items = [item("TCabinet", "", "", (0, 0, 0), 1, 0, 1, 1, 0, "", "")]
    return cluster("Sub 18", "Cardioid", "Subs", (2, 0.5, -1), (0, 90, 0), 4, 3, 1, 1, 1, 0, 1, 4, items,
                   (5, 2.5, 3.75), (0.6, 0.7), 3, 1, 1, 1, "Brand")


def single_beam(name, angle, lobes, active, curvature):
    b = sstr(name, 40) + f32(angle) + u8(lobes) + u8(active)
    b += f32(curvature) + pad(60)  # the curvature angle in the first four reserved bytes
    return check(b, 111)


def sample_beam():
    items = [item("TCabinet", "", "", (0, 0, 0), 1, 0, 0, 0, 0, "", ""),
             item("TCabinet", "", "", (0, 0, 0), 0, 0, 0, 0, 0, "", "")]
    main = cluster("Column", "", "Beam 1", (0, -3, 6), (0, 180, 0), 0, 1, 0, 1, 0, 1, 0, 0, items,
                   (0, 0, 0), (0, 0.25), 1, 2, 0, 0, "")
    beams = [single_beam("Upper", 12.5, 1, 1, 7.5), single_beam("Lower", -4, 0, 1, -3.0)]
    b = main + i32(len(beams)) + b"".join(beams) + pad(64)
    return check(b, 323 + 244 * 2 + 111 * 2)


# Fields of a zone shared by the current and the older layout, from ZoneName to ImageFileName; the
# older one lacks IsLocked.
def zone_common(z, with_locked):
    b = sstr(z["name"], 40) + pt(*z["pos"]) + pt(*z["rot"]) + f64(z["w"]) + f64(z["d"]) + f64(z["h"])
    b += u8(z["active"]) + u8(z["sel"])
    if with_locked:
        b += u8(z["lock"])
    b += u8(z["type"]) + u8(z["sides"])
    for flag, rx, ry, shape in z["corners"]:
        b += u8(flag) + f64(rx) + f64(ry) + i32(shape)
    b += f64(z["listen"]) + f64(z["tw1"]) + f64(z["tw2"]) + f64(z["th"])
    b += u8(z["tex_type"]) + f64(z["opacity"]) + f64(z["tex_rot"]) + u32(z["tex_color"])
    b += u8(z["transp"]) + u32(z["transp_color"]) + i32(z["tolerance"])
    b += sstr(z["lib"], 40) + sstr(z["file"], 40)
    return b


def zone(z):
    b = zone_common(z, True)
    assert len(b) == 322
    b += i32(z["layer"]) + sstr(z["material"], 40) + i32(len(z["points"]))
    for p in z["points"]:
        b += pt(*p)
    b += bytes(z["sides_tex"]) + b"".join(f32(v) for v in z["ref"]) + pad(233)
    return check(b, 627 + 12 * len(z["points"]))


def zone_v1(z):
    return check(zone_common(z, False), 321)


SAMPLE_ZONE = dict(
    name="Stalls", pos=(-10, 0, 5), rot=(0, 0, 2.5), w=20, d=15.5, h=0.1, active=1, sel=0, lock=1, type=2,
    sides=2, corners=[(1, 2, 1.5, 2), (0, 0.5, 0.25, 1), (1, 3, 3, 3), (0, 1, 1, 0)], listen=1.2, tw1=10,
    tw2=12, th=8, tex_type=0, opacity=0.75, tex_rot=90, tex_color=0xFF336699, transp=1,
    transp_color=0xFFFFFFFF, tolerance=12, lib="Carpet", file="floor.png", layer=3, material="Audience",
    points=[(0, 0, 0), (20, 0, 0), (10, 15, 0)], sides_tex=[1, 0, 1], ref=(1, 2, 3, 4, 5))

RECT_ZONE = dict(SAMPLE_ZONE, type=0, points=[])

BALCONY_ZONE = dict(
    name="Balcony", pos=(0, -6, 20), rot=(-10, 0, 0), w=18, d=5, h=0.2, active=1, sel=1, lock=0, type=1,
    sides=1, corners=[(0, 0, 0, 0)] * 4, listen=1.1, tw1=16, tw2=18, th=5, tex_type=2, opacity=1,
    tex_rot=0, tex_color=0xFF202020, transp=0, transp_color=0, tolerance=0, lib="", file="", layer=0,
    material="", points=[], sides_tex=[0, 0, 0], ref=(0, 0, 0, 0, 0))


def light():
    b = sstr("Key", 20) + u8(2) + u32(0xFFFFEEDD) + f64(30) + f64(2) + u8(1) + pt(1, 2, 3) + pt(4, 5, 6) + pad(32)
    return check(b, 99)


def measure():
    b = i32(3) + sstr("FOH", 40) + u8(1) + pt(0, -1.2, 25) + u32(0xFF00FF00) + f32(12.5) + u8(4) + pad(63)
    return check(b, 130)


def sub_arrangement():
    items = [item("TCabinet", "Sub 18", "", (0, 180, 0), 1, 3, 2, None, None, "", "Brand", short=True)]
    b = sstr("Cardioid pair", 40) + pt(3, 0, 2) + pt(0, 0, 0) + bytes([2, 1, 0, 0])
    b += i32(len(items)) + b"".join(items) + i32(0) + pad(64)
    return check(b, 141 + 239 * len(items))


def layer(name, num, color, lock, visible, active):
    return check(sstr(name, 22) + i32(num) + u32(color) + bytes([lock, visible, active]) + pad(32), 66)


SAMPLE_LAYERS = [layer("Layer 0 (Global)", 0, 0xFF808080, 0, 1, 1), layer("Rigging", 1, 0xFFFF0000, 1, 0, 0)]


def ornament():
    b = sstr("Stage", 40) + sstr("Stage Deck", 40) + pt(0, 0, -2) + pt(0, 0, 0) + f32(12) + f32(1.2) + f32(8)
    b += bytes([0, 1, 0, 1]) + i32(1) + sstr("Wood", 40) + pad(64)
    return check(b, 231)


def overlay(ident, name, visible, sel, color, mag, phase):
    b = i32(ident) + sstr(name, 40) + u8(visible) + u8(sel) + u32(color) + i32(len(mag))
    b += b"".join(f64(v) for v in mag + [0.0] * (1001 - len(mag)))
    b += b"".join(f64(v) for v in phase + [0.0] * (1001 - len(phase)))
    return check(b + pad(64), 16135)


def sample_overlay():
    return overlay(1, "Measured FOH", 1, 0, 0xFF0000FF, [90, 91.5, 93], [-10, 0, 45])


# ---- processor records ----

def gain(pol, mute, g):
    return check(i32(pol) + i32(mute) + f64(g), 16)


def xover(active, ftype, fc, order, hplp):
    return check(u8(active) + u8(ftype) + pad(2) + i32(fc) + i32(order) + u8(hplp) + pad(3), 16)


def peq(active, ftype, freq, gdb, q):
    return check(u8(active) + u8(ftype) + pad(2) + i32(freq) + f64(gdb) + f64(q), 24)


def peqs(bands):
    return i32(len(bands)) + b"".join(bands)


def geq(active, gtype, bands, gains):
    assert len(gains) == {0: 31, 1: 20, 2: 15, 3: 10}[bands]
    return u8(active) + u8(gtype) + u8(bands) + b"".join(f64(g) for g in gains)


def air(active, hr, temp, dist):
    return check(u8(active) + pad(7) + f64(hr) + f64(temp) + f64(dist), 32)


def ph_point(active, ptype, freq, deg, q, activado):
    return check(u8(active) + u8(ptype) + pad(2) + i32(freq) + f64(deg) + f64(q) + u8(activado) + pad(7), 32)


def fir(active, ftype, fc1, fc2, hplp, auto, taps, all_taps, mg, hp, lp, ph):
    b = u8(active) + u8(ftype) + i32(fc1) + i32(fc2) + i32(hplp) + u8(auto) + i32(len(taps)) + u8(all_taps)
    b += i32(len(mg)) + i32(len(ph))
    assert len(b) == 28
    return b + b"".join(mg) + hp + lp + b"".join(ph) + b"".join(f64(t) for t in taps)


def dyn_rms(active, dtype, post, auto, gate, gate_on, watts, volts, attack, hold, release, thr, knee, ratio, ttype):
    b = u8(active) + u8(dtype) + pad(2) + i32(post) + u8(auto) + pad(3) + i32(gate) + u8(gate_on) + pad(3)
    b += i32(watts) + f64(volts) + f64(attack) + f64(hold) + f64(release) + f64(thr) + i32(knee) + i32(ratio)
    return check(b + u8(ttype) + pad(7), 80)


def dyn_peak(active, auto, watts, volts, hold, release, thr, knee, ttype):
    b = u8(active) + u8(auto) + pad(2) + i32(watts) + f64(volts) + f64(hold) + f64(release) + f64(thr)
    return check(b + i32(knee) + u8(ttype) + pad(3), 48)


def multi_dyn(xovers, dyns):
    return i32(len(xovers)) + b"".join(xovers) + b"".join(dyns)


def spk(power, amp, balanced, namp, lin, db, imp_id, imp, bridge):
    b = i32(power) + i32(amp) + u8(balanced) + pad(3) + i32(namp) + f64(lin) + f64(db) + u8(imp_id) + pad(7)
    return check(b + f64(imp) + u8(bridge) + pad(7), 56)


def measure_system(brand, ref, freqs, mg, ph, phu):
    b = u8(brand) + i32(len(freqs)) + f64(ref) + b"".join(i32(f) for f in freqs)
    for values in (mg, ph, phu):
        b += b"".join(f64(v) for v in values)
    return b


def dsp_header(hard, major, minor, brand, model, project, engineer, comments, ver, nuses, npresets, nout,
               default, rate, preset_ver):
    b = sstr(hard, 23) + i32(major) + i32(minor) + sstr(brand, 22) + sstr(model, 22) + sstr(project, 22)
    b += sstr(engineer, 22) + sstr(comments, 200)
    assert len(b) == 325
    b += bytes(ver) + pad(3) + i32(nuses) + i32(npresets) + i32(nout) + i32(default) + i32(rate)
    return check(b + bytes(preset_ver) + pad(8), 364)


def dsp_trailer(ref_channel, psw_act, psw, allow_in, allow_out):
    return check(i32(ref_channel) + u8(psw_act) + psw + i32(allow_in) + i32(allow_out) + pad(128), 147)


def flagged(entries):
    return u8(0) if entries is None else u8(1) + b"".join(entries)


def dsp_blob(header, lists, trailer):
    """lists: the 22 optional lists in stored order, None where the flag is clear."""
    assert len(lists) == 22
    return header + u8(0) + b"".join(flagged(e) for e in lists) + trailer


def process_blob():
    """A user DSP process as the program stores it: one output with gain, delay and a PEQ bank."""
    header = dsp_header("", 0, 0, "", SOFTWARE, "EQ Mains", "", "", [0, 0, 0, 0], 0, 0, 1, 0, 1, [0, 0, 0, 0])
    lists = [None] * 22
    lists[10] = [gain(1, 0, -3.5)]
    lists[11] = [i32(48)]
    lists[13] = [peqs([peq(1, 1, 100, -2.5, 1.4), peq(0, 5, 8000, 3, 0.7)])]
    return check(dsp_blob(header, lists, dsp_trailer(0, 0, pad(6), 0, 0)), 534 + 16 + 4 + 4 + 48)


def rich_blob():
    """A blob with every list present: one input, one output."""
    header = dsp_header("", 2, 1, "Brand", SOFTWARE, "All lists", "Eng", "Every list present", [1, 2, 3, 4],
                        1, 1, 1, 0, 2, [5, 6, 7, 8])
    lists = [
        [blank_padded("In A", 6)],
        [blank_padded("Left input", 200)],
        [gain(0, 1, 2.5)],
        [i32(12)],
        [xover(1, 0, 80, 2, 1) + xover(1, 1, 18000, 4, 0)],
        [geq(1, 1, 3, [-4.5 + 0.5 * k for k in range(10)])],
        [peqs([peq(1, 2, 250, -1.5, 2)])],
        [air(1, 40, 22.5, 30)],
        [fir(1, 5, 100, 1000, 1, 1, [0.5, -0.25, 0.125], 0, [peq(1, 1, 500, 3, 1)], xover(1, 1, 50, 4, 1),
             xover(0, 0, 0, 0, 0), [ph_point(1, 1, 2000, -45, 0.7, 1)])],
        [blank_padded("Out 1", 6)],
        [gain(1, 0, -6)],
        [i32(96)],
        [geq(0, 0, 2, [0.25 * k for k in range(15)])],
        [peqs([])],
        [xover(1, 2, 100, 3, 1) + xover(1, 2, 5000, 3, 0)],
        [air(0, 50, 20, 10)],
        [fir(0, 0, 0, 0, 0, 0, [], 0, [], xover(0, 0, 0, 0, 0), xover(0, 0, 0, 0, 0), [])],
        [multi_dyn([xover(1, 1, 60, 4, 1) + xover(1, 1, 120, 4, 0)],
                   [dyn_rms(1, 1, 3, 1, -60, 1, 500, 28.28, 0.005, 0.01, 0.2, -3, 6, 4, 2)])],
        [multi_dyn([xover(0, 0, 0, 0, 0) + xover(0, 0, 0, 0, 0)],
                   [dyn_peak(1, 0, 800, 40, 0.002, 0.05, 0, 3, 1)])],
        [u8(3) + u8(1)],
        [spk(600, 1200, 1, 2, 1.5, 3.52, 4, 8.0, 1)],
        [measure_system(16, 94.0, [100, 1000], [90, 95], [0.1, -0.2], [0.1, -6.4])],
    ]
    return dsp_blob(header, lists, dsp_trailer(1, 1, b"ab12CD", 1, 0))


# ---- whole files ----

def camera(name, dummy, pos, rot, angle, rx, ry):
    return check(sstr(name, 23) + pt(*dummy) + pt(*pos) + pt(*rot) + pad(4) + f64(angle) + f32(rx) + f32(ry)
                 + pad(56), 136)


def project_static():
    b = sstr("Salle Pleyel – Bühne", 25) + sstr("48.87N 2.30E", 25) + sstr("A. Engineer", 25)
    b += sstr("Test project with one of every element", 200) + pad(1)
    assert len(b) == 280
    b += i32(40) + i32(15) + i32(30) + i32(64) + u8(4) + pad(3) + i32(1000) + i32(30)
    b += bytes([2, 0, 1, 0, 1]) + pad(3)
    assert len(b) == 316
    b += i32(500) + u8(3) + u8(1) + pad(6) + f64(110.5) + f64(30) + f64(180) + f64(-180) + u8(1) + pad(3)
    b += i32(0) + i32(3) + sstr("MapFire", 15)
    assert len(b) == 388
    b += u8(1) + u8(1) + pad(2) + f32(-6.5)
    # NCabsInProject, NCabinets, NCabArrays, NMappingZones, NMics, NCamerasUser, NLights, NDSPProcess,
    # NSubArrangements, NLayers, NOrnaments, NClusters
    b += b"".join(i32(v) for v in [6, 1, 1, 1, 1, 0, 1, 1, 1, 2, 1, 1]) + pad(4)
    assert len(b) == 448
    b += camera("Side", (0, 0, 0), (-30, 0, 0), (0, 90, 0), 45, 10, 20)
    b += camera("Top", (0, 0, 0), (0, -30, 0), (90, 0, 0), 40, 0, 0)
    b += camera("3D", (15, -20, 0), (0, -5, -40), (0, 0, 0), 35, 0, 0)
    b += camera("Front", (0, 0, 0), (0, 0, -30), (0, 0, 0), 50, 1.5, -2.5)
    b += pad(136)
    b += u8(1) + pad(3) + i32(1) + bytes([1, 1, 3, 1, 1, 2, 5, 1]) + pad(504)
    return check(b, 1648)


def project_file():
    b = prj_header(SOFTWARE, 5, [1, 4, 2, 7]) + project_static()
    b += sample_cabinet() + sample_cab_array() + sample_cluster() + sample_beam() + zone(SAMPLE_ZONE)
    b += light() + measure() + u8(1) + process_blob() + sub_arrangement() + b"".join(SAMPLE_LAYERS)
    b += ornament() + i32(16136) + sample_overlay() + i32(0)
    return b


def empty_project():
    static = sstr("", 25) * 3 + sstr("", 200) + pad(1648 - 3 * 26 - 201)
    return check(prj_header(SOFTWARE, 5, [1, 4, 2, 7]) + static + i32(0) + i32(0), 1824)


def venue_static(length, height, width, nzones, nlayers, nornaments):
    return check(i32(length) + i32(height) + i32(width) + i32(nzones) + u8(nlayers) + i32(nornaments) + pad(27),
                 48)


def venue_file():
    b = prj_header("Other Program", 4, [1, 4, 0, 0], allow=1) + venue_static(25, 12, 18, 2, 3, 1)
    b += zone(RECT_ZONE) + zone(BALCONY_ZONE) + b"".join(SAMPLE_LAYERS)
    b += layer("Delay towers", 2, 0xFF00FFFF, 0, 1, 0) + ornament() + i32(0)
    return check(b, 1903)


def venue_old(zones):
    b = prj_header_v1(SOFTWARE, 2, [1, 3, 5, 0]) + i32(25) + i32(12) + i32(18) + i32(len(zones))
    return check(b + b"".join(zone_v1(z) for z in zones), 56 + 321 * len(zones))


def system_static(ncab, ncluster, nzones, norn, image, ndsp, nbeams):
    b = i32(1) + f32(2) + f32(1) + f32(4) + pt(0, -1, 0) + pt(5, 0, 0) + pt(0, 90, 0)
    b += i32(ncab) + i32(0) + i32(ncluster) + i32(nzones) + i32(norn) + u8(1 if image else 0) + pad(3)
    b += i32(len(image)) + u8(ndsp) + u8(nbeams) + pad(126)
    return check(b, 208)


def system_two_cabinets():
    b = sys_header(SOFTWARE, [1, 4, 2, 7], "Club system", "Two tops – demo", 3)
    b += system_static(2, 0, 0, 0, b"", 0, 0) + sample_cabinet() + sample_cabinet("Line 12 – Top R")
    return check(b + u8(0) + i32(0), 967)


PICTURE = bytes([0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x2A])


def system_full():
    """A cluster, a zone, an ornament, a picture, a process with every list and a beam-steering array."""
    b = sys_header(SOFTWARE, [1, 4, 2, 7], "Full system", "Every section", 1)
    b += system_static(0, 1, 1, 1, PICTURE, 1, 1) + sample_cluster() + zone(SAMPLE_ZONE) + ornament()
    b += u8(1) + PICTURE + u8(0) + rich_blob() + sample_beam() + i32(0)
    return b


def overlay_file():
    sim = overlay(2, "Simulation", 0, 1, 0xFFFF8000, [0.25 * k for k in range(1001)],
                  [-0.5 * k for k in range(1001)])
    b = prj_header(SOFTWARE, 3, [1, 4, 2, 7]) + u8(2) + sample_overlay() + sim + i32(0)
    return check(b, 32443)


def main():
    os.makedirs(OUT, exist_ok=True)
    files = {
        "project_every_kind.V3DPrj": project_file(),
        "project_empty.V3DPrj": empty_project(),
        "venue_current.venue": venue_file(),
        "venue_old.venue": venue_old([RECT_ZONE, BALCONY_ZONE]),
        "venue_old_empty.venue": venue_old([]),
        "system_two_cabinets.system": system_two_cabinets(),
        "system_full.system": system_full(),
        "overlay_two.overlay": overlay_file(),
        "dsp_every_list.bin": rich_blob(),
    }
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
