"""Workbooks written by xlwt read back through make_configure with the values xlrd sees,
and survive being opened and rewritten."""
import json
import os
import struct
import subprocess
import sys
import tempfile

import olefile
import xlrd
import xlwt

from cfb_writer import container

TOOL = sys.argv[1]


def make_numbers(path):
    book = xlwt.Workbook()
    sheet = book.add_sheet("Numbers")
    values = [0, 1, -1, 640, 480, 536870911, -536870912, 1 << 30, 0.5, 1.23, 3.14159, -2.5e-3, 1e100, 123456.78]
    for i, v in enumerate(values):
        sheet.write(i, 0, v)
        sheet.write(i, 1, i)
        sheet.write(i, 2, i * 0.25)
    for r in range(40, 100):
        sheet.write(r, 3, r * 7)
    sheet.write(5, 6, True)
    book.save(path)


def make_chinese(path):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("设置")
    sheet.write(0, 0, "设置项")
    sheet.write(1, 1, "/home/用户/图片/")
    sheet.write(2, 1, "相框")
    sheet.write(3, 1, "café")
    sheet.write(4, 1, 640)
    book.save(path)


def make_sheets(path):
    book = xlwt.Workbook(encoding="utf-8")
    for s in range(4):
        sheet = book.add_sheet(f"第{s}页")
        for r in range(s * 10 + 1):
            sheet.write(r, s, f"sheet {s} row {r}")
            sheet.write(r, s + 1, r * 1.5)
    book.save(path)


def make_long_sst(path):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Long")
    for r in range(3000):
        text = f"string {r} " + "x" * (r % 50)
        if r % 4 == 0:
            text += "长字符串" * (r % 7)
        sheet.write(r, 0, text)
        sheet.write(r, 1, text)  # every text twice: shared
    sheet.write(3000, 0, "W" * 20000)
    sheet.write(3001, 0, "宽" * 12000)
    book.save(path)


def xlrd_cells(path):
    book = xlrd.open_workbook(path)
    sheets = []
    for sheet in book.sheets():
        cells = {}
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    continue
                value = cell.value
                if cell.ctype == xlrd.XL_CELL_BOOLEAN:
                    value = int(value)
                cells[(r, c)] = value
        sheets.append((sheet.name, cells))
    return sheets


def ours(path):
    out = subprocess.run([TOOL, "--dump", path], check=True, capture_output=True)
    data = json.loads(out.stdout.decode("utf-8"))
    return [(s["name"], {(r, c): v for r, c, _t, v in s["cells"]}) for s in data["sheets"]]


def same(name, want, got):
    assert len(want) == len(got), (name, len(want), len(got))
    for (wname, wcells), (gname, gcells) in zip(want, got):
        assert wname == gname, (name, wname, gname)
        assert wcells.keys() == gcells.keys(), (name, sorted(set(wcells) ^ set(gcells))[:10])
        for key, value in wcells.items():
            assert gcells[key] == value, (name, key, value, gcells[key])


def ole_entries(path):
    """Every stream and storage but the workbook: path -> (type, clsid, state, ctime, mtime, bytes)."""
    ole = olefile.OleFileIO(path)
    out = {}
    for parts in ole.listdir(streams=True, storages=True):
        name = "/".join(parts)
        if name == "Workbook":
            continue
        entry = ole.direntries[ole._find(name)]
        data = ole.openstream(name).read() if entry.entry_type == olefile.STGTY_STREAM else None
        out[name] = (entry.entry_type, entry.clsid, entry.dwUserFlags, entry.createTime, entry.modifyTime, data)
    root = ole.root
    out["<root>"] = (root.entry_type, root.clsid, root.dwUserFlags, root.createTime, root.modifyTime, None)
    ole.close()
    return out


def check_kept_streams(folder):
    """A workbook beside document properties, a large stream, an empty one and a storage: after
    a rewrite every other stream and storage reads the same in olefile, and the cells in xlrd."""
    source = os.path.join(folder, "numbers.xls")
    make_numbers(source)
    ole = olefile.OleFileIO(source)
    workbook = ole.openstream("Workbook").read()
    ole.close()

    def pattern(size, seed):
        return bytes((i * 13 + seed) & 0xFF for i in range(size))

    def clsid(byte):
        return bytes([byte]) * 16

    entries = [
        ("Root Entry", 5, None, bytes.fromhex("2008020000000000C000000000000046"), 0, 0, 0, b""),
        ("Workbook", 2, None, clsid(0), 0, 0, 0, workbook),
        ("\x05SummaryInformation", 2, None, clsid(0x31), 0x101, 0x01D9F00011112222, 0x01DA000033334444, pattern(300, 1)),
        ("\x05DocumentSummaryInformation", 2, None, clsid(0x32), 0, 0, 0, pattern(4000, 2)),
        ("Big", 2, None, clsid(0x33), 7, 0, 0x01DA000055556666, pattern(6000, 3)),
        ("Empty", 2, None, clsid(0), 0, 0, 0, b""),
        ("_VBA_PROJECT_CUR", 1, None, clsid(0x35), 0, 0x01D9000077778888, 0x01D9000099990000, b""),
        ("dir", 2, 6, clsid(0), 0, 0, 0, pattern(100, 4)),
        ("Module", 2, 6, clsid(0), 0, 0, 0, pattern(4096, 5)),
    ]
    path = os.path.join(folder, "kept.xls")
    with open(path, "wb") as f:
        f.write(container(entries))
    want = ole_entries(path)
    assert len(want) == 8, sorted(want)
    again = os.path.join(folder, "kept-rewritten.xls")
    subprocess.run([TOOL, "--rewrite", path, again], check=True)
    got = ole_entries(again)
    assert got == want, sorted(k for k in set(want) | set(got) if want.get(k) != got.get(k))
    same("kept streams (xlrd)", xlrd_cells(path), xlrd_cells(again))
    print("ok kept streams")


def formula_records(path):
    """Every FORMULA record of the workbook stream with the records that belong to it, in order."""
    ole = olefile.OleFileIO(path)
    data = ole.openstream("Workbook").read()
    ole.close()
    out = []
    pos = 0
    while pos + 4 <= len(data):
        code, size = struct.unpack_from("<HH", data, pos)
        end = pos + 4 + size
        if code == 0x0006:
            while end + 4 <= len(data) and struct.unpack_from("<H", data, end)[0] in (0x003C, 0x0207, 0x04BC, 0x0221, 0x0036):
                end += 4 + struct.unpack_from("<H", data, end + 2)[0]
            out.append(data[pos:end])
        pos = end
    return out


def check_formulas(folder):
    """Formulas written by xlwt come through a rewrite byte for byte and read the same in xlrd."""
    path = os.path.join(folder, "formulas.xls")
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("公式")
    for r in range(5):
        sheet.write(r, 0, r + 1)
        sheet.write(r, 1, xlwt.Formula(f"A{r + 1}*2"))
    sheet.write(0, 2, "text")
    sheet.write(1, 2, xlwt.Formula('C1&"-"&"相框"'))
    sheet.write(2, 2, xlwt.Formula("SUM(A1:A5)"))
    sheet.write(3, 2, xlwt.Formula('IF(A1>1,"big","small")'))
    sheet.write(4, 2, xlwt.Formula("ROUND(A2/3,2)+MAX(A1:A5)"))
    book.save(path)
    want = formula_records(path)
    assert len(want) == 9, len(want)
    again = os.path.join(folder, "formulas-rewritten.xls")
    subprocess.run([TOOL, "--rewrite", path, again], check=True)
    assert formula_records(again) == want, "formula records changed"
    same("formulas (xlrd)", xlrd_cells(path), xlrd_cells(again))
    print("ok formulas")


def main():
    makers = {"numbers": make_numbers, "chinese": make_chinese, "sheets": make_sheets, "longsst": make_long_sst}
    with tempfile.TemporaryDirectory() as folder:
        for name, make in makers.items():
            path = os.path.join(folder, name + ".xls")
            make(path)
            want = xlrd_cells(path)
            same(name, want, ours(path))
            again = os.path.join(folder, name + "-rewritten.xls")
            subprocess.run([TOOL, "--rewrite", path, again], check=True)
            same(name + " rewritten (xlrd)", want, xlrd_cells(again))
            same(name + " rewritten (ours)", want, ours(again))
            print("ok", name)
        check_kept_streams(folder)
        check_formulas(folder)
    print(f"{len(makers) + 2} passed, 0 failed")


main()
