#pragma once

#include "FormulaTestSupport.h"

#include "xls/formula/FormulaRecord.h"
#include "xls/formula/NameRecordList.h"

#include <QMap>

#include <memory>
#include <vector>

// The formula side of a workbook file, read record by record for tests that
// compare our decoding with what other programs wrote: sheet names, the
// extern-sheet table, the defined names and each sheet's formulas (shared
// formulas expanded).
struct FixtureWorkbook
{
    struct Formula
    {
        int Sheet;
        std::unique_ptr<TFormulaRecord> Record;
    };

    explicit FixtureWorkbook(const QString &path);

    FakeReferences Refs{QStringList()};
    TNameRecordList Names;
    std::vector<Formula> Formulas;
    int StringRecords = 0;
};

// The CSV file LibreOffice exported from our file has the rows of the expected one.
void ExpectSameCsv(const QString &expectedFile, const QString &ourFile);

// LibreOffice's sheet syntax ($Sheet.A1, $'Two words'.A1) in ours (Sheet!A1, 'Two words'!A1).
QString FromLibreOfficeSyntax(const QString &text);
