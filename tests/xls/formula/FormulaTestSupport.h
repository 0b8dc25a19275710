#pragma once

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

// A workbook as the formula code sees it: named sheets, an extern-sheet
// table that grows on demand, and array/table records by cell.
class FakeReferences : public TFormulaReferences
{
public:
    explicit FakeReferences(QStringList sheets = {QStringLiteral("Sheet1"), QStringLiteral("Sheet2"),
                                                  QStringLiteral("Foaie 3")})
        : Sheets(std::move(sheets)) {}

    QString GetSheetPrefix(int externSheet) const override
    {
        if (externSheet < 0 || externSheet >= Extern.size())
            throw EExcelException(QStringLiteral("bad extern sheet %1").arg(externSheet));
        const auto [first, last] = Extern.at(externSheet);
        QString text = Sheets.at(first);
        if (last != first)
            text += u':' + Sheets.at(last);
        if (text.contains(u' '))
            text = u'\'' + text + u'\'';
        return text + u'!';
    }
    int GetSheetIndex(QStringView name) const override
    {
        for (int i = 0; i < Sheets.size(); ++i)
            if (name.compare(Sheets.at(i), Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    QString GetSheetName(int sheet) const override { return Sheets.at(sheet); }
    int AddExternSheet(int first, int last) override
    {
        const int found = Extern.indexOf(qMakePair(first, last));
        if (found >= 0)
            return found;
        Extern.append(qMakePair(first, last));
        return int(Extern.size()) - 1;
    }
    QByteArray GetArrayRecordData(int row, int col) const override { return Lookup(Arrays, row, col); }
    QByteArray GetTableRecordData(int row, int col) const override { return Lookup(Tables, row, col); }

    QStringList Sheets;
    QList<QPair<int, int>> Extern;
    QHash<quint32, QByteArray> Arrays;
    QHash<quint32, QByteArray> Tables;

private:
    static QByteArray Lookup(const QHash<quint32, QByteArray> &map, int row, int col)
    {
        auto it = map.constFind(quint32(row) | (quint32(col) << 16));
        if (it == map.constEnd())
            throw EExcelException(QStringLiteral("Can't find Shared Formula"));
        return *it;
    }
};

class FakeNames : public TFormulaNames
{
public:
    struct Entry { QString Text; int Sheet; };
    QList<Entry> Entries;
    int NameCount() const override { return int(Entries.size()); }
    QString NameText(int index) const override { return Entries.at(index).Text; }
    int NameSheet(int index) const override { return Entries.at(index).Sheet; }
};

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
