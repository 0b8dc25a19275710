# The baseline of the national agency export: xml.etree.ElementTree writes the
# same elements and attributes, indented, from the same rows read with
# dbfread. Reads the tables once, prints "ready", then for each line "PATH"
# on stdin writes the file there and prints the seconds the writing took
# (grouping the members, building the tree, indenting, saving).
#
#   anpis_export.py DATA MM.YYYY CU1 JUDET CIF PRIMARIA
import sys
import time
import xml.etree.ElementTree as ET

from dbfread import DBF

data, month, cu1, judet, cif, primaria = sys.argv[1:7]
cu1 = float(cu1)
mm, yyyy = month.split('.')
code = int(yyyy) * 12 + int(mm) - 1
requests = sorted((r for r in DBF(data + '/Cereri.dbf', encoding='cp1250')
                   if r['LUNACRT'] == code and (r['TOTAL'] or 0) > 0), key=lambda r: r['NR_CERE'])
# The members of those requests only, as the export's query selects them.
wanted = {r['NRCRT'] for r in requests}
members = sorted((m for m in DBF(data + '/Oameni.dbf', encoding='cp1250') if m['NRCRT'] in wanted),
                 key=lambda m: (m['NRCRT'], m['NROM']))


def text(v):
    if v is None:
        return ''
    if isinstance(v, (int, float)):
        return '%.15g' % v if v else '0'
    if hasattr(v, 'strftime'):
        return v.strftime('%d.%m.%Y')
    return v


SUPPLEMENTS = [('lemne', 'SUMAL', 'CNP', None, None, None), ('electric', 'SUMAE', 'CNPE', 'FURNE', 'PODE', 'CODCLE'),
               ('gaz', 'SUMAG', 'CNPG', 'FURNG', 'PODG', 'CODCLG'), ('termica', 'SUMAT', 'CNPT', 'FURNT', None, 'CODCLT')]


def write(path):
    by_request = {}
    for m in members:
        by_request.setdefault(m['NRCRT'], []).append(m)
    root = ET.Element('date', {'judet': judet, 'cifuat': cif, 'primaria': primaria, 'nrCereri': str(len(requests)),
                               'anul': yyyy, 'luna': mm})
    previous = '%02d' % ((code - 1) % 12 + 1)
    for n, r in enumerate(requests, 1):
        kids = round(r['COPII14'] or 0) + round(r['COPII18'] or 0)
        c = ET.SubElement(root, 'cereri', {
            'idCerere': str(n), 'nrinreg': text(r['NR_CERE']), 'datareg': text(r['DATACERE']),
            'cnpt': text(r['CNP']), 'titcont': text(r['TITULAR']), 'iban': '', 'banca': '',
            'datacer': text(r['DATACERE']), 'nrcop': str(kids), 'nrmaj': str(round(r['NR_MEMBRI'] or 0) - kids)})
        ET.SubElement(c, 'cereriAdr', {
            'localitate': text(r['LOCALIT']), 'strada': text(r['ADRESA']), 'numar': '', 'bl': '', 'sc': '', 'et': '',
            'ap': '', 'sector': '', 'email': '', 'telefon': '', 'modloc': 'casa cu curte', 'nrcam': text(r['NRCAM']),
            'rjloc': 'proprietate personala', 'provloc': 'mostenire', 'tiploc': 'TIP B'})
        ET.SubElement(c, 'cereriAprb', {'nrmembri': text(r['NR_MEMBRI']), 'vt': text(r['TVENIT']),
                                        'vm': text(r['VENITM'])})
        d = ET.SubElement(c, 'drepturi')
        nrdisp, datadisp = text(r['NR_DISP']), text(r['DATADISP'])
        ET.SubElement(d, 'drepturiAI', {
            'cnpctr': text(r['CNP']), 'tipaj': 'lemne', 'furnizor': '', 'codabonat': '', 'codloc': '',
            'procent': text(r['TOTAL'] / cu1 * 100), 'valref': text(r['TOTAL']), 'nrdisp': nrdisp,
            'datadisp': datadisp})
        for tipaj, amount, cnp, furn, pod, client in SUPPLEMENTS:
            if round(r[amount] or 0) > 0:
                ET.SubElement(d, 'drepturiSup', {
                    'cnpctr': text(r[cnp]), 'tipaj': tipaj, 'furnizor': text(r[furn]) if furn else '',
                    'codabonat': text(r[pod]) if pod else '', 'codloc': text(r[client]) if client else '',
                    'suma': text(r[amount]), 'nrdisp': nrdisp, 'datadisp': datadisp})
        rows = by_request.get(r['NRCRT'], [])
        p = ET.SubElement(c, 'persoane', {'nrpersoane': str(len(rows)),
                                          'venitpers': str(sum(round(m['VENIT'] or 0) for m in rows))})
        for m in rows:
            name = text(m['TITULAR'])
            first, blank, rest = name.partition(' ')
            attrs = {'cnp': text(m['CNP']), 'nume': first if blank else '', 'prenume': rest if blank else name,
                     'tipci': 'CI', 'serie': '.', 'nrci': '.', 'elibci': 'SPCLEP'}
            head = m['CALITATE'] == 'beneficiar'
            if head:
                attrs['stareciv'] = text(r['STCIV'])
                attrs['sprof'] = text(r['SITPROF'])
            attrs['hand'] = 'NU'
            attrs['reltit'] = 'Titular' if head else text(m['CALITATE'])
            attrs['venit'] = text(m['VENIT'])
            ET.SubElement(p, 'persoaneM', attrs)
        v = ET.SubElement(c, 'venituri', {'lunav': previous, 'vt': text(r['TVENIT'])})
        ET.SubElement(v, 'venituriC', {'codv': '31', 'sumav': text(r['TVENIT'])})
    tree = ET.ElementTree(root)
    ET.indent(tree)
    tree.write(path, encoding='UTF-8', xml_declaration=True)


print('ready %d %d' % (len(requests), len(members)), flush=True)
for line in sys.stdin:
    start = time.perf_counter()
    write(line.strip())
    print(time.perf_counter() - start, flush=True)
