#!/usr/bin/python3
# Makes the expected results of the row and column tests once, by hand (the
# build never runs it): LibreOffice itself inserts, copies and deletes the same
# rows and columns in lo-basic.xls as the tests ask of the engine, and exports
# every sheet's values and formulas as CSV into tests/fixtures/xls-formula/.
#
#   apt-get install python3-uno   # only for this script
#   /usr/bin/python3 tests/xls/formula/make-insert-expected.py
#
# Keep SCENARIOS equal to the ones in RowInsertionTest.cpp.
import os
import shutil
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.table import CellAddress, CellRangeAddress

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
SOURCE = os.path.join(ROOT, "tests", "fixtures", "xls", "lo-basic.xls")
OUT = os.path.join(ROOT, "tests", "fixtures", "xls-formula")

# Book name -> operations, rows and columns 1-based, sheets 0-based:
#   ("rows", sheet, first, last, destination, count): count copies of the rows
#       first..last inserted at the destination row; "cols" the same for columns;
#   ("delete-rows", sheet, first, count) and ("delete-cols", sheet, first, count);
#   ("copy-sheet", sheet, new name, position): a copy of the sheet inserted at the position.
SCENARIOS = {
    "lo-basic-inserted": [
        ("rows", 0, 2, 2, 3, 2),   # Persoane: the first person twice more, inside the sums
        ("rows", 1, 3, 4, 5, 1),   # Sume lunare: two months again, inside the totals and the shared formulas
        ("rows", 1, 9, 9, 13, 3),  # Sume lunare: a month copied below everything
    ],
    "lo-basic-deleted": [
        ("delete-rows", 0, 3, 2),  # Persoane: two people from inside the sums and the name
        ("delete-rows", 1, 4, 2),  # Sume lunare: two months inside the shared formulas
        ("delete-cols", 1, 1, 1),  # Sume lunare: the month column; every formula moves left
        ("cols", 0, 6, 6, 7, 1),   # Persoane: the income column copied to its right
    ],
    "lo-basic-sheetcopy": [
        ("copy-sheet", 0, "Copie", 1),  # Persoane, with its sums, name and personal codes
        ("rows", 1, 2, 2, 3, 1),        # then a row copied in the copy only
    ],
}


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def insert_and_copy(doc, sheet_index, first, last, dest, count, columns):
    sheet = doc.Sheets.getByIndex(sheet_index)
    n = last - first + 1
    (sheet.Columns if columns else sheet.Rows).insertByIndex(dest - 1, n * count)
    # Rows (columns) at or after the insertion point moved with it.
    src_first = first - 1 + (n * count if first >= dest else 0)
    for k in range(count):
        source = CellRangeAddress()
        source.Sheet = sheet_index
        target = CellAddress()
        target.Sheet = sheet_index
        if columns:
            source.StartRow, source.EndRow = 0, 65535
            source.StartColumn, source.EndColumn = src_first, src_first + n - 1
            target.Row, target.Column = 0, dest - 1 + k * n
        else:
            source.StartColumn, source.EndColumn = 0, 255
            source.StartRow, source.EndRow = src_first, src_first + n - 1
            target.Column, target.Row = 0, dest - 1 + k * n
        sheet.copyRange(target, source)


def run(doc, op):
    kind, sheet_index = op[0], op[1]
    if kind == "copy-sheet":
        doc.Sheets.copyByName(doc.Sheets.getByIndex(sheet_index).Name, op[2], op[3])
    elif kind in ("rows", "cols"):
        insert_and_copy(doc, *op[1:], columns=(kind == "cols"))
    else:
        sheet = doc.Sheets.getByIndex(sheet_index)
        (sheet.Rows if kind == "delete-rows" else sheet.Columns).removeByIndex(op[2] - 1, op[3])


def main():
    work = tempfile.mkdtemp(prefix="kestrun-formula-")
    profile = "file://" + os.path.join(work, "profile")
    pipe = "kestrunformula%d" % os.getpid()
    office = subprocess.Popen(["soffice", "--headless", "--invisible", "--norestore",
                               "-env:UserInstallation=" + profile,
                               "--accept=pipe,name=%s;urp;" % pipe])
    try:
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        for _ in range(60):
            try:
                ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                time.sleep(1)
        else:
            sys.exit("LibreOffice did not start")
        desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
        books = []
        for name, operations in SCENARIOS.items():
            book = os.path.join(work, name + ".xls")
            shutil.copy(SOURCE, book)
            doc = desktop.loadComponentFromURL("file://" + book, "_blank", 0, (prop("Hidden", True),))
            for op in operations:
                run(doc, op)
            doc.calculateAll()
            doc.storeToURL("file://" + book, (prop("FilterName", "MS Excel 97"),))
            doc.close(True)
            books.append(book)
    finally:
        office.terminate()
        office.wait()
    os.makedirs(OUT, exist_ok=True)
    for formulas, sub in (("false", "values"), ("true", "formulas")):
        target = os.path.join(OUT, sub)
        os.makedirs(target, exist_ok=True)
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=" + profile + "2", "--convert-to",
                        "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,%s,false,-1" % formulas,
                        "--outdir", target] + books, check=True, stdout=subprocess.DEVNULL)
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
