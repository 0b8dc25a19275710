#!/usr/bin/python3
"""Checks the three lists against the tables, computed here on their own.

check_lists.py DATA MONTH PERSONS.xls MEMBERS.xls CONTROL.xls PERSONS.csv COUNTY ABBR UAT LUNA AN

Reads Cereri and Oameni with dbfread, the workbooks with xlrd (the persons
list's ages and birth dates from LibreOffice's CSV of it, which computes the
formulas) and prints "ok", or one line per difference.
"""
import csv
import datetime
import os
import sys

import dbfread
import xlrd

data, month, persons_xls, members_xls, control_xls, persons_csv, county, abbr, uat, luna, an = sys.argv[1:]
month = int(month)


def table(name):
    for f in os.listdir(data):
        if f.lower() == name.lower():
            return list(dbfread.DBF(os.path.join(data, f), encoding='cp1250', char_decode_errors='strict'))
    raise SystemExit('no table ' + name)


def text(v):
    return '' if v is None else str(v).rstrip()


def number(v):
    return '' if v in (None, 0) else float(v)


def split(name):
    words = name.split()
    if len(words) < 2:
        return ('', ' '.join(words)[:32])
    return (words[0][:32], ' '.join(words[1:])[:32])


cereri = table('Cereri.dbf')
oameni = table('Oameni.dbf')
granted = [c for c in cereri if c['LUNACRT'] == month and text(c['STATUT']) in ('APROBAT', 'MODIFICAT')]
members_of = {}
for m in oameni:
    members_of.setdefault(m['NRCRT'], []).append(m)

expected_persons = []
for c in granted:
    if text(c['CUAJUT']) != 'X':
        continue
    for m in members_of.get(c['NRCRT'], []):
        expected_persons.append((text(m['TITULAR']), text(m['CNP']), number(m['VENIT']), text(m['CALITATE'])))

expected_members = []
for c in granted:
    loc = ', '.join(p for p in (text(c['LOCALIT']).strip(), text(c['ADRESA']).strip()) if p)[:100]
    for m in members_of.get(c['NRCRT'], [None]):
        member = split(text(m['TITULAR'])) + (text(m['CNP']),) if m else ('', '', '')
        expected_members.append(split(text(c['TITULAR'])) + (text(c['CNP']),) + member + (loc,))

expected_control = []
for c in granted:
    expected_control.append((text(c['TITULAR']), text(c['CNP']),
                             ' '.join([text(c['ADRESA']), text(c['LOCALIT']), 'JUD', county]), '',
                             number(c['NR_MEMBRI']), number(c['VENITM']), text(c['NR_DISP']), number(c['CUANTUM']),
                             0.0, abbr, uat, luna, float(an), text(c['STCIV']), text(c['SITSCOL']),
                             number(c['TVENIT']), number(c['NRCAM'])))

problems = []


def rows(path, first, width):
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    out = []
    for r in range(first, sheet.nrows):
        cells = sheet.row(r)[:width]
        if cells[0].ctype == xlrd.XL_CELL_EMPTY:
            break
        if cells[0].value != len(out) + 1:
            problems.append('%s row %d: number %r' % (os.path.basename(path), r + 1, cells[0].value))
        values = []
        for cell in cells[1:]:
            # Codes and names must stay text: a number here lost its leading zeros.
            values.append(cell.value if cell.ctype in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_NUMBER) else '')
        out.append(tuple(values))
    return out


def compare(name, got, want):
    if sorted(got, key=repr) != sorted(want, key=repr):
        missing = [w for w in want if w not in got]
        extra = [g for g in got if g not in want]
        problems.append('%s: %d rows, %d expected; missing %r; extra %r' % (name, len(got), len(want), missing[:3], extra[:3]))


got_persons = [r[:4] for r in rows(persons_xls, 5, 7)]
compare('persons', got_persons, expected_persons)
compare('members', rows(members_xls, 3, 8), expected_members)
control = rows(control_xls, 6, 18)
compare('control', control, expected_control)
if [r[:2] for r in control] != [(text(c['TITULAR']), text(c['CNP'])) for c in sorted(granted, key=lambda c: c['NR_CERE'])]:
    problems.append('control: not in request-number order')

# Birth date and age as the template's formulas give them.
today = datetime.date.today()
with open(persons_csv, encoding='utf-8') as f:
    lines = list(csv.reader(f))[5:5 + len(expected_persons)]
for line in lines:
    cnp = line[2]
    year = (1900 if int(cnp[0]) < 3 else 2000) + int(cnp[1:3])
    born = datetime.date(year, int(cnp[3:5]), int(cnp[5:7]))
    age = int((today - born).days / 365.25)
    # LibreOffice writes the date as its value, month first, not as the cell shows it.
    if line[6] != born.strftime('%m/%d/%Y') or line[5] != str(age):
        problems.append('persons %s: age %s born %s, expected %d %s' % (cnp, line[5], line[6], age, born.strftime('%d.%m.%Y')))

print('\n'.join(problems) if problems else 'ok')
