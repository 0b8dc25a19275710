#include "xls/workbook/WorkSheet.h"

#include "xls/formula/FormulaRecord.h"
#include "xls/formula/ShrFmlaRecord.h"
#include "xls/records/CellRecords.h"
#include "xls/records/SheetRecords.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

using namespace XlsDetail;

namespace {

bool IsCellId(quint16 id)
{
    switch (id) {
    case XlsIds::Formula: case XlsIds::LabelSST: case XlsIds::Blank: case XlsIds::Number:
    case XlsIds::Label: case XlsIds::BoolErr: case XlsIds::RK: case XlsIds::RString:
        return true;
    default:
        return false;
    }
}

}  // namespace

TWorkSheet::TWorkSheet(TSST *sst) : FSST(sst), FCells(sst) {}

void TWorkSheet::PlaceCells()
{
    if (FCellsPlaced)
        return;
    FRecords.Add(std::make_unique<TSubListRecord>(&FCells));
    FCellsPlaced = true;
}

void TWorkSheet::LoadRecord(std::unique_ptr<TBaseRecord> record)
{
    const quint16 id = record->RecordId();
    if (IsCellId(id)) {
        PlaceCells();
        if (!record->AsCell())  // a class registered for the id that is no cell
            RaiseFileInvalid();
        std::unique_ptr<TCellRecord> cell(record.release()->AsCell());
        FLastFormula = id == XlsIds::Formula ? dynamic_cast<TFormulaRecord *>(cell.get()) : nullptr;
        FCells.AddCellRecord(std::move(cell));
        return;
    }
    if (id == XlsIds::MulRK || id == XlsIds::MulBlank) {
        PlaceCells();
        FLastFormula = nullptr;
        TCellRecordVector cells = dynamic_cast<TMultipleCellRecord &>(*record).SplitToCells();
        for (auto &cell : cells)
            FCells.AddCellRecord(std::move(cell));
        return;
    }
    if (id == XlsIds::Row) {
        PlaceCells();
        FCells.AddRowRecord(std::move(record));
        return;
    }
    if (id == XlsIds::String || id == XlsIds::ShrFmla) {
        // Both belong to the formula just read; anything else before them is a bad file.
        if (!FLastFormula)
            XlsRaise(XlsMsg::FileInvalid);
        if (auto *text = dynamic_cast<TStringRecord *>(record.get()))
            FLastFormula->SetFormulaValue(text->Text());
        else if (auto *shared = dynamic_cast<TShrFmlaRecord *>(record.get())) {
            shared->Key = quint32(FLastFormula->Row()) + quint32(FLastFormula->Column()) * 65536u;
            record.release();
            FShrFmlas.Add(std::unique_ptr<TShrFmlaRecord>(shared));
        } else {
            XlsRaise(XlsMsg::FileInvalid);
        }
        return;
    }
    FRecords.Add(std::move(record));
}

bool TWorkSheet::LoadRecordInPlace(ByteCursor &stream)
{
    if (!FPlainCells)
        FPlainCells = std::make_unique<TPlainCellReader>();
    std::unique_ptr<TRowRecord> row;
    if (!FPlainCells->Read(stream, FCellsRead, row))
        return false;
    PlaceCells();
    // The cell block is mostly such records: read on while they come.
    do {
        // As LoadRecord takes a ROW or a cell record.
        if (row) {
            FCells.AddRowRecord(std::move(row));
        } else {
            FLastFormula = nullptr;
            FCells.AddCellRecords(FCellsRead);
        }
    } while (FPlainCells->Read(stream, FCellsRead, row));
    return true;
}

void TWorkSheet::LoadFinished()
{
    FPlainCells.reset();
    FCellsRead = TCellRecordVector();
    // A sheet without cells still needs its place for cells added later: just
    // before WINDOW2 (the cell block ends before the sheet's view settings).
    if (!FCellsPlaced) {
        int at = FindRecord(FRecords, XlsIds::Window2);
        if (at < 0)
            at = FRecords.Count() - 1;
        FRecords.Insert(at, std::make_unique<TSubListRecord>(&FCells));
        FCellsPlaced = true;
    }
    FCells.SortAll();
    FCells.ExpandSharedFormulas(FShrFmlas);
    FLastFormula = nullptr;
}

void TWorkSheet::UpdateDimensions()
{
    const int i = FindRecord(FRecords, XlsIds::Dimensions);
    if (i < 0 || FRecords.Items(i)->DataSize() < 14)
        return;
    int firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
    FCells.UsedRange(firstRow, lastRow, firstCol, lastCol);
    QByteArray data = FRecords.Items(i)->Data();
    WriteCardinal(data, 0, quint32(firstRow));
    WriteCardinal(data, 4, quint32(lastRow));
    WriteWord(data, 8, quint16(firstCol));
    WriteWord(data, 10, quint16(lastCol));
    if (data != FRecords.Items(i)->Data())
        ReplaceData(FRecords, i, data);
}

void TWorkSheet::CopyFrom(const TSheet &other)
{
    const auto &sheet = dynamic_cast<const TWorkSheet &>(other);
    for (int i = 0; i < sheet.FRecords.Count(); ++i) {
        const TBaseRecord *record = sheet.FRecords.Items(i);
        if (dynamic_cast<const TSubListRecord *>(record))
            FRecords.Add(std::make_unique<TSubListRecord>(&FCells));
        else
            FRecords.Add(record ? record->Clone() : nullptr);
    }
    FCellsPlaced = true;
    FCells.CopyCellsFrom(sheet.FCells);
}

std::unique_ptr<TSheet> TWorkSheet::Clone() const
{
    return CloneFor(FSST);
}

std::unique_ptr<TWorkSheet> TWorkSheet::CloneFor(TSST *sst) const
{
    auto copy = std::make_unique<TWorkSheet>(sst);
    copy->CopyFrom(*this);
    return copy;
}
