# The baseline of the formula benchmark: python3-xlwt compiles each formula
# text (one a line, without "=") of the file named on the command line. Reads
# the texts, prints "ready", then for each line on stdin compiles them all and
# prints the seconds that took. With "--book out.xls n", instead writes a
# workbook whose first sheet holds n formulas below a header row.
import sys
import time

import xlwt

if sys.argv[1] == "--book":
    book = xlwt.Workbook()
    sheet = book.add_sheet("Formule")
    sheet.write(0, 0, "Antet")
    for r in range(1, int(sys.argv[3]) + 1):
        sheet.write(r, 0, r * 1.5)
        sheet.write(r, 1, xlwt.Formula("SUM($A$2:A%d)*2+ROUND(A%d/3,2)" % (r + 1, r + 1)))
    book.save(sys.argv[2])
    sys.exit(0)

texts = open(sys.argv[1], encoding="utf-8").read().splitlines()
print("ready", flush=True)
for line in sys.stdin:
    start = time.perf_counter()
    for t in texts:
        xlwt.Formula(t).rpn()
    print(time.perf_counter() - start, flush=True)
