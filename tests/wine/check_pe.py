#!/usr/bin/env python3
"""Glimmerz.scr is a self-contained GUI program for its architecture: it imports
only DLLs every Windows system has, and every resource the saver loads is inside
it, in the shape the program's decoders expect.

usage: check_pe.py win32|win64 Glimmerz.scr resources/glimmerz.rc"""

import re
import struct
import sys

from pe_image import (RT_BITMAP, RT_GROUP_ICON, RT_ICON, RT_TUNE, Bitmap, PeError, PeImage,
                      string_table)

# Lower-case names of DLLs that ship with Windows itself. Anything else (the
# compiler's runtime DLLs above all) would be missing on a user's machine.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "ole32.dll",
               "oleaut32.dll", "winmm.dll", "msvcrt.dll", "shell32.dll", "comctl32.dll",
               "ddraw.dll", "version.dll"}

RLE8, RGB = 1, 0
# id: (width, height, bit count, compression, grey)
BITMAPS = {
    111: (256, 256, 8, RLE8, True),    # glyph sheet
    114: (128, 128, 8, RLE8, False),   # glow
    115: (256, 256, 8, RLE8, False),   # bulb
    116: (256, 256, 8, RLE8, True),    # bulb alpha
    117: (128, 128, 24, RGB, False),   # rock
    118: (128, 128, 24, RGB, True),    # rock blob alpha
    119: (256, 256, 8, RLE8, False),   # warning sign
    120: (256, 256, 8, RLE8, True),    # warning sign alpha
}
TUNE, INSTRUMENTS, ICON_GROUP = 112, 113, 100

failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message)
    if not condition:
        failures.append(message)
    return condition


def rc_strings(rc_path):
    """The STRINGTABLE of the resource script as {id: text}."""
    with open(rc_path, encoding="latin-1") as f:
        text = f.read()
    strings = {}
    for block in re.findall(r"^\s*STRINGTABLE\b.*?^\s*BEGIN\b(.*?)^\s*END\b", text, re.M | re.S):
        for ident, value in re.findall(r'^\s*(\d+)\s*,?\s*"((?:[^"]|"")*)"', block, re.M):
            strings[int(ident)] = value.replace('""', '"')
    return strings


# architecture: (machine, optional header magic, what they are called)
ARCHES = {"win32": (0x14C, 0x10B, "i386, PE32"), "win64": (0x8664, 0x20B, "x86-64, PE32+")}


def check_headers(image, arch):
    machine, magic, name = ARCHES[arch]
    check((image.machine, image.magic) == (machine, magic),
          "the image is %s (machine %#x, magic %#x)" % (name, image.machine, image.magic))
    check(image.subsystem == 2, "subsystem is Windows GUI (%d)" % image.subsystem)
    dlls = image.imported_dlls()
    check(bool(dlls), "imports: %s" % ", ".join(dlls))
    foreign = [d for d in dlls if d.lower() not in SYSTEM_DLLS]
    check(not foreign, "imports only system DLLs (foreign: %s)" % (", ".join(foreign) or "none"))


def check_strings(resources, rc_path):
    strings = string_table(resources)
    wanted = rc_strings(rc_path)
    check(strings.get(1) == "Glimmerz", 'string 1 is "Glimmerz" (%r)' % strings.get(1))
    commercial = {i: t for i, t in wanted.items() if 200 <= i <= 255}
    headlines = 0
    while commercial.get(200 + headlines, "z") != "z":
        headlines += 1
    check(headlines >= 1 and commercial.get(200 + headlines) == "z",
          "resource script lists %d headlines from 200, closed by \"z\"" % headlines)
    for h in range(headlines):
        first, n = 210 + 10 * h, 0
        while commercial.get(first + n, "z") != "z":
            n += 1
        check(commercial.get(first + n) == "z", "bullets of headline %d run from %d, closed by \"z\" at %d"
              % (h, first, first + n))


def check_bitmaps(resources):
    bitmaps = resources.get(RT_BITMAP, {})
    for ident, (width, height, bits, compression, grey) in sorted(BITMAPS.items()):
        if not check(ident in bitmaps, "bitmap %d is present" % ident):
            continue
        bitmap = Bitmap(bitmaps[ident][1])
        check(bitmap.header_size == 40, "bitmap %d has a 40-byte BITMAPINFOHEADER (%d)"
              % (ident, bitmap.header_size))
        check((bitmap.width, bitmap.height) == (width, height),
              "bitmap %d is %dx%d stored bottom-up (width %d, height %d)"
              % (ident, width, height, bitmap.width, bitmap.height))
        check((bitmap.bit_count, bitmap.compression) == (bits, compression),
              "bitmap %d has %d bits per pixel, compression %d (%d, %d)"
              % (ident, bits, compression, bitmap.bit_count, bitmap.compression))
        if bits == 8:
            check(bitmap.colours_used in (0, 256), "bitmap %d carries 256 colours (%d)"
                  % (ident, bitmap.colours_used))
        try:
            rows = bitmap.rows()
        except PeError as error:
            check(False, "bitmap %d decodes: %s" % (ident, error))
            continue
        check(len(rows) == abs(bitmap.height), "bitmap %d decodes, every pixel written once" % ident)
        if grey:
            check(all(r == g == b for row in rows for (r, g, b) in row), "bitmap %d is pure grey" % ident)


def riff_chunks(data, start, end):
    at = start
    while at + 8 <= end:
        tag, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        yield tag, at + 8, size
        at += 8 + size + (size & 1)


def check_music(resources):
    music = resources.get(RT_TUNE, {})
    if check(TUNE in music, "tune %d of type 256 is present" % TUNE):
        data = music[TUNE][1]
        check(data[:4] == b"MThd" and struct.unpack_from(">I", data, 4)[0] == 6,
              "tune starts with a 6-byte MThd chunk")
        midi_format, tracks, division = struct.unpack_from(">HHH", data, 8)
        check(midi_format in (0, 1) and tracks >= 1 and division != 0,
              "tune is a format %d file with %d tracks, division %d" % (midi_format, tracks, division))
        at, found = 14, 0
        while at + 8 <= len(data) and data[at:at + 4] == b"MTrk":
            at += 8 + struct.unpack_from(">I", data, at + 4)[0]
            found += 1
        check(found == tracks and at <= len(data) and not data[at:].strip(b"\0"),
              "tune holds exactly its %d MTrk chunks (%d found, %d of %d bytes)"
              % (tracks, found, at, len(data)))
    if check(INSTRUMENTS in music, "instruments %d of type 256 are present" % INSTRUMENTS):
        data = music[INSTRUMENTS][1]
        check(data[:4] == b"RIFF" and data[8:12] == b"DLS ", "instruments are a RIFF \"DLS \" form")
        size = struct.unpack_from("<I", data, 4)[0]
        check(8 + size <= len(data) <= 8 + size + 3,
              "RIFF size %d matches the resource's %d bytes" % (size, len(data)))
        tags = set()
        for tag, body, length in riff_chunks(data, 12, min(len(data), 8 + size)):
            tags.add(tag + (data[body:body + 4] if tag == b"LIST" else b""))
        check({b"colh", b"ptbl", b"LISTlins", b"LISTwvpl"} <= tags,
              "collection has colh, ptbl, lins and wvpl (%s)" % sorted(t.decode("latin-1") for t in tags))


def check_icon(resources):
    groups = resources.get(RT_GROUP_ICON, {})
    if not check(ICON_GROUP in groups, "icon group %d is present" % ICON_GROUP):
        return
    data = groups[ICON_GROUP][1]
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    check(reserved == 0 and kind == 1 and count >= 1 and len(data) == 6 + 14 * count,
          "icon group header names %d images" % count)
    icons = resources.get(RT_ICON, {})
    for i in range(count):
        width, height, _, _, _, bits, size, ident = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
        image = icons.get(ident, (0, b""))[1]
        header_ok = (image[:8] == b"\x89PNG\r\n\x1a\n"
                     or (len(image) >= 40 and struct.unpack_from("<I", image, 0)[0] == 40))
        check(len(image) == size and header_ok,
              "icon image %d (%dx%d, %d bits) holds its %d bytes and a picture header"
              % (ident, width or 256, height or 256, bits, size))


def main():
    arch, scr, rc = sys.argv[1:4]
    try:
        with open(scr, "rb") as f:
            image = PeImage(f.read())
        check_headers(image, arch)
        resources = image.resources()
        check_strings(resources, rc)
        check_bitmaps(resources)
        check_music(resources)
        check_icon(resources)
    except (PeError, struct.error, ValueError) as error:
        check(False, "%s is readable: %s" % (scr, error))
    if failures:
        print("%d checks failed" % len(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
