"""Reads what the Windows loader would see in Glimmerz.scr: the headers, the
imported DLLs and the resource tree. Standard library only, so the suite needs
nothing beyond Python on the test machine."""

import struct

RT_ICON = 3
RT_BITMAP = 2
RT_STRING = 6
RT_GROUP_ICON = 14
RT_TUNE = 256  # the program's own numeric type for the tune and the instruments


class PeError(Exception):
    pass


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_offset:pe_offset + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        (self.machine, section_count, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe_offset + 4)
        optional = pe_offset + 24
        (self.magic,) = struct.unpack_from("<H", data, optional)
        # PE32+ widens the image base and the four stack and heap sizes to 64 bits
        wide = {0x10B: 0, 0x20B: 16}.get(self.magic)
        if wide is None:
            raise PeError("optional header magic %#x is neither PE32 nor PE32+" % self.magic)
        (self.subsystem,) = struct.unpack_from("<H", data, optional + 68)
        (directory_count,) = struct.unpack_from("<I", data, optional + 92 + wide)
        self.directories = [struct.unpack_from("<II", data, optional + 96 + wide + 8 * i)
                            for i in range(directory_count)]
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            name, vsize, vaddr, rawsize, rawptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), vaddr, max(vsize, rawsize),
                                  rawptr, rawsize))

    def offset_of(self, rva):
        for _, vaddr, span, rawptr, rawsize in self.sections:
            if vaddr <= rva < vaddr + span:
                if rva - vaddr >= rawsize:
                    raise PeError("RVA %#x lies in uninitialised data" % rva)
                return rawptr + rva - vaddr
        raise PeError("RVA %#x is in no section" % rva)

    def bytes_at(self, rva, size):
        start = self.offset_of(rva)
        if start + size > len(self.data):
            raise PeError("%d bytes at RVA %#x run past the end of the file" % (size, rva))
        return self.data[start:start + size]

    def c_string(self, rva):
        start = self.offset_of(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("latin-1")

    def imported_dlls(self):
        rva, size = self.directories[1]
        names = []
        if not size:
            return names
        entry = self.offset_of(rva)
        while True:
            fields = struct.unpack_from("<IIIII", self.data, entry)
            if not any(fields):
                return names
            names.append(self.c_string(fields[3]))
            entry += 20

    def resources(self):
        """{type: {name: (language, bytes)}}; integer ids as ints, names as strings."""
        rva, size = self.directories[2]
        if not size:
            return {}
        base = self.offset_of(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if ident & 0x80000000:
                    at = base + (ident & 0x7FFFFFFF)
                    (length,) = struct.unpack_from("<H", self.data, at)
                    ident = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield ident, target

        tree = {}
        for kind, kind_target in entries(0):
            by_name = tree.setdefault(kind, {})
            for name, name_target in entries(kind_target & 0x7FFFFFFF):
                for language, leaf in entries(name_target & 0x7FFFFFFF):
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + leaf)
                    by_name[name] = (language, self.bytes_at(data_rva, data_size))
        return tree


def string_table(resources):
    """{id: text} from the RT_STRING blocks: block n holds ids 16 * (n - 1) onwards."""
    strings = {}
    for block, (_, data) in resources.get(RT_STRING, {}).items():
        at = 0
        for index in range(16):
            (length,) = struct.unpack_from("<H", data, at)
            at += 2
            if length:
                strings[16 * (block - 1) + index] = data[at:at + 2 * length].decode("utf-16-le")
            at += 2 * length
    return strings


class Bitmap:
    """A device-independent bitmap as stored in a BITMAP resource (no file header)."""

    def __init__(self, data):
        if len(data) < 40:
            raise PeError("bitmap shorter than its header")
        (self.header_size, self.width, self.height, self.planes, self.bit_count,
         self.compression) = struct.unpack_from("<IiiHHI", data, 0)
        (self.colours_used,) = struct.unpack_from("<I", data, 32)
        self.data = data

    def rows(self):
        """Decodes the picture into rows of (r, g, b), top row first.

        Raises PeError when the pixel data does not cover the picture exactly: an
        RLE8 stream that writes outside it, writes a pixel twice, leaves one out
        or has no end-of-bitmap code."""
        width, height = abs(self.width), abs(self.height)
        at = self.header_size
        if self.bit_count == 24 and self.compression == 0:
            stride = (3 * width + 3) & ~3
            if at + stride * height > len(self.data):
                raise PeError("24-bit pixel data is %d bytes short"
                              % (at + stride * height - len(self.data)))
            stored = []
            for r in range(height):
                row = self.data[at + r * stride:at + r * stride + 3 * width]
                stored.append([(row[3 * x + 2], row[3 * x + 1], row[3 * x]) for x in range(width)])
        elif self.bit_count == 8 and self.compression in (0, 1):
            table = self.data[at:at + 1024]
            if len(table) < 1024:
                raise PeError("colour table shorter than 256 entries")
            palette = [(table[4 * i + 2], table[4 * i + 1], table[4 * i]) for i in range(256)]
            at += 1024
            indices = (self._unpack_rle8(at, width, height) if self.compression == 1
                       else self._unpack_rgb8(at, width, height))
            stored = [[palette[i] for i in row] for row in indices]
        else:
            raise PeError("bit count %d with compression %d is not a picture the program reads"
                          % (self.bit_count, self.compression))
        return stored[::-1] if self.height > 0 else stored

    def _unpack_rgb8(self, at, width, height):
        stride = (width + 3) & ~3
        if at + stride * height > len(self.data):
            raise PeError("8-bit pixel data is short")
        return [list(self.data[at + r * stride:at + r * stride + width]) for r in range(height)]

    def _unpack_rle8(self, at, width, height):
        data = self.data
        rows = [[None] * width for _ in range(height)]
        x = y = 0

        def put(value):
            nonlocal x
            if y >= height or x >= width:
                raise PeError("RLE8 run writes outside the picture at row %d, column %d" % (y, x))
            if rows[y][x] is not None:
                raise PeError("RLE8 stream writes row %d, column %d twice" % (y, x))
            rows[y][x] = value
            x += 1

        while True:
            if at + 2 > len(data):
                raise PeError("RLE8 stream has no end-of-bitmap code")
            count, value = data[at], data[at + 1]
            at += 2
            if count:
                for _ in range(count):
                    put(value)
            elif value == 0:
                x, y = 0, y + 1
            elif value == 1:
                break
            elif value == 2:
                x, y = x + data[at], y + data[at + 1]
                at += 2
            else:
                if at + value > len(data):
                    raise PeError("RLE8 literal run past the end of the resource")
                for v in data[at:at + value]:
                    put(v)
                at += value + (value & 1)
        for r, row in enumerate(rows):
            if None in row:
                raise PeError("RLE8 stream leaves row %d, column %d unwritten" % (r, row.index(None)))
        return rows
