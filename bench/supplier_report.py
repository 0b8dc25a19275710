"""The baseline of the supplier report benchmark: openpyxl writing the rows
of our E-ON electricity workbook into the same template.

supplier_report.py TEMPLATE OURS.xlsx: reads the rows (not timed), prints
"ready <rows>", then for each output path on stdin loads the template, writes
the rows from row 2, saves, and prints the seconds it took.
"""
import sys
import time

import openpyxl

template, ours = sys.argv[1:3]
sheet = openpyxl.load_workbook(ours, read_only=True).worksheets[0]
rows = [list(r) for r in sheet.iter_rows(min_row=2, values_only=True)]
print('ready', len(rows), flush=True)
for line in sys.stdin:
    start = time.perf_counter()
    book = openpyxl.load_workbook(template)
    ws = book.worksheets[0]
    for r, values in enumerate(rows, start=2):
        for c, v in enumerate(values, start=1):
            if v is not None and v != '':
                ws.cell(row=r, column=c, value=v)
    book.save(line.strip())
    print(time.perf_counter() - start, flush=True)
