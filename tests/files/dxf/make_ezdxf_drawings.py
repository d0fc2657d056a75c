#!/usr/bin/python3
"""Writes DXF drawings with Debian's python3-ezdxf, an independent DXF library, and the values the
reader must find in them.

  ezdxf/*.dxf          drawings in text and binary form, several DXF versions and $INSUNITS
  ezdxf/expected.txt   per drawing: its $INSUNITS, then every LINE and POLYLINE of the ENTITIES
                       section in file order, with the coordinates as Python's repr writes them
  header_vars.txt      every header variable ezdxf knows, with the group code of its value and
                       whether it is a point

Run with /usr/bin/python3 from anywhere; the output is deterministic, so rerunning rewrites the
committed files unchanged.
"""
import os
import random

import ezdxf
from ezdxf.lldxf.hdrvars import Point2D, Point3D
from ezdxf.sections.headervars import HEADER_VAR_MAP

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "ezdxf")

# file name, DXF version, form, $INSUNITS (1 inches, 2 feet, 4 millimetres, 5 centimetres, 6 metres)
DRAWINGS = [
    ("r2000_mm.dxf", "R2000", "asc", 4),
    ("r2000_m_bin.dxf", "R2000", "bin", 6),
    ("r2010_in.dxf", "R2010", "asc", 1),
    ("r2013_ft_bin.dxf", "R2013", "bin", 2),
    ("r2018_cm.dxf", "R2018", "asc", 5),
    ("r2018_cm_bin.dxf", "R2018", "bin", 5),
]

# Extended data with a binary chunk without zero bytes: a binary reader that takes the chunk for a
# zero-terminated string reads on into the groups after it and loses the next LINE.
XDATA_CHUNK = bytes([0x41, 0x42, 0x43, 0xFF, 0x0A, 0x0D, 0x01, 0x80])


def coordinate(rng):
    return rng.choice([rng.uniform(-20000.0, 20000.0), rng.uniform(-1.0, 1.0), 1.0 / 3.0, 0.1, 1e-9, 12345.678])


def point(rng):
    return (coordinate(rng), coordinate(rng), coordinate(rng))


def make(name, version, form, insunits, seed):
    rng = random.Random(seed)
    doc = ezdxf.new(version)
    doc.header["$INSUNITS"] = insunits
    doc.layers.add("WALLS", color=3)
    doc.appids.add("VENDREL_TEST")
    msp = doc.modelspace()
    expected = [f"drawing {name} {insunits}"]

    def line(layer, **xdata):
        start, end = point(rng), point(rng)
        entity = msp.add_line(start, end, dxfattribs={"layer": layer})
        expected.append("LINE " + layer + " " + " ".join(repr(v) for v in start + end))
        return entity

    for _ in range(4):
        line("WALLS")
    # A line with extended data (text, binary chunk, real), then one to show the stream is in step.
    line("WALLS").set_xdata("VENDREL_TEST", [(1000, "note"), (1004, XDATA_CHUNK), (1040, 3.5)])
    line("0")
    # Application groups right after the handle: reactors to the group holding a line, and an
    # extension dictionary.
    grouped = line("WALLS")
    group = doc.groups.new("STAGE")
    group.extend([grouped])
    grouped.append_reactor_handle(group.dxf.handle)
    line("WALLS").new_extension_dict()

    elevation = coordinate(rng)
    poly2d = msp.add_polyline2d([(coordinate(rng), coordinate(rng)) for _ in range(5)], close=True,
                                dxfattribs={"layer": "WALLS", "elevation": (0.0, 0.0, elevation)})
    expected.append(f"POLYLINE WALLS {poly2d.dxf.flags} 0.0 0.0 {elevation!r}")
    poly3d = msp.add_polyline3d([point(rng) for _ in range(4)], dxfattribs={"layer": "WALLS"})
    expected.append(f"POLYLINE WALLS {poly3d.dxf.flags} 0.0 0.0 0.0")
    line("WALLS")

    # A block with a line, placed once: neither adds to the ENTITIES section's lines.
    block = doc.blocks.new("DOOR")
    block.add_line((0, 0), (0.9, 0))
    msp.add_blockref("DOOR", (1, 2))

    path = os.path.join(OUT, name)
    doc.saveas(path, fmt=form)
    return expected


def main():
    os.makedirs(OUT, exist_ok=True)
    lines = []
    for seed, (name, version, form, insunits) in enumerate(DRAWINGS):
        lines += make(name, version, form, insunits, seed)
    with open(os.path.join(OUT, "expected.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")

    with open(os.path.join(HERE, "header_vars.txt"), "w") as f:
        for name in sorted(HEADER_VAR_MAP):
            var = HEADER_VAR_MAP[name]
            factory = getattr(var.factory, "func", var.factory)
            is_point = factory in (Point2D, Point3D)
            f.write(f"{name} {var.code} {'point' if is_point else 'value'}\n")


if __name__ == "__main__":
    main()
