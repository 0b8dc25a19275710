#pragma once

// The workbook of the formula fuzz targets: three sheets, an extern-sheet
// table that grows on demand, two names, and an array and a table formula at A1.
#include "../tests/xls/formula/FakeWorkbook.h"

class FuzzReferences : public FakeReferences
{
public:
    FuzzReferences()
    {
        Extern = {{0, 0}, {1, 2}};
        // range A1:A2, tokens: A1 (value class)
        Arrays.insert(0, QByteArray::fromHex("000001000000000000000000050044000000c0"));
        Tables.insert(0, QByteArray::fromHex("00000500010308000000010001000000"));
    }
};

class FuzzNames : public FakeNames
{
public:
    FuzzNames() { Entries = {{QStringLiteral("Total"), -1}, {QStringLiteral("Baza"), 0}}; }
};
