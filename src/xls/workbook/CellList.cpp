#include "xls/workbook/CellList.h"

#include "xls/formula/FormulaRecord.h"
#include "xls/formula/ParseString.h"
#include "xls/formula/TokenArray.h"
#include "xls/formula/ShrFmlaRecordList.h"
#include "xls/records/CellRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/SheetInfo.h"
#include "xls/workbook/SST.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/records/SheetRecords.h"
#include "xls/storage/ExcelException.h"
#include "xls/storage/GatheringDevice.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>

using XlsDetail::Downcast;

namespace {

constexpr int RowBlock = 32;
constexpr int MaxRow = 65535;
constexpr int MaxCol = 255;

// The rows (or columns) that count copies of first..last add, 0 for none.
// Refuses before anything changes when what lies from dest on would be
// pushed past max.
int InsertedBand(int first, int last, int dest, int count, int used, int max)
{
    const int band = (last - first + 1) * count;
    if (band <= 0)
        return 0;
    if (used > dest && used - 1 + band > max)
        XlsRaise(XlsMsg::InvalidInsertArgs);
    return band;
}

// Calls fn(cell, row, index) for every cell record of class T in the rows.
template <class T, class Rows, class Fn>
void ForEachCellOf(Rows &rows, Fn fn)
{
    for (auto &row : rows) {
        if (!row)
            continue;
        for (int i = 0; i < row->Count(); ++i)
            if (row->Items(i)->RecordId() == T::Id)
                fn(*static_cast<T *>(row->Items(i)), *row, i);
    }
}

// The cell at row, col of the rows, or null. Inline: GetCellValue comes
// through it once per cell a caller reads.
inline TCellRecord *CellOf(const std::vector<std::unique_ptr<TCellRecordList>> &rows, int row, int col)
{
    if (row < 0 || row >= int(rows.size()) || !rows[size_t(row)])
        return nullptr;
    TCellRecordList &cells = *rows[size_t(row)];
    int index = 0;
    return cells.Find(col, index) ? cells.ItemAt(index) : nullptr;
}

}  // namespace

TCellList::TCellList(TSST *sst) : FSST(sst) {}

TCellList::~TCellList() = default;

TCellRecordList &TCellList::RowCells(int row)
{
    if (row >= int(FCells.size()))
        FCells.resize(size_t(row) + 1);
    auto &slot = FCells[size_t(row)];
    if (!slot) {
        slot = std::make_unique<TCellRecordList>();
        // Rows of a sheet are mostly of one width: room for as many cells as
        // the row above spares the regrowing (and its slack) on the way.
        if (row > 0 && FCells[size_t(row) - 1])
            slot->Reserve(FCells[size_t(row) - 1]->Count());
    }
    return *slot;
}

void TCellList::AddCellRecord(std::unique_ptr<TCellRecord> cell)
{
    // A sheet has 256 columns; a cell beyond them could never be moved or written right.
    if (cell->Column() > MaxCol)
        XlsRaise(XlsMsg::FileInvalid);
    const int row = cell->Row();
    Widen(row, cell->Column());
    RowCells(row).Add(std::move(cell));
}

void TCellList::AddCellRecords(std::vector<std::unique_ptr<TCellRecord>> &cells)
{
    // The cells of a run share their row: it is looked up once.
    TCellRecordList *list = nullptr;
    int listRow = -1;
    for (auto &cell : cells) {
        const int row = cell->Row();
        const int col = cell->Column();
        if (col > MaxCol)
            XlsRaise(XlsMsg::FileInvalid);
        Widen(row, col);
        if (row != listRow) {
            list = &RowCells(row);
            listRow = row;
        }
        list->Add(std::move(cell));
    }
    cells.clear();
}

void TCellList::AddRowRecord(std::unique_ptr<TBaseRecord> row)
{
    AddRowRecord(Downcast<TRowRecord>(std::move(row)));
}

void TCellList::AddRowRecord(std::unique_ptr<TRowRecord> record)
{
    if (record->Column() > MaxCol)
        XlsRaise(XlsMsg::FileInvalid);
    FRows.AddRecord(std::move(record));
}

void TCellList::SortAll()
{
    // Files list cells in column order; only rows that are not get sorted
    // now (lookups sort a row themselves when they first need it).
    for (auto &row : FCells) {
        if (!row)
            continue;
        for (int i = 1; !row->Sorted() && i < row->Count(); ++i) {
            if (row->Items(i)->Column() < row->Items(i - 1)->Column()) {
                row->Sort();
                break;
            }
        }
        DropOverwrittenCells(*row);
    }
}

// Some writers put a cell twice, a blank first and its text later: the later
// record is the cell, as other readers show it, and the only one written back.
// The row is in column order, equal columns in file order.
void TCellList::DropOverwrittenCells(TCellRecordList &row)
{
    for (int i = row.Count() - 1; i > 0; --i)
        if (row.Items(i - 1)->Column() == row.Items(i)->Column())
            row.Delete(i - 1);
}

void TCellList::MeasureExtent() const
{
    if (FExtentKnown)
        return;
    FCellRows = FCellCols = 0;
    for (int r = 0; r < int(FCells.size()); ++r) {
        const auto &row = FCells[size_t(r)];
        if (!row || row->Count() == 0)
            continue;
        FCellRows = r + 1;
        for (int i = 0; i < row->Count(); ++i)  // a row may not be sorted yet
            FCellCols = std::max(FCellCols, row->Items(i)->Column() + 1);
    }
    FExtentKnown = true;
}

int TCellList::RowCount() const
{
    MeasureExtent();
    return std::max(FRows.Count(), FCellRows);
}

int TCellList::ColCount() const
{
    MeasureExtent();
    return FCellCols;
}

const TCellRecordList *TCellList::RowCells(int row) const
{
    if (row < 0 || row >= int(FCells.size()) || !FCells[size_t(row)] || FCells[size_t(row)]->Count() == 0)
        return nullptr;
    TCellRecordList *cells = FCells[size_t(row)].get();
    if (!cells->Sorted())
        cells->Sort();
    return cells;
}

TCellRecord *TCellList::Cell(int row, int col) const
{
    return CellOf(FCells, row, col);
}

QVariant TCellList::CellValue(int row, int col) const
{
    const TCellRecord *cell = CellOf(FCells, row, col);
    if (!cell)
        return {};
    if (cell->RecordId() == TLabelSSTRecord::Id)  // most text cells: no cast to ask
        return FSST->Text(static_cast<const TLabelSSTRecord *>(cell)->SSTIndex());
    return cell->GetValue();
}

void TCellList::RemoveCell(int row, int col)
{
    if (row >= int(FCells.size()) || !FCells[size_t(row)])
        return;
    TCellRecordList &cells = *FCells[size_t(row)];
    int index = 0;
    if (cells.Find(col, index))
        RemoveAt(cells, index, row, col);
}

void TCellList::RemoveAt(TCellRecordList &cells, int index, int row, int col)
{
    cells.Delete(index);
    // Only a cell on the edge of the used range narrows it.
    if (row + 1 == FCellRows || col + 1 == FCellCols)
        ForgetExtent();
}

void TCellList::CheckPosition(int row, int col)
{
    if (row < 0 || row > MaxRow)
        XlsRaise(XlsMsg::InvalidRow(row));
    if (col < 0 || col > MaxCol)
        XlsRaise(XlsMsg::InvalidColumn(col));
}

void TCellList::PutCell(std::unique_ptr<TCellRecord> cell)
{
    const int row = cell->Row(), col = cell->Column();
    RemoveCell(row, col);
    Widen(row, col);
    TCellRecordList &cells = RowCells(row);
    int index = 0;
    cells.Find(col, index);
    cells.Insert(index, std::move(cell));
    FModified = true;
}

void TCellList::SetFormula(int row, int col, const QString &formula, const QVariant &value,
                           TFormulaReferences &references, const TFormulaNames *names)
{
    CheckPosition(row, col);
    const TCellRecord *old = Cell(row, col);
    const int xf = old ? old->XF() : 15;
    TParseString parsed(formula, fmValue, &references, names);
    parsed.Parse();
    QByteArray data = TCellRecord::NewCellData(row, col, xf, parsed.TotalSize() + 20);
    parsed.CopyToPtr(data, 20);
    auto cell = Downcast<TFormulaRecord>(CreateRecord(TFormulaRecord::Id, data));
    // Only numbers and booleans stand as a formula's result until recalculated.
    const int type = value.typeId();
    cell->SetFormulaValue(type == QMetaType::Bool || type == QMetaType::Double || type == QMetaType::Int
                                  || type == QMetaType::LongLong
                              ? value
                              : QVariant());
    PutCell(std::move(cell));
}

void TCellList::RedirectForSheetCopy(const TSheetInfo &info)
{
    ForEachCellOf<TFormulaRecord>(FCells, [&](const TFormulaRecord &formula, TCellRecordList &row, int i) {
        const qsizetype end = TFormulaRecord::TokenOffset + formula.TokenBytes();
        if (formula.Continue() || end > formula.Data().size())
            return;
        QByteArray data = formula.Data();
        try {
            ShiftTokensForSheetCopy(data, TFormulaRecord::TokenOffset, end, info);
        } catch (const EExcelException &) {
            return;
        }
        if (data == formula.Data())
            return;
        // The tokens are the record's own bytes: a new record takes them,
        // with the result and the records that come with the formula.
        auto fresh = Downcast<TFormulaRecord>(CreateRecord(TFormulaRecord::Id, data));
        fresh->SetFormulaValue(formula.Value());
        if (formula.TableRecord())
            fresh->SetTableRecord(Downcast<TTableRecord>(formula.TableRecord()->Clone()));
        if (formula.ArrayRecord())
            fresh->SetArrayRecord(Downcast<TArrayRecord>(formula.ArrayRecord()->Clone()));
        row.SetItem(i, std::move(fresh));
    });
}

void TCellList::ShiftAllCells(int rowPos, int rowCount, const TSheetInfo &info, int colCount,
                              int colPos)
{
    ForgetExtent();
    for (auto &row : FCells)
        if (row)
            row->ShiftAllForInsert(rowPos, rowCount, info, colCount, colPos);
}

void TCellList::SetCellValue(int row, int col, const QVariant &value, int xf)
{
    SetCellValue(row, col, value);
    if (xf >= 0)
        SetCellFormat(row, col, xf);
}

void TCellList::SetCellRichText(int row, int col, const TExcelString &text, int xf)
{
    CheckPosition(row, col);
    const TCellRecord *old = Cell(row, col);
    const int format = xf >= 0 ? xf : old ? old->XF() : 15;
    PutCell(TLabelSSTRecord::NewLabelSST(row, col, format, FSST->AddRichString(text)));
}

void TCellList::SetCellFormat(int row, int col, int xf)
{
    CheckPosition(row, col);
    if (TCellRecord *cell = Cell(row, col)) {
        cell->SetXF(xf);
        FModified = true;
    } else {
        PutCell(TBlankRecord::NewBlank(row, col, xf));
    }
}

std::unique_ptr<TCellRecord> TCellList::ValueCell(int row, int col, int xf, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return xf != 15 ? TBlankRecord::NewBlank(row, col, xf) : nullptr;
    case QMetaType::Bool: {
        QByteArray data = TCellRecord::NewCellData(row, col, xf, 8);
        data[6] = value.toBool() ? 1 : 0;
        return Downcast<TCellRecord>(CreateRecord(TBoolErrRecord::Id, data));
    }
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const double number = value.toDouble();
        quint32 rk = 0;
        if (TRKRecord::EncodeRK(number, rk))
            return TRKRecord::NewRK(row, col, xf, rk);
        return TNumberRecord::NewNumber(row, col, xf, number);
    }
    default: {
        const QString text = value.toString();
        if (!text.isEmpty())
            return TLabelSSTRecord::NewLabelSST(row, col, xf, FSST->AddString(text));
        return xf != 15 ? TBlankRecord::NewBlank(row, col, xf) : nullptr;
    }
    }
}

void TCellList::SetCellValue(int row, int col, const QVariant &value)
{
    CheckPosition(row, col);
    const TCellRecord *old = Cell(row, col);
    if (auto cell = ValueCell(row, col, old ? old->XF() : 15, value)) {
        PutCell(std::move(cell));
    } else {
        RemoveCell(row, col);
        FModified = true;
    }
}

void TCellList::SetRowValues(int row, const TRowValues &values, int colOffset)
{
    for (const TColumnValue &v : values)
        CheckPosition(row, v.Col + colOffset);
    if (values.empty())
        return;
    TCellRecordList *cells = row < int(FCells.size()) ? FCells[size_t(row)].get() : nullptr;
    bool roomMade = false;
    for (size_t k = 0; k < values.size(); ++k) {
        const TColumnValue &v = values[k];
        const int col = v.Col + colOffset;
        int index = 0;
        const bool found = cells && cells->Find(col, index);
        const int xf = v.Xf >= 0 ? v.Xf : found ? cells->Items(index)->XF() : 15;
        auto cell = ValueCell(row, col, xf, v.Value);
        if (!cell) {
            if (found)
                RemoveAt(*cells, index, row, col);
        } else if (found) {
            cells->SetItem(index, std::move(cell));
        } else {
            if (!cells)
                cells = &RowCells(row);
            // The first new cell makes room for every value still to come:
            // a filled row grows once, to its size, not by doubling.
            if (!roomMade) {
                cells->Reserve(cells->Count() + int(values.size() - k));
                roomMade = true;
            }
            Widen(row, col);
            cells->Insert(index, std::move(cell));
        }
    }
    FModified = true;
}

void TCellList::MarkStrings(std::vector<bool> &used, quint32 &refs) const
{
    ForEachCellOf<TLabelSSTRecord>(FCells, [&](const TLabelSSTRecord &label, TCellRecordList &, int) {
        const quint32 index = label.SSTIndex();
        if (index >= used.size())
            XlsRaise(XlsMsg::FileInvalid);
        used[index] = true;
        ++refs;
    });
}

void TCellList::RemapStrings(const std::vector<quint32> &newIndex)
{
    ForEachCellOf<TLabelSSTRecord>(FCells, [&](TLabelSSTRecord &label, TCellRecordList &, int) {
        if (label.SSTIndex() != newIndex[label.SSTIndex()])
            label.SetSSTIndex(newIndex[label.SSTIndex()]);
    });
}

void TCellList::UsedRange(int &firstRow, int &lastRowPlus1, int &firstCol, int &lastColPlus1) const
{
    firstRow = -1;
    lastRowPlus1 = 0;
    firstCol = MaxCol + 1;
    lastColPlus1 = 0;
    for (int r = 0; r < int(FCells.size()); ++r) {
        const auto &row = FCells[size_t(r)];
        if (!row || row->Count() == 0)
            continue;
        if (firstRow < 0)
            firstRow = r;
        lastRowPlus1 = r + 1;
        firstCol = std::min(firstCol, row->Items(0)->Column());
        lastColPlus1 = std::max(lastColPlus1, row->Items(row->Count() - 1)->Column() + 1);
    }
    if (firstRow < 0) {
        firstRow = 0;
        firstCol = 0;
    }
}

void TCellList::CoverCellsWithRows()
{
    const int rows = std::min<int>(FRows.Count(), int(FCells.size()));
    for (int r = 0; r < rows; ++r) {
        const TCellRecordList *cells = std::as_const(*this).RowCells(r);
        if (!cells || !FRows.HasRow(r))
            continue;
        TRowRecord *row = FRows.RowRecord(r);
        const int first = std::min(row->FirstColumn(), cells->Items(0)->Column());
        const int lastPlus1 = std::max(row->LastColumnPlus1(), cells->Items(cells->Count() - 1)->Column() + 1);
        if (first != row->FirstColumn() || lastPlus1 != row->LastColumnPlus1())
            row->SetColumns(first, lastPlus1);
    }
}

qint64 TCellList::WriteBlocks(TGatheringDevice *out) const
{
    qint64 total = 0;
    const int rows = std::max<int>(FRows.Count(), int(FCells.size()));
    for (int block = 0; block < rows; block += RowBlock) {
        const int last = std::min(block + RowBlock, rows) - 1;
        for (int r = block; r <= last; ++r) {
            if (!FRows.HasRow(r))
                continue;
            if (out)
                FRows.Items(r)->SaveTo(*out);
            total += FRows.Items(r)->TotalSize();
        }
        for (int r = block; r <= last && r < int(FCells.size()); ++r) {
            const auto &cells = FCells[size_t(r)];
            if (!cells)
                continue;
            // Written, a row is not measured as well: the size is what the writer counts.
            if (out)
                cells->SaveRangeTo(*out, 0, 0, MaxCol, MaxRow);
            else
                total += cells->TotalSize();
        }
    }
    return total;
}

qint64 TCellList::TotalSize() const
{
    return WriteBlocks(nullptr);
}

void TCellList::SaveToStream(QIODevice &stream) const
{
    WriteGathered(stream, [this](TGatheringDevice &out) { WriteBlocks(&out); });
}

void TCellList::CopyCellsFrom(const TCellList &other)
{
    ForgetExtent();
    FRows.Clear();
    FRows.CopyFrom(other.FRows);
    FCells.clear();
    for (const auto &row : other.FCells) {
        FCells.emplace_back();
        if (row) {
            FCells.back() = std::make_unique<TCellRecordList>();
            FCells.back()->CopyFrom(*row);
        }
    }
}

void TCellList::InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count,
                                  const TSheetInfo &info)
{
    const int band = InsertedBand(firstRow, lastRow, destRow, count, RowCount(), MaxRow);
    if (band == 0)
        return;
    FRows.InsertAndCopyRows(firstRow, lastRow, destRow, count, info);
    // Cells above the band stay where they are, but their formulas may point below it.
    ShiftAllCells(destRow, band, info, 0, 0);
    if (destRow < int(FCells.size())) {
        std::vector<std::unique_ptr<TCellRecordList>> gap(static_cast<size_t>(band));
        FCells.insert(FCells.begin() + destRow, std::make_move_iterator(gap.begin()),
                      std::make_move_iterator(gap.end()));
    }
    // Sources below the insertion point have just moved down by the band.
    const int sourceShift = firstRow >= destRow ? band : 0;
    int dest = destRow;
    for (int k = 0; k < count; ++k) {
        for (int r = firstRow; r <= lastRow; ++r, ++dest) {
            const int src = r + sourceShift;
            if (src >= int(FCells.size()) || !FCells[size_t(src)])
                continue;
            auto copy = std::make_unique<TCellRecordList>();
            copy->CopyFrom(*FCells[size_t(src)]);
            copy->OffsetAllForCopy(dest - src, 0);
            if (dest >= int(FCells.size()))
                FCells.resize(size_t(dest) + 1);
            FCells[size_t(dest)] = std::move(copy);
        }
    }
    FModified = true;
    ForgetExtent();
}

void TCellList::DeleteRows(int row, int count, const TSheetInfo &info)
{
    if (count <= 0)
        return;
    FRows.DeleteRows(row, count, info);
    if (row < int(FCells.size())) {
        const int end = std::min<int>(row + count, int(FCells.size()));
        FCells.erase(FCells.begin() + row, FCells.begin() + end);
    }
    // The rows below move up; formulas anywhere follow.
    ShiftAllCells(row, -count, info, 0, 0);
    FModified = true;
    ForgetExtent();
}

void TCellList::InsertAndCopyCols(int firstCol, int lastCol, int destCol, int count,
                                  const TSheetInfo &info)
{
    const int band = InsertedBand(firstCol, lastCol, destCol, count, ColCount(), MaxCol);
    if (band == 0)
        return;
    const int sourceShift = firstCol >= destCol ? band : 0;
    for (auto &row : FCells) {
        if (!row)
            continue;
        row->ShiftAllForInsert(65536, 0, info, band, destCol);
        std::vector<std::unique_ptr<TBaseRecord>> copies;
        for (int i = 0; i < row->Count(); ++i) {
            const int col = row->Items(i)->Column() - sourceShift;
            if (col < firstCol || col > lastCol)
                continue;
            for (int k = 0; k < count; ++k) {
                auto copy = row->Items(i)->Clone();
                const int dest = destCol + k * (lastCol - firstCol + 1) + (col - firstCol);
                copy->OffsetForCopy(0, dest - row->Items(i)->Column());
                copies.push_back(std::move(copy));
            }
        }
        for (auto &copy : copies)
            row->Add(Downcast<TCellRecord>(std::move(copy)));
        row->Sort();
    }
    FModified = true;
    ForgetExtent();
}

void TCellList::DeleteCols(int col, int count, const TSheetInfo &info)
{
    if (count <= 0)
        return;
    for (auto &row : FCells) {
        if (!row)
            continue;
        for (int i = row->Count() - 1; i >= 0; --i) {
            const int c = row->Items(i)->Column();
            if (c >= col && c < col + count)
                row->Delete(i);
        }
        row->ShiftAllForInsert(65536, 0, info, -count, col);
    }
    FModified = true;
    ForgetExtent();
}

void TCellList::ExpandSharedFormulas(TShrFmlaRecordList &sharedFormulas)
{
    if (sharedFormulas.Count() == 0)
        return;
    ForEachCellOf<TFormulaRecord>(FCells, [&](TFormulaRecord &formula, TCellRecordList &row, int) {
        quint32 key = 0;
        int index = 0;
        if (formula.IsSharedFormulaReference(key) && sharedFormulas.Find(key, index))
            row.AdjustTotalSize(formula.ExpandSharedFormula(*sharedFormulas.Items(index)));
    });
}
