#pragma once

// Free of the test framework, so the fuzz targets use the same workbook.
#include "xls/formula/FormulaNames.h"
#include "xls/formula/FormulaReferences.h"
#include "xls/storage/ExcelException.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QStringList>

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
        QString text = Sheets.value(first);
        if (last != first)
            text += u':' + Sheets.value(last);
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
    QString GetSheetName(int sheet) const override { return Sheets.value(sheet); }
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
