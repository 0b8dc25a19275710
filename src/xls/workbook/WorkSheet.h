#pragma once

#include "xls/formula/ShrFmlaRecordList.h"
#include "xls/records/PlainCellReader.h"
#include "xls/workbook/CellList.h"
#include "xls/workbook/Sheet.h"

class TFormulaRecord;
class TSST;

// A worksheet: its records, with the cells (ROW and cell records) held in a
// TCellList that is written where the first of them stood.
class TWorkSheet : public TSheet
{
public:
    explicit TWorkSheet(TSST *sst);

    TCellList &Cells() { return FCells; }
    const TCellList &Cells() const { return FCells; }

    std::unique_ptr<TSheet> Clone() const override;
    TWorkSheet *AsWorkSheet() override { return this; }
    // A copy whose text cells use another workbook's shared-string table.
    std::unique_ptr<TWorkSheet> CloneFor(TSST *sst) const;

    // Brings DIMENSIONS up to date after the cells changed.
    void UpdateDimensions();

protected:
    void LoadRecord(std::unique_ptr<TBaseRecord> record) override;
    // ROW records and plain cells (numbers, texts, blanks, their runs): most
    // of a sheet.
    bool LoadRecordInPlace(ByteCursor &stream) override;
    void LoadFinished() override;
    void CopyFrom(const TSheet &other) override;

private:
    void PlaceCells();

    TSST *FSST;
    TCellList FCells;
    // Shared formulas read with the sheet; their cells get the tokens on load,
    // so these are not written again.
    TShrFmlaRecordList FShrFmlas;
    bool FCellsPlaced = false;
    TFormulaRecord *FLastFormula = nullptr;
    // While loading: the reader of the cell block and the cells of its last record.
    std::unique_ptr<TPlainCellReader> FPlainCells;
    TCellRecordVector FCellsRead;
};
