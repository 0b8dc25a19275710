# Independent check of a sample data folder: reads the tables with dbfread and
# validates every personal code and bank account with the published rules.
# Prints one JSON object.
import json, sys, datetime
from dbfread import DBF

W = [2, 7, 9, 1, 4, 6, 3, 5, 8, 2, 7, 9]

def cnp_ok(c):
    if len(c) != 13 or not c.isdigit():
        return False
    r = sum(int(a) * b for a, b in zip(c, W)) % 11
    if int(c[12]) != (1 if r == 10 else r):
        return False
    century = {'1': 1900, '2': 1900, '5': 2000, '6': 2000}.get(c[0])
    if century is None:
        return False
    try:
        datetime.date(century + int(c[1:3]), int(c[3:5]), int(c[5:7]))
    except ValueError:
        return False
    return 1 <= int(c[7:9]) <= 52 and int(c[9:12]) >= 1

def iban_ok(i):
    if len(i) != 24 or not i.startswith('RO'):
        return False
    moved = i[4:] + i[:4]
    return int(''.join(str(int(ch, 36)) for ch in moved)) % 97 == 1

folder = sys.argv[1]
cereri = list(DBF(folder + '/Cereri.dbf', encoding='cp1250'))
oameni = list(DBF(folder + '/Oameni.dbf', encoding='cp1250'))
cnps = [r['CNP'] for r in cereri] + [r['CNP'] for r in oameni]
cnps += [r[f] for r in cereri for f in ('CNPG', 'CNPE', 'CNPT') if r[f]]
ibans = [r['CONT'] for r in cereri if r['CONT']]
print(json.dumps({
    'requests': len(cereri),
    'members': len(oameni),
    'cnps': len(cnps),
    'bad_cnps': sorted(set(c for c in cnps if not cnp_ok(c)))[:10],
    'ibans': len(ibans),
    'bad_ibans': sorted(set(i for i in ibans if not iban_ok(i)))[:10],
    'names': sorted(set(r['TITULAR'] for r in cereri))[:2000],
}))
