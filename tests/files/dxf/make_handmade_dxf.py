#!/usr/bin/python3
"""Writes the small hand-made text drawings of handmade/, one per rule of the text scanner:

  lf.dxf, cr.dxf, crlf.dxf, lfcr.dxf   one drawing with each kind of line end
  bom_utf8.dxf, bom_utf16le.dxf        a byte-order mark, and non-ASCII names in that encoding
  cp1252.dxf                           non-ASCII names in Windows-1252 (no byte-order mark)
  no_eof_group.dxf                     no "0 EOF" group; blank lines after the last group
  app_groups.dxf                       102 application groups right after the handles of a layer,
                                       a LINE and a block
  binary.dxf                           the binary form, with extended data holding a binary chunk

Every drawing holds $INSUNITS 4, a layer and one LINE from (1.5, -2.25, 0) to (1000, 4, 0.5).
Run with /usr/bin/python3 from anywhere.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "handmade")


def drawing(layer, handles=False):
    reactors = [(102, "{ACAD_REACTORS"), (330, "1F"), (102, "}")]
    xdict = [(102, "{ACAD_XDICTIONARY"), (360, "2B"), (102, "}")]
    groups = [(0, "SECTION"), (2, "HEADER"), (9, "$INSUNITS"), (70, "4"), (0, "ENDSEC"),
              (0, "SECTION"), (2, "TABLES"), (0, "TABLE"), (2, "LAYER"), (70, "1"), (0, "LAYER")]
    if handles:
        groups += [(5, "10")] + xdict + [(330, "2"), (100, "AcDbSymbolTableRecord"),
                                        (100, "AcDbLayerTableRecord")]
    groups += [(2, layer), (70, "0"), (62, "3"), (0, "ENDTAB"), (0, "ENDSEC")]
    if handles:
        groups += [(0, "SECTION"), (2, "BLOCKS"), (0, "BLOCK"), (5, "20")] + reactors + xdict + [
            (330, "1F"), (100, "AcDbEntity"), (8, "0"), (100, "AcDbBlockBegin"), (2, "DOOR"), (70, "0"),
            (10, "0.0"), (20, "0.0"), (30, "0.0"), (3, "DOOR"), (1, ""),
            (0, "ENDBLK"), (5, "21"), (330, "1F"), (100, "AcDbEntity"), (8, "0"), (100, "AcDbBlockEnd"),
            (0, "ENDSEC")]
    groups += [(0, "SECTION"), (2, "ENTITIES"), (0, "LINE")]
    if handles:
        groups += [(5, "2E")] + reactors + xdict + [(330, "1F"), (100, "AcDbEntity")]
    groups += [(8, layer)]
    if handles:
        groups += [(100, "AcDbLine")]
    groups += [(10, "1.5"), (20, "-2.25"), (30, "0.0"), (11, "1e3"), (21, "4.0"), (31, "0.5"),
               (0, "ENDSEC"), (0, "EOF")]
    return groups


def binary(groups):
    """Little-endian binary form: 16-bit codes, then the value by the code's type."""
    def kind(code):
        ranges = [((10, 59), "<d"), ((110, 149), "<d"), ((210, 239), "<d"), ((1010, 1059), "<d"),
                  ((60, 79), "<h"), ((170, 179), "<h"), ((270, 289), "<h"), ((370, 389), "<h"),
                  ((1060, 1070), "<h"), ((90, 99), "<i"), ((1071, 1071), "<i"), ((290, 299), "<B"),
                  ((310, 319), "chunk"), ((1004, 1004), "chunk")]
        for (first, last), k in ranges:
            if first <= code <= last:
                return k
        return "str"

    out = b"AutoCAD Binary DXF\r\n\x1a\x00"
    for code, value in groups:
        out += struct.pack("<h", code)
        k = kind(code)
        if k == "str":
            out += value.encode("cp1252") + b"\x00"
        elif k == "chunk":
            out += bytes([len(value)]) + value
        elif k == "<d":
            out += struct.pack(k, float(value))
        else:
            out += struct.pack(k, int(value))
    return out


def text(groups, eol):
    return "".join(f"{code:>3}{eol}{value}{eol}" for code, value in groups)


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, eol in [("lf", "\n"), ("cr", "\r"), ("crlf", "\r\n"), ("lfcr", "\n\r")]:
        write(name + ".dxf", text(drawing("STAGE"), eol).encode("ascii"))
    write("bom_utf8.dxf", b"\xef\xbb\xbf" + text(drawing("Bühne €"), "\r\n").encode("utf-8"))
    write("bom_utf16le.dxf", text(drawing("Bühne €"), "\r\n").encode("utf-16"))  # little-endian, with mark
    write("cp1252.dxf", text(drawing("Bühne €"), "\r\n").encode("cp1252"))
    write("no_eof_group.dxf", (text(drawing("STAGE")[:-1], "\n") + "\n  \n").encode("ascii"))
    write("app_groups.dxf", text(drawing("STAGE", handles=True), "\n").encode("ascii"))
    groups = drawing("STAGE", handles=True)
    line_end = groups.index((31, "0.5")) + 1
    xdata = [(1001, "VENDREL"), (1004, b"\x41\x42\xff"), (1040, "2.5")]
    write("binary.dxf", binary(groups[:line_end] + xdata + groups[line_end:]))


if __name__ == "__main__":
    main()
