"""Writes the damaged-workbook regression corpus beside this script.

Names tell the expected outcome of opening: bad-* must fail cleanly, ok-* must open (and
write back), any-* may do either; none may crash, hang or exhaust memory.
Run with /usr/bin/python3 from this folder; it needs configure.xls from fuzz/seeds.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SEEDS = os.path.join(HERE, "..", "..", "..", "fuzz", "seeds")
sys.path.insert(0, os.path.join(HERE, "..", "..", "settings", "interop"))
from cfb_writer import container  # noqa: E402
FREE, END, FATSECT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD


def rec(code, data=b""):
    return struct.pack("<HH", code, len(data)) + data


def bof(kind, version=0x0600):
    return rec(0x0809, struct.pack("<HHHHII", version, kind, 0x19A0, 0x07CD, 0xC0C9, 0x306))


EOF_ = rec(0x000A)


def sst(strings, unique=None, total=None):
    body = b"".join(struct.pack("<HB", len(s), 0) + s for s in strings)
    return rec(0x00FC, struct.pack("<II", total if total is not None else len(strings),
                                   unique if unique is not None else len(strings)) + body)


def dims(rows, cols, first_row=0):
    return rec(0x0200, struct.pack("<IIHHH", first_row, rows, 0, cols, 0))


def index(first, last):
    return rec(0x020B, struct.pack("<IIII", 0, first, last, 0) + struct.pack("<I", 0))


def row(r, cols):
    return rec(0x0208, struct.pack("<HHHHHHI", r, 0, cols, 255, 0, 0, 0))


def rk(r, c, v):
    return rec(0x027E, struct.pack("<HHHI", r, c, 0, v))


def number(r, c, v):
    return rec(0x0203, struct.pack("<HHHd", r, c, 0, v))


def labelsst(r, c, i):
    return rec(0x00FD, struct.pack("<HHHI", r, c, 0, i))


def mulrk(r, c, values):
    body = struct.pack("<HH", r, c) + b"".join(struct.pack("<HI", 0, v) for v in values)
    return rec(0x00BD, body + struct.pack("<H", c + len(values) - 1))


def formula(r, c, result):
    """A FORMULA with the tokens of =60 and the given 8-byte cached result."""
    return rec(0x0006, struct.pack("<HHH", r, c, 0) + result + struct.pack("<HIHBH", 0, 0, 3, 0x1E, 60))


def special(kind, value=0):
    return struct.pack("<BBBBHH", kind, 0, value, 0, 0, 0xFFFF)


def string(text, wide=False):
    chars = text.encode("utf-16-le" if wide else "latin-1")
    return rec(0x0207, struct.pack("<HB", len(text), 1 if wide else 0) + chars)


DBCELL = rec(0x00D7, struct.pack("<I", 0))
WINDOW2 = rec(0x023E, struct.pack("<HHHHHHHI", 0x06B6, 0, 0, 64, 0, 0, 0, 0))
PADDING = rec(0x0099, b"\0" * 4100)  # an unknown record: the stream goes to regular sectors


def globals_(strings=(b"a", b"b"), sst_rec=None, extra=b""):
    boundsheet = rec(0x0085, struct.pack("<IBBBB", 0, 0, 0, 6, 0) + b"Sheet1")
    return bof(5) + PADDING + boundsheet + (sst_rec if sst_rec is not None else sst(list(strings))) + extra + EOF_


def sheet(cells=None, dimensions=None, idx=None, tail=WINDOW2 + EOF_):
    if cells is None:
        cells = row(0, 3) + row(1, 3) + labelsst(0, 0, 0) + rk(0, 1, 0x0A02) + mulrk(1, 0, [6, 10]) \
            + number(1, 2, 1.5) + DBCELL
    return bof(0x10) + (idx if idx is not None else index(0, 2)) \
        + (dimensions if dimensions is not None else dims(2, 3)) + cells + tail


def cfb(stream, name="Workbook"):
    """A version-3 compound file with the stream in consecutive regular sectors 2, 3, ..."""
    n = (len(stream) + 511) // 512
    assert n <= 125
    fat = [FATSECT, END] + [s + 1 for s in range(2, 2 + n - 1)] + [END] + [FREE] * (126 - n)
    header = bytearray(512)
    header[0:8] = bytes.fromhex("D0CF11E0A1B11AE1")
    struct.pack_into("<HHHHI", header, 24, 0x3B, 3, 0xFFFE, 9, 6)
    struct.pack_into("<IIIIIIIII", header, 44, 1, 1, 0, 4096, END, 0, END, 0, 0)
    struct.pack_into("<109I", header, 76, 0, *([FREE] * 108))

    def entry(ename, kind, child, start, size):
        e = bytearray(128)
        encoded = ename.encode("utf-16-le")
        e[0:len(encoded)] = encoded
        struct.pack_into("<HBBIII", e, 64, len(encoded) + 2, kind, 1, FREE, FREE, child)
        struct.pack_into("<II", e, 116, start, size)
        return bytes(e)

    directory = entry("Root Entry", 5, 1, END, 0) + entry(name, 2, FREE, 2, len(stream)) + bytes(256)
    body = stream + bytes(n * 512 - len(stream))
    return bytes(header) + struct.pack("<128I", *fat) + directory + body


def patch(data, offset, fmt, *values):
    b = bytearray(data)
    struct.pack_into(fmt, b, offset, *values)
    return bytes(b)


def formulas_xlwt():
    """Settings rows holding formulas as xlwt writes them (cached result: an empty text)."""
    import io
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("设置")
    for r, v in enumerate((2, 3, 4)):
        sheet.write(r, 0, v)
    sheet.write(1, 1, xlwt.Formula("A1+1"))
    sheet.write(2, 1, xlwt.Formula('"ab"&"cd"'))
    sheet.write(4, 1, xlwt.Formula("A1*320"))
    sheet.write(7, 1, 5)
    sheet.write(8, 1, xlwt.Formula("SUM(A1:A3)*2"))
    sheet.write(9, 1, xlwt.Formula('IF(A1>1,"big","small")'))
    out = io.BytesIO()
    book.save(out)
    return out.getvalue()


def main():
    good_stream = globals_() + sheet()
    good = cfb(good_stream)
    dirent1 = 1024 + 128
    files = {
        "ok-good": good,
        "any-empty": b"",
        "bad-short-header": good[:100],
        "bad-truncated-in-fat": good[:700],
        "bad-truncated-in-stream": good[:2500],
        "bad-fat-loop": patch(good, 512 + 4 * 3, "<I", 3),
        "bad-fat-past-end": patch(good, 512 + 4 * 3, "<I", 5000),
        "bad-fat-free-in-chain": patch(good, 512 + 4 * 3, "<I", FREE),
        "bad-dir-chain-loop": patch(good, 512 + 4, "<I", 1),
        "bad-dir-sector-past-end": patch(good, 48, "<I", 999),
        "bad-dir-sibling-loop": patch(good, dirent1 + 72, "<I", 1),
        "bad-dir-child-out-of-range": patch(good, 1024 + 76, "<I", 77),
        "bad-root-not-root": patch(good, 1024 + 66, "<B", 1),
        "bad-stream-size-huge": patch(good, dirent1 + 120, "<I", 0xFFFFFFF0),
        "bad-fat-count-huge": patch(good, 44, "<I", 0x7FFFFFFF),
        "bad-fat-count-110": patch(good, 44, "<I", 110),
        "bad-fat-sector-past-end": patch(good, 76, "<I", 1000),
        "bad-sector-shift-12": patch(good, 30, "<H", 12),
        "bad-no-workbook-stream": cfb(good_stream, name="Book"),
        "bad-bof-length-beyond": cfb(patch(good_stream, 2, "<H", 0xFFFF)),
        "bad-continue-beyond": cfb(globals_(extra=struct.pack("<HH", 0x3C, 0xFFFF)) + sheet()),
        "bad-sst-count-huge": cfb(globals_(sst_rec=sst([b"a", b"b"], unique=0xFFFFFFFF)) + sheet()),
        "bad-sst-string-beyond": cfb(globals_(sst_rec=rec(0x00FC, struct.pack("<IIHB", 1, 1, 60000, 1) + b"ab")) + sheet()),
        "bad-dimensions-rows": cfb(globals_() + sheet(dimensions=dims(0x10001, 3))),
        "bad-dimensions-cols": cfb(globals_() + sheet(dimensions=dims(2, 300))),
        "bad-dimensions-huge": cfb(globals_() + sheet(dimensions=dims(0xFFFFFFFF, 0xFFFF))),
        "bad-index-rows": cfb(globals_() + sheet(idx=index(0, 0xFFFFFFFF))),
        "bad-index-first-after-last": cfb(globals_() + sheet(idx=index(9, 2))),
        "bad-sheet-without-eof": cfb(globals_() + sheet(tail=WINDOW2)),
        "bad-biff5": cfb(bof(5, version=0x0500) + good_stream[20:]),
        "bad-not-a-workbook-stream": cfb(b"\x01\x02\x03\x04" * 1200),
        "ok-labelsst-beyond-sst": cfb(globals_() + sheet(cells=row(0, 3) + labelsst(0, 0, 99) + DBCELL)),
        "ok-cell-beyond-dimensions": cfb(globals_() + sheet(cells=row(0, 3) + rk(70, 200, 0x0A02) + DBCELL)),
        "ok-mulrk-odd-length": cfb(globals_() + sheet(cells=row(0, 3) + rec(0x00BD, b"\0" * 11) + rk(0, 0, 6) + DBCELL)),
        "ok-short-number": cfb(globals_() + sheet(cells=row(0, 3) + rec(0x0203, b"\0" * 6) + DBCELL)),
        "ok-no-dbcell": cfb(globals_() + sheet(cells=row(0, 3) + rk(0, 0, 6))),
        "ok-embedded-chart": cfb(globals_() + sheet(cells=row(0, 3) + rk(0, 0, 6) + DBCELL
                                                   + bof(0x20) + rec(0x1001, b"\0\0") + EOF_)),
        "ok-empty-workbook": cfb(bof(5) + PADDING + EOF_),
        # Formulas with every kind of cached result, and the records that may follow them.
        "ok-formula-results": cfb(globals_() + sheet(dimensions=dims(8, 3), cells=b"".join(row(r, 3) for r in range(8))
            + formula(1, 1, special(0)) + string("/photos/")
            + formula(2, 1, special(0)) + string("相框", wide=True)
            + formula(3, 1, special(0)) + rec(0x0207, struct.pack("<HB", 3, 0) + b"ab") + rec(0x003C, b"\x01" + "相".encode("utf-16-le"))
            + formula(4, 1, struct.pack("<d", 1280.0)) + rec(0x04BC, b"\0" * 10)
            + formula(5, 1, special(1, 1)) + rec(0x0221, b"\0" * 14)
            + formula(6, 1, special(2, 7)) + rec(0x0036, b"\0" * 16)
            + formula(7, 1, struct.pack("<d", 60.0)) + formula(7, 2, special(3)) + DBCELL)),
    }
    base = open(os.path.join(SEEDS, "configure.xls"), "rb").read()
    # The shipped workbook keeps its stream in the mini stream: sectors 2, 4, 5; mini FAT in 3.
    files.update({
        "ok-configure": base,
        "bad-minifat-loop": patch(base, 2048 + 4 * 5, "<I", 5),
        "bad-minifat-past-ministream": patch(base, 2048 + 4 * 0, "<I", 500),
        "bad-ministream-too-short": patch(base, 1024 + 120, "<I", 64),
        "bad-ministream-start-past-end": patch(base, 1024 + 116, "<I", 77),
        "any-minifat-count-large": patch(base, 64, "<I", 1000),
        "bad-truncated-configure": base[:3000],
    })
    # The workbook beside what spreadsheet programs keep: document properties, a large stream,
    # an empty one and a storage with streams.
    def pattern(size, seed):
        return bytes((i * 13 + seed) & 0xFF for i in range(size))
    files["ok-other-streams"] = container([
        ("Root Entry", 5, None, bytes.fromhex("2008020000000000C000000000000046"), 0, 0, 0, b""),
        ("Workbook", 2, None, bytes(16), 0, 0, 0, good_stream),
        ("\x05SummaryInformation", 2, None, bytes(16), 0, 0x01D9F00011112222, 0x01DA000033334444, pattern(300, 1)),
        ("\x05DocumentSummaryInformation", 2, None, bytes(16), 0, 0, 0, pattern(200, 2)),
        ("Big", 2, None, bytes([0x33]) * 16, 7, 0, 0, pattern(5000, 3)),
        ("Empty", 2, None, bytes(16), 0, 0, 0, b""),
        ("_VBA_PROJECT_CUR", 1, None, bytes([0x35]) * 16, 0, 0, 0x01D9000099990000, b""),
        ("dir", 2, 6, bytes(16), 0, 0, 0, pattern(100, 4)),
        ("Module", 2, 6, bytes(16), 0, 0, 0, pattern(4096, 5)),
    ])
    files["ok-formulas-xlwt"] = formulas_xlwt()
    for name, data in files.items():
        with open(os.path.join(HERE, name + ".xls"), "wb") as f:
            f.write(data)
    print(len(files), "files")


main()
