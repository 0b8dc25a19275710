#pragma once

// A small workbook for the formula fuzz targets: three sheets, an extern-sheet
// table that grows on demand, two names and one array formula.
#include "xls/formula/FormulaNames.h"
#include "xls/formula/FormulaReferences.h"
#include "xls/storage/ExcelException.h"

#include <QList>
#include <QPair>
#include <QStringList>

class FuzzReferences : public TFormulaReferences
{
public:
    QString GetSheetPrefix(int externSheet) const override
    {
        if (externSheet < 0 || externSheet >= Extern.size())
            throw EExcelException(QStringLiteral("bad extern sheet"));
        return Sheets.at(Extern.at(externSheet).first) + u'!';
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
    QByteArray GetArrayRecordData(int row, int col) const override
    {
        if (row != 0 || col != 0)
            throw EExcelException(QStringLiteral("Can't find Shared Formula"));
        // range A1:A2, tokens: A1 (value class)
        return QByteArray::fromHex("000001000000000000000000050044000000c0");
    }
    QByteArray GetTableRecordData(int, int) const override
    {
        return QByteArray::fromHex("00000500010308000000010001000000");
    }

    QStringList Sheets{QStringLiteral("Sheet1"), QStringLiteral("Sheet2"), QStringLiteral("Foaie 3")};
    QList<QPair<int, int>> Extern{{0, 0}, {1, 2}};
};

class FuzzNames : public TFormulaNames
{
public:
    int NameCount() const override { return 2; }
    QString NameText(int index) const override { return index == 0 ? QStringLiteral("Total") : QStringLiteral("Baza"); }
    int NameSheet(int index) const override { return index - 1; }
};
