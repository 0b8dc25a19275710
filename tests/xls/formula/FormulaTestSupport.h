#pragma once

#include "FakeWorkbook.h"
#include "xls/support/ErrorOf.h"
#include "xls/formula/FormulaNames.h"
#include "xls/formula/FormulaReferences.h"
#include "xls/formula/NameRecord.h"
#include "xls/formula/TokenArray.h"
#include "xls/records/SheetInfo.h"
#include "xls/storage/ExcelException.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QStringList>

#include <gtest/gtest.h>

#include <initializer_list>

// Bytes from a list of values 0..255, for annotated hex arrays in tests.
inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b += char(v & 0xFF);
    return b;
}

inline QString Hex(const QByteArray &b)
{
    return QString::fromLatin1(b.toHex(' '));
}


inline void PrintTo(const QString &s, std::ostream *os) { *os << s.toStdString(); }
inline void PrintTo(const QByteArray &b, std::ostream *os) { *os << b.toHex(' ').toStdString(); }

// A NAME record of a compressed name, sheet -1 for workbook level, with the
// given reference tokens.
inline std::unique_ptr<TNameRecord> NameRecord(const char *name, int sheet, const QByteArray &tokens = QByteArray())
{
    const int len = int(qstrlen(name));
    QByteArray d = Bytes({0, 0, 0, len, int(tokens.size()) & 0xFF, int(tokens.size()) >> 8,
                          (sheet + 1) & 0xFF, (sheet + 1) >> 8, (sheet + 1) & 0xFF, (sheet + 1) >> 8, 0, 0, 0, 0, 0});
    d += QByteArray(name) + tokens;
    return std::make_unique<TNameRecord>(TNameRecord::Id, d);
}

// Tokens with what may differ between writers of the same formula folded
// away: attributes (IF/CHOOSE jumps, whitespace) dropped, the sum attribute
// written as the SUM call it stands for, and class bits set to reference.
inline QByteArray Canonical(const QByteArray &tokens)
{
    QByteArray out;
    qsizetype pos = 0;
    while (pos < tokens.size()) {
        const qsizetype size = TokenSize(tokens, pos, tokens.size());
        QByteArray t = tokens.mid(pos, size);
        pos += size;
        if (quint8(t[0]) == 0x19) {
            if (quint8(t[1]) & 0x10)
                out += Bytes({0x22, 1, 4, 0});
            continue;
        }
        if (quint8(t[0]) >= 0x20 && quint8(t[0]) <= 0x7F)
            t[0] = char((quint8(t[0]) & 0x1F) | 0x20);
        out += t;
    }
    return out;
}


// Rows change in insSheet; the record being changed lives in formulaSheet.
inline TSheetInfo Sheets(int insSheet, int formulaSheet)
{
    TSheetInfo info;
    info.InsSheet = insSheet;
    info.FormulaSheet = formulaSheet;
    return info;
}
