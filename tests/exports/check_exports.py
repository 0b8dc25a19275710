# Independent check of the national agency file and the F2201 files written
# for one working month: parses them with expat, checks the element structure,
# the attribute order and the invariants, and compares them with the tables
# read by dbfread. Prints "ok" or the first faults found, one a line.
#
#   check_exports.py DATA MM.YYYY CU1 TODAY(yyyy-mm-dd) ANPIS_FILE F2201_FOLDER
import datetime
import glob
import os
import re
import sys
import urllib.parse
import xml.parsers.expat

from dbfread import DBF

data, month, cu1, today, anpis_file, f2201_folder = sys.argv[1:7]
cu1 = float(cu1)
today = datetime.date.fromisoformat(today)
faults = []


def fault(text):
    if len(faults) < 30:
        faults.append(text)


class Node:
    def __init__(self, name, attrs):
        self.name, self.attrs, self.children = name, attrs, []

    def names(self):
        return [k for k, _ in self.attrs]

    def __getitem__(self, key):
        return dict(self.attrs)[key]


def parse(path):
    """The document as a tree; attributes as (name, value) in document order."""
    root, stack = [], []
    p = xml.parsers.expat.ParserCreate()
    p.ordered_attributes = True

    def start(name, attrs):
        node = Node(name, list(zip(attrs[0::2], attrs[1::2])))
        (stack[-1].children if stack else root).append(node)
        stack.append(node)

    def text(data):
        if data.strip():
            fault('%s: text inside <%s>' % (path, stack[-1].name))

    p.StartElementHandler = start
    p.EndElementHandler = lambda name: stack.pop()
    p.CharacterDataHandler = text
    with open(path, 'rb') as f:
        raw = f.read()
    p.Parse(raw, True)
    return raw.split(b'\n', 1)[0], root[0]


def number(v):
    return '%.15g' % v if v else '0'


def text(v):
    if v is None:
        return ''
    if isinstance(v, datetime.date):
        return v.strftime('%d.%m.%Y')
    if isinstance(v, (int, float)):
        return number(v)
    return str(v).rstrip()


def expect(what, got, want):
    if got != want:
        fault('%s: %r, expected %r' % (what, got, want))


mm, yyyy = month.split('.')
code = int(yyyy) * 12 + int(mm) - 1
cereri = [r for r in DBF(os.path.join(data, 'Cereri.dbf'), encoding='cp1250') if r['LUNACRT'] == code]
oameni = list(DBF(os.path.join(data, 'Oameni.dbf'), encoding='cp1250'))
members = {}
for m in sorted(oameni, key=lambda m: (m['NRCRT'], m['NROM'])):
    members.setdefault(m['NRCRT'], []).append(m)

# --- national agency file ---
ADR = ['localitate', 'strada', 'numar', 'bl', 'sc', 'et', 'ap', 'sector', 'email', 'telefon', 'modloc', 'nrcam',
       'rjloc', 'provloc', 'tiploc']
RIGHT = ['cnpctr', 'tipaj', 'furnizor', 'codabonat', 'codloc']
SUPPLEMENTS = [('lemne', 'SUMAL', 'CNP', None, None, None), ('electric', 'SUMAE', 'CNPE', 'FURNE', 'PODE', 'CODCLE'),
               ('gaz', 'SUMAG', 'CNPG', 'FURNG', 'PODG', 'CODCLG'), ('termica', 'SUMAT', 'CNPT', 'FURNT', None, 'CODCLT')]
PERSON = ['cnp', 'nume', 'prenume', 'tipci', 'serie', 'nrci', 'elibci']

decl, root = parse(anpis_file)
expect('declaration', decl, b'<?xml version="1.0" encoding="UTF-8"?>')
expect('root', (root.name, root.names()), ('date', ['judet', 'cifuat', 'primaria', 'nrCereri', 'anul', 'luna']))
expect('month', (root['anul'], root['luna']), (yyyy, mm))
wanted = sorted((r for r in cereri if (r['TOTAL'] or 0) > 0), key=lambda r: r['NR_CERE'])
expect('nrCereri', (root['nrCereri'], len(root.children)), (str(len(wanted)), len(wanted)))
previous = '%02d' % ((code - 1) % 12 + 1)
for n, (c, r) in enumerate(zip(root.children, wanted), 1):
    where = 'cereri %d' % n
    expect(where, c.names(), ['idCerere', 'nrinreg', 'datareg', 'cnpt', 'titcont', 'iban', 'banca', 'datacer',
                              'nrcop', 'nrmaj'])
    children = round(r['COPII14'] or 0) + round(r['COPII18'] or 0)
    expect(where, [c[k] for k in c.names()],
           [str(n), text(r['NR_CERE']), text(r['DATACERE']), text(r['CNP']), text(r['TITULAR']), '', '',
            text(r['DATACERE']), str(children), str(round(r['NR_MEMBRI'] or 0) - children)])
    expect(where + ' children', [k.name for k in c.children], ['cereriAdr', 'cereriAprb', 'drepturi', 'persoane',
                                                                 'venituri'])
    adr, aprb, rights, persons, income = c.children
    expect(where + ' cereriAdr', adr.attrs, list(zip(ADR, [text(r['LOCALIT']), text(r['ADRESA'])] + [''] * 8 + [
        'casa cu curte', text(r['NRCAM']), 'proprietate personala', 'mostenire', 'TIP B'])))
    expect(where + ' cereriAprb', aprb.attrs, [('nrmembri', text(r['NR_MEMBRI'])), ('vt', text(r['TVENIT'])),
                                               ('vm', text(r['VENITM']))])
    dispo = [('nrdisp', text(r['NR_DISP'])), ('datadisp', text(r['DATADISP']))]
    want = [('drepturiAI', list(zip(RIGHT, [text(r['CNP']), 'lemne', '', '', ''])) + [
        ('procent', number(r['TOTAL'] / cu1 * 100)), ('valref', text(r['TOTAL']))] + dispo)]
    for tipaj, amount, cnp, furn, pod, client in SUPPLEMENTS:
        if round(r[amount] or 0) > 0:
            values = [text(r[cnp]), tipaj] + [text(r[f]) if f else '' for f in (furn, pod, client)]
            want.append(('drepturiSup', list(zip(RIGHT, values)) + [('suma', text(r[amount]))] + dispo))
    expect(where + ' drepturi', (rights.attrs, [(k.name, k.attrs) for k in rights.children]), ([], want))
    rows = members.get(r['NRCRT'], [])
    expect(where + ' persoane', persons.attrs, [('nrpersoane', str(len(rows))),
                                                ('venitpers', str(sum(round(m['VENIT'] or 0) for m in rows)))])
    expect(where + ' persoaneM count', len(persons.children), len(rows))
    for p, m in zip(persons.children, rows):
        name = text(m['TITULAR'])
        first, blank, rest = name.partition(' ')
        head = text(m['CALITATE']) == 'beneficiar'
        want = list(zip(PERSON, [text(m['CNP']), first if blank else '', rest if blank else name, 'CI', '.', '.',
                                 'SPCLEP']))
        if head:
            want += [('stareciv', text(r['STCIV'])), ('sprof', text(r['SITPROF']))]
        want += [('hand', 'NU'), ('reltit', 'Titular' if head else text(m['CALITATE'])), ('venit', text(m['VENIT']))]
        expect(where + ' persoaneM ' + name, (p.name, p.attrs), ('persoaneM', want))
    expect(where + ' venituri', [(income.name, income.attrs)] + [(k.name, k.attrs) for k in income.children],
           [('venituri', [('lunav', previous), ('vt', text(r['TVENIT']))]),
            ('venituriC', [('codv', '31'), ('sumav', text(r['TVENIT']))])])


# --- F2201 files ---
def born(cnp):
    if len(cnp) < 7 or not cnp[:7].isdigit():
        return None
    yy, m, d = int(cnp[1:3]), int(cnp[3:5]), int(cnp[5:7])
    century = {'3': 1800, '4': 1800, '5': 2000, '6': 2000}.get(cnp[0], 1900)
    try:
        if cnp[0] in '789':
            recent = datetime.date(2000 + yy, m, d)
            return recent if recent <= today else datetime.date(1900 + yy, m, d)
        return datetime.date(century + yy, m, d)
    except ValueError:
        return None


def adult(b):
    if b is None:
        return True
    try:
        turns = b.replace(year=b.year + 18)
    except ValueError:
        turns = datetime.date(b.year + 18, 3, 1)
    return turns < today


granted = {r['NRCRT']: r for r in cereri if text(r['STATUT']) in ('APROBAT', 'MODIFICAT')}
people = {}
for name, cnp, r in [(r['TITULAR'], r['CNP'], r) for r in granted.values()] + [
        (m['TITULAR'], m['CNP'], granted[m['NRCRT']]) for m in oameni if m['NRCRT'] in granted]:
    key = (text(name), text(cnp))
    nr, day = people.get(key, (None, None))
    nr = r['NR_CERE'] if nr is None or (r['NR_CERE'] or 0) > nr else nr
    day = r['DATACERE'] if day is None or (r['DATACERE'] and r['DATACERE'] > day) else day
    people[key] = (nr, day)
want = sorted((cnp, text(nr), text(day)) for (name, cnp), (nr, day) in people.items() if adult(born(cnp)))

files = sorted(glob.glob(os.path.join(f2201_folder, 'F2201_*.xml')),
               key=lambda f: int(re.search(r'_(\d+)\.xml$', f).group(1)))
expect('F2201 files', [os.path.basename(f) for f in files], ['F2201_%d.xml' % i for i in range(1, len(files) + 1)])
NS = 'mfp:anaf:dgti:primarii:formulare:v1'
location = NS + ' file:' + urllib.parse.quote(os.path.abspath(f2201_folder) + '/F2201_1.xsd', safe='/')
got, ids = [], []
for f in files:
    decl, root = parse(f)
    expect(f + ' declaration', decl, b'<?xml version="1.0" encoding="utf-8"?>')
    expect(f + ' root', (root.name, root.names()), ('F2201', ['xmlns', 'xmlns:xsi', 'xsi:schemaLocation', 'Req_id',
                                                            'Cui_primarie', 'Data_creare_mesaj']))
    expect(f + ' namespaces', (root['xmlns'], root['xmlns:xsi'], root['xsi:schemaLocation']),
           (NS, 'http://www.w3.org/2001/XMLSchema-instance', location))
    expect(f + ' Data_creare_mesaj', bool(re.fullmatch(r'\d{12}', root['Data_creare_mesaj'])), True)
    ids.append(int(root['Req_id']))
    for p in root.children:
        expect(f + ' persoane', (p.name, p.names(), [v for k, v in p.attrs][3:] if p.attrs else []),
               ('persoane', ['cif', 'motiv', 'nr_dosar', 'data_dosar', 'banci', 'venituri_cu_sume',
                             'venituri_fara_sume', 'bunuri'], [p['data_dosar'], '0', '1', '0', '1']))
        expect(f + ' motiv', p['motiv'], '2')
        got.append((p['cif'], p['nr_dosar'], p['data_dosar']))
expect('Req_id', ids, list(range(ids[0], ids[0] + len(ids))) if ids else ids)
expect('F2201 persons', len(got), len(want))
expect('F2201 persons missing', sorted(set(want) - set(got))[:5], [])
expect('F2201 persons not expected', sorted(set(got) - set(want))[:5], [])
print('\n'.join(faults) if faults else 'ok')
