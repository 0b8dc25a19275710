#!/usr/bin/python3
# Makes the expected result of the row-insertion test once, by hand (the build
# never runs it): LibreOffice itself inserts and copies the same rows in
# lo-basic.xls as the test asks of the engine, and exports every sheet's values
# and formulas as CSV into tests/fixtures/xls-formula/.
#
#   apt-get install python3-uno   # only for this script
#   /usr/bin/python3 tests/xls/formula/make-insert-expected.py
#
# Keep OPERATIONS equal to the ones in RowInsertionTest.cpp.
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

# (sheet index, first row, last row, destination row, count), rows 1-based:
# count copies of first..last inserted at the destination row.
OPERATIONS = [
    (0, 2, 2, 3, 2),   # Persoane: the first person twice more, inside the sums
    (1, 3, 4, 5, 1),   # Sume lunare: two months again, inside the totals and the shared formulas
    (1, 9, 9, 13, 3),  # Sume lunare: the merged row below everything
]


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def insert_and_copy(doc, sheet_index, first, last, dest, count):
    sheet = doc.Sheets.getByIndex(sheet_index)
    rows = last - first + 1
    sheet.Rows.insertByIndex(dest - 1, rows * count)
    # Rows at or below the insertion point moved down with it.
    src_first = first - 1 + (rows * count if first >= dest else 0)
    for k in range(count):
        source = CellRangeAddress()
        source.Sheet = sheet_index
        source.StartColumn, source.EndColumn = 0, 255
        source.StartRow, source.EndRow = src_first, src_first + rows - 1
        target = CellAddress()
        target.Sheet, target.Column, target.Row = sheet_index, 0, dest - 1 + k * rows
        sheet.copyRange(target, source)


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
        book = os.path.join(work, "lo-basic-inserted.xls")
        shutil.copy(SOURCE, book)
        doc = desktop.loadComponentFromURL("file://" + book, "_blank", 0, (prop("Hidden", True),))
        for op in OPERATIONS:
            insert_and_copy(doc, *op)
        doc.calculateAll()
        doc.storeToURL("file://" + book, (prop("FilterName", "MS Excel 97"),))
        doc.close(True)
    finally:
        office.terminate()
        office.wait()
    os.makedirs(OUT, exist_ok=True)
    for formulas, sub in (("false", "values"), ("true", "formulas")):
        target = os.path.join(OUT, sub)
        os.makedirs(target, exist_ok=True)
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=" + profile + "2", "--convert-to",
                        "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,%s,false,-1" % formulas,
                        "--outdir", target, book], check=True, stdout=subprocess.DEVNULL)
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
