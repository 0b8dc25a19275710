#!/usr/bin/python3
"""Checks a treasury package against its own reading of the request table.

Usage: treasury_expected.py <Cereri.dbf> <package folder> <params.json>
params: month (code), codes (["073", "074"]), locality ("" for all), first,
last (letters), county, fiscal, kind, uat, date ("dd.mm.yyyy").
Prints "ok" or what differs. Written apart from the program: dbfread reads
both tables, the rules are spelled out here again.
"""
import json
import os
import sys
from decimal import Decimal, ROUND_HALF_UP

from dbfread import DBF

ALPHABET = "AĂÂBCDEFGHIÎJKLMNOPQRSŞTŢUVWXYZ"
LETTERS = "A B C D E F G H I J K L M N O P R S T U V Z".split()
CAPTIONS = {
    "073": "073 - Ajutorul pentru incalzirea locuintei combustibili solizi/petrolieri"
           " - Legea nr.226/2021, art. 6 alin.(2) lit.d) ",
    "074": "074 - Supliment combustibili solizi/petrolieri - Legea nr.226/2021, art. 25 alin.(1) lit.d) ",
}


def rank(ch):
    up = ch.upper().replace("Ș", "Ş").replace("Ț", "Ţ")
    return ALPHABET.index(up) if up in ALPHABET else -1


def sort_key(name):
    # Romanian order, case only as the last word.
    return ([rank(c) if rank(c) >= 0 else 100 + ord(c) for c in name], [c.isupper() for c in name])


def in_range(name, first, last):
    if not name:
        return False
    r = rank(name[0])
    if r < rank(first):
        return False
    i = LETTERS.index(last)
    return i + 1 == len(LETTERS) or r < rank(LETTERS[i + 1])


def expected_rows(cereri, p):
    out = []
    for code in p["codes"]:
        field = "TOTAL" if code == "073" else "SUMAL"
        rows = []
        for r in cereri:
            if r["LUNACRT"] != p["month"] or r["STATUT"] not in ("APROBAT", "MODIFICAT"):
                continue
            if not r[field] or r[field] <= 0:
                continue
            loc = p["locality"]
            if loc and (r["LOCALIT"] or "").rstrip() != loc and not (r["ADRESA"] or "").startswith(loc):
                continue
            if not in_range(r["TITULAR"] or "", p["first"], p["last"]):
                continue
            rows.append(r)
        rows.sort(key=lambda r: sort_key(r["TITULAR"]))
        for r in rows:
            out.append({"CODJUD": p["county"], "CODFISC": p["fiscal"], "CNP": r["CNP"], "CODAJUT": code,
                        "NUMEPREN": r["TITULAR"], "NRPERS": int(r["NR_MEMBRI"] or 0),
                        "SUMA": str(Decimal(str(r[field])).quantize(Decimal("0.01"), ROUND_HALF_UP))})
    return out


def totals_text(rows, p):
    d, m, y = p["date"].split(".")
    lines = [" %s %s    %s %s" % (p["county"], p["fiscal"], p["kind"], p["uat"].upper()),
             " Data Trezor:  %s-%s-%s" % (d, m, y), " ", " ",
             "   Cod      Nr      Suma totala",
             " Ajutor  titulari    / ajutor          Denumire ajutor", "_" * 70]
    count, total = 0, Decimal(0)
    for code in p["codes"]:
        sums = [Decimal(r["SUMA"]) for r in rows if r["CODAJUT"] == code]
        s = sum(sums, Decimal(0))
        lines.append(" " + code + str(len(sums)).rjust(12) + ("%.2f" % s).rjust(15) + "   -" + CAPTIONS[code])
        count += len(sums)
        total += s
    lines += ["_" * 70, " Total:" + str(count).rjust(9) + ("%.2f" % total).rjust(15)]
    return ("\r\n".join(lines) + "\r\n").encode("cp1250")


def main():
    cereri_path, folder, params = sys.argv[1], sys.argv[2], json.load(open(sys.argv[3]))
    cereri = list(DBF(cereri_path, encoding="cp1250"))
    want = expected_rows(cereri, params)
    d, m, y = params["date"].split(".")
    name = "%s%s_%s-%s-%s.dbf" % (params["county"].rjust(2, "0"), params["fiscal"], d, m, y)
    path = os.path.join(folder, name)
    got = []
    for r in DBF(path, encoding="cp1250"):
        if r["DTPLATCRT"].strftime("%d.%m.%Y") != params["date"] or r["DATA_PREL"] != r["DTPLATCRT"]:
            print("date of", r["NUMEPREN"], r["DTPLATCRT"], r["DATA_PREL"])
            return
        got.append({"CODJUD": r["CODJUD"], "CODFISC": r["CODFISC"], "CNP": r["CNP"], "CODAJUT": r["CODAJUT"],
                    "NUMEPREN": r["NUMEPREN"], "NRPERS": int(r["NRPERS"]),
                    "SUMA": str(Decimal(str(r["SUMA"])).quantize(Decimal("0.01")))})
    if got != want:
        print("rows differ:\n got  %s\n want %s" % (json.dumps(got, ensure_ascii=False), json.dumps(want, ensure_ascii=False)))
        return
    with open(os.path.join(folder, "StatTo_" + name[:-3] + "txt"), "rb") as f:
        text = f.read()
    if text != totals_text(want, params):
        print("totals differ:\n got  %r\n want %r" % (text, totals_text(want, params)))
        return
    print("ok")


if __name__ == "__main__":
    main()
