# The baseline of the treasury package benchmark: the same package written in
# Python. Given the folder of the package the program just wrote, it reads
# what the program took from its own tables and forms beforehand (the payees,
# from the treasury file; the model header; the office's lines and the codes'
# captions, from the totals text), then, timed, writes the package again into
# the output folder: the treasury file byte by byte with struct, the two annex
# workbooks with xlwt, the totals text. Prints the seconds that took, then
# whether the treasury file and the totals text came out byte for byte as the
# program's.
#
#   treasury_package.py PACKAGE_FOLDER OUT_FOLDER
import datetime
import glob
import os
import struct
import sys
import time

import xlwt
from dbfread import DBF

package, out = sys.argv[1:3]
dbf_path = glob.glob(package + "/*.dbf")[0]
totals_path = glob.glob(package + "/StatTo_*.txt")[0]
HEADER = 584  # the model's header: descriptors, terminator and its padding
model = open(dbf_path, "rb").read()[:HEADER]
payees = [(r["CODJUD"], r["CODFISC"], r["CNP"], r["CODAJUT"], r["NUMEPREN"], r["NRPERS"], r["SUMA"], r["DTPLATCRT"])
          for r in DBF(dbf_path, encoding="cp1250")]
lines = open(totals_path, encoding="cp1250", newline="").read().split("\r\n")
office = lines[:7]
captions = {line[1:4]: line.split("   -", 1)[1] for line in lines[7:] if line[1:4] in ("073", "074")}
RECORD = struct.Struct("<c2s10s13s3s60s2s10s8s8s")


def text(value, width):
    return (value or "").encode("cp1250")[:width].ljust(width)


def write_dbf(path):
    today = datetime.date.today()
    header = bytearray(model)
    struct.pack_into("<BBBI", header, 1, today.year - 1900, today.month, today.day, len(payees))
    parts = [bytes(header)]
    for jud, fisc, cnp, code, name, members, amount, day in payees:
        date = day.strftime("%Y%m%d").encode()
        parts.append(RECORD.pack(b" ", text(jud, 2), text(fisc, 10), text(cnp, 13), text(code, 3), text(name, 60),
                                 b"%2d" % members, b"%10.2f" % amount, date, date))
    parts.append(b"\x1a")
    with open(path, "wb") as f:
        f.write(b"".join(parts))


def write_annex(path, code, rows):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Anexa2")
    for r, label in enumerate([office[0].strip(), "SITUATIA " + captions[code], office[1].strip(),
                               "Numar persoane: %d" % len(rows)]):
        sheet.write(r, 0, label)
    for i, (name, members, cnp, amount) in enumerate(sorted(rows)):
        row = sheet.row(8 + i)
        row.write(0, i + 1); row.write(1, name); row.write(2, members); row.write(3, cnp); row.write(4, amount)
        if i % 1000 == 0:
            sheet.flush_row_data()
    sheet.write(8 + len(rows), 2, xlwt.Formula("SUM(C9:C%d)" % (8 + len(rows))))
    sheet.write(8 + len(rows), 4, xlwt.Formula("SUM(E9:E%d)" % (8 + len(rows))))
    book.save(path)


def money(cents):
    sign = "-" if cents < 0 else ""
    cents = abs(cents)
    return "%s%d.%02d" % (sign, cents // 100, cents % 100)


def write_totals(path):
    counts, sums = {}, {}
    for p in payees:
        counts[p[3]] = counts.get(p[3], 0) + 1
        sums[p[3]] = sums.get(p[3], 0.0) + p[6]
    text_lines = list(office)
    count = cents = 0
    for code in ("073", "074"):
        c = counts.get(code, 0)
        s = round(sums.get(code, 0.0) * 100)
        text_lines.append(" " + code + str(c).rjust(12) + money(s).rjust(15) + "   -" + captions[code])
        count += c
        cents += s
    text_lines += [office[6], " Total:" + str(count).rjust(9) + money(cents).rjust(15)]
    with open(path, "wb") as f:
        f.write(("\r\n".join(text_lines) + "\r\n").encode("cp1250"))


start = time.perf_counter()
ours_dbf = os.path.join(out, os.path.basename(dbf_path))
ours_totals = os.path.join(out, os.path.basename(totals_path))
write_dbf(ours_dbf)
for code, name in (("073", "Anexa2_Ajutor_Lemne.xls"), ("074", "Anexa2_Supliment_Lemne.xls")):
    write_annex(os.path.join(out, name), code, [(p[4], p[5], p[2], p[6]) for p in payees if p[3] == code])
write_totals(ours_totals)
seconds = time.perf_counter() - start
same = lambda a, b: open(a, "rb").read() == open(b, "rb").read()
print(seconds, int(same(ours_dbf, dbf_path)), int(same(ours_totals, totals_path)))
