"""Workbooks written by make_configure open in xlrd and olefile with what was written."""
import json
import os
import subprocess
import sys
import tempfile

import olefile
import xlrd

TOOL = sys.argv[1]
SAMPLES = ["configure", "numbers", "texts", "sheets", "longsst"]


def expected_cells(sheet):
    return {(r, c): (t, v) for r, c, t, v in sheet["cells"]}


def check(name, folder):
    path = os.path.join(folder, name + ".xls")
    out = subprocess.run([TOOL, "--sample", name, path], check=True, capture_output=True)
    want = json.loads(out.stdout.decode("utf-8"))

    ole = olefile.OleFileIO(path)
    assert ole.listdir() == [["Workbook"]], (name, ole.listdir())
    assert ole.get_size("Workbook") == want["streamSize"], (name, ole.get_size("Workbook"))
    ole.close()

    book = xlrd.open_workbook(path)
    assert book.nsheets == len(want["sheets"]), name
    for index, sheet_want in enumerate(want["sheets"]):
        sheet = book.sheet_by_index(index)
        assert sheet.name == sheet_want["name"], (name, sheet.name)
        cells = expected_cells(sheet_want)
        # xlrd sizes a sheet by the cells it holds; ours keeps the written extent.
        used_rows = max((r for r, _ in cells), default=-1) + 1
        used_cols = max((c for _, c in cells), default=-1) + 1
        assert (sheet.nrows, sheet.ncols) == (used_rows, used_cols), (name, sheet.nrows, sheet.ncols)
        # The extent we wrote, as xlrd read it from DIMENSIONS.
        assert (sheet._dimnrows, sheet._dimncols) == (sheet_want["rows"], sheet_want["cols"]), \
            (name, sheet._dimnrows, sheet._dimncols)
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if (r, c) not in cells:
                    assert cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK), (name, r, c, cell)
                    continue
                kind, value = cells[(r, c)]
                if kind in (1, 2):
                    assert cell.ctype == xlrd.XL_CELL_NUMBER, (name, r, c, cell)
                    assert cell.value == value, (name, r, c, cell.value, value)
                else:
                    assert cell.ctype == xlrd.XL_CELL_TEXT, (name, r, c, cell)
                    assert cell.value == value, (name, r, c, cell.value, value)
    print("ok", name)


def check_if_missing(folder):
    path = os.path.join(folder, "Configure.xls")
    subprocess.run([TOOL, "--if-missing", path], check=True)
    with open(os.path.join(folder, "configure.xls"), "rb") as f:
        assert open(path, "rb").read() == f.read(), "the installed workbook is the configure sample"
    with open(path, "wb") as f:
        f.write(b"the user's own")
    subprocess.run([TOOL, "--if-missing", path], check=True)
    assert open(path, "rb").read() == b"the user's own", "--if-missing must keep an existing file"
    print("ok if-missing")


def main():
    with tempfile.TemporaryDirectory() as folder:
        for name in SAMPLES:
            check(name, folder)
        check_if_missing(folder)
    print(f"{len(SAMPLES) + 1} passed, 0 failed")


main()
