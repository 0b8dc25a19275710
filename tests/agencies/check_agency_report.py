# Independent check of "Raport AJPIS": recomputes from the requests table,
# read by dbfread, the rows and numbers the annex workbooks must hold, and
# compares them with the workbooks as xlrd reads them. Prints "ok" or the
# first faults, one a line.
#
#   check_agency_report.py CERERI FOLDER MONTH START END LIMITS AMOUNTS
#   (MONTH, START, END month codes; LIMITS, AMOUNTS eleven numbers joined by ",")
import glob
import os
import sys
from decimal import Decimal, ROUND_HALF_UP

import xlrd
from dbfread import DBF

cereri, folder, month, start, end = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
lims = [Decimal(v) for v in sys.argv[6].split(',')]
amounts = [Decimal(v) for v in sys.argv[7].split(',')]
faults = []


def fault(text):
    if len(faults) < 30:
        faults.append(text)


def dec(v):
    return Decimal(str(v or 0)).quantize(Decimal('0.01'), ROUND_HALF_UP)


rows = list(DBF(cereri, encoding='cp1250'))
for r in rows:
    for f in ('VENITM', 'CUANTUM', 'TOTAL', 'SUMAL', 'SUMAG', 'SUMAE', 'SUMAT'):
        r[f] = dec(r[f])
    r['STATUT'] = (r['STATUT'] or '').strip()


def approved(r):
    return r['STATUT'] in ('APROBAT', 'MODIFICAT')


def in_bracket(b, v, n):
    if n is None or n < 1 or (b == 10 and n == 1) or (b == 11 and n != 1):
        return False
    lo = Decimal(-1) if b == 1 else (lims[8] if b == 11 else lims[b - 2])
    return lo < v <= lims[b - 1]


def book(name):
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        fault('missing ' + name)
        return None
    return xlrd.open_workbook(path)


def num(sheet, r, c):
    v = sheet.cell_value(r - 1, c - 1)
    return Decimal(str(v)).quantize(Decimal('0.01')) if v != '' else None


def check_cell(sheet, r, c, want, what):
    got = num(sheet, r, c)
    if got != Decimal(want).quantize(Decimal('0.01')):
        fault('%s (%d,%d): %s, expected %s' % (what, r, c, got, want))


def listed(sheet, col):
    """The values of a list column: the rows whose first cell is a running number."""
    out = []
    for r in range(sheet.nrows):
        first = sheet.cell_value(r, 0)
        if isinstance(first, float) and first >= 1:
            out.append(sheet.cell_value(r, col - 1))
    return out


period = [r for r in rows if approved(r) and r['TOTAL'] > 0 and start <= r['LUNACRT'] <= end]

# annexes 13 and 21
b = book('Anexa13_21.xls')
if b:
    for s in range(5):
        m = 5 - s
        want = sorted(r['CNP'] for r in period if r['NR_LUNI'] == m)
        got = sorted(listed(b.sheet_by_index(s), 3))
        if got != want:
            fault('annex 13, %d months: %d rows, expected %d' % (m, len(got), len(want)))
    st = b.sheet_by_name('RapStat')
    for m in range(1, 6):
        for br in range(1, 12):
            for c in range(1, 7):
                if (br == 10 and c == 6) or (br == 11 and c < 6):
                    continue
                cond = {1: lambda n: n == 2, 2: lambda n: n == 3, 3: lambda n: n == 4, 4: lambda n: n == 5,
                        5: lambda n: n > 5, 6: lambda n: n == 1}[c]
                want = sum(1 for r in period if r['NR_LUNI'] == m and cond(r['NR_MEMBRI'] or 0)
                           and in_bracket(br, r['VENITM'], r['NR_MEMBRI']))
                check_cell(st, 5 * br + 7 - m, c + 4, want, 'annex 21')

# annex 22
b = book('Anexa22.xls')
if b:
    st = b.sheet_by_index(0)
    for br in range(1, 12):
        for m in range(1, 6):
            for single in (False, True):
                if (br == 11 and not single) or (br == 10 and single):
                    continue
                want = sum((r['TOTAL'] for r in period if r['CUANTUM'] == amounts[br - 1] and r['NR_LUNI'] == m
                            and ((r['NR_MEMBRI'] == 1) if single else (r['NR_MEMBRI'] or 0) > 1)), Decimal(0))
                check_cell(st, 5 * br + 8 - m, (6 if single else 5) + 2 * (5 - m), want, 'annex 22')

# annex 13 cumulated
b = book('Anexa13_Cumulat.xls')
if b:
    cur = [r for r in rows if r['LUNACRT'] == month and approved(r)]
    got = listed(b.sheet_by_index(0), 9)
    earlier = {}
    for r in sorted((r for r in rows if approved(r) and r['TOTAL'] > 0 and start <= r['LUNACRT'] < month),
                    key=lambda r: (r['LUNACRT'], r['CNP'])):
        earlier.setdefault(r['CNP'], r['TOTAL'])
    want = sorted(earlier.get(r['CNP'], r['TOTAL']) if r['TOTAL'] < 1 else r['TOTAL'] for r in cur)
    if sorted(dec(v) for v in got) != want:
        fault('annex 13 cumulated: totals differ (%d rows, expected %d)' % (len(got), len(want)))

# annexes 14 to 17
for annex, field in ((14, 'SUMAT'), (15, 'SUMAG'), (16, 'SUMAE'), (17, 'SUMAL')):
    b = book('Anexa%d.xls' % annex)
    if b:
        want = sorted(r['CNP'] for r in rows if r['LUNACRT'] == month and approved(r) and r[field] > 0)
        for s in range(b.nsheets if annex in (15, 16) else 1):
            if sorted(listed(b.sheet_by_index(s), 3)) != want:
                fault('annex %d sheet %d: rows differ' % (annex, s + 1))

# annexes 23 and 24
months = sorted({r['LUNACRT'] for r in rows if start <= r['LUNACRT'] <= end})
for field, suffix in (('SUMAL', 'Lemne'), ('SUMAG', 'Gaz'), ('SUMAE', 'Electrica'), ('SUMAT', 'Termica')):
    held = [r for r in rows if r['STATUT'] not in ('RESPINS', 'INCETAT') and r[field] > 0]
    for annex in (23, 24):
        name = 'Anexa%d_%s.xls' % (annex, suffix)
        if not held:
            if os.path.exists(os.path.join(folder, name)):
                fault(name + ' made without holders')
            continue
        b = book(name)
        if not b:
            continue
        st = b.sheet_by_index(0)
        for code in months:
            mm = code % 12 + 1
            for br in range(1, 12):
                for single in (0, 1):
                    if (br == 10 and single) or (br == 11 and not single):
                        continue
                    sel = [r for r in held if r['LUNACRT'] == code and in_bracket(br, r['VENITM'], r['NR_MEMBRI'])
                           and ((r['NR_MEMBRI'] == 1) == bool(single))]
                    want = len(sel) if annex == 23 else sum((r[field] for r in sel), Decimal(0))
                    check_cell(st, 2 * mm + 7 + single, br + 3, want, name)

# annex 25: holders per supplier, trimmed and case-blind, with their sums
want = {}
for field, supplier in (('SUMAE', 'FURNE'), ('SUMAG', 'FURNG'), ('SUMAT', 'FURNT'), ('SUMAL', None)):
    for r in rows:
        if r['LUNACRT'] == month and r['STATUT'] not in ('RESPINS', 'INCETAT') and r[field] > 0:
            key = (r[supplier] or '').strip().casefold() if supplier else 'suplimente lemne'
            holder = ((r['TITULAR'] or '')[:32].rstrip(), r['CNP'])
            want.setdefault(key, {}).setdefault(holder, Decimal(0))
            want[key][holder] += r[field]
files = glob.glob(os.path.join(folder, 'Anexa25_*.xls'))
if len(files) != len(want):
    fault('annex 25: %d workbooks, expected %d' % (len(files), len(want)))
got = {}
for f in files:
    st = xlrd.open_workbook(f).sheet_by_index(0)
    supplier = None
    for r in range(st.nrows):
        text = str(st.cell_value(r, 0))
        if text.startswith('Furnizor: '):
            supplier = text[len('Furnizor: '):].strip().casefold()
    names, codes, sums = listed(st, 2), listed(st, 3), listed(st, 4)
    got[supplier] = {(n.rstrip(), c): dec(s) for n, c, s in zip(names, codes, sums)}
    if len(names) != len(got[supplier]):
        fault('annex 25 %s: a holder listed twice' % supplier)
for key, holders in want.items():
    if got.get(key) != holders:
        fault('annex 25 %s: holders or sums differ' % key)

print('\n'.join(faults) if faults else 'ok')
