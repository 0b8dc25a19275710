#include "xls/records/RowColRecord.h"

#include "xls/records/CellPool.h"

#include "xls/records/SheetInfo.h"
#include "xls/storage/ByteUtils.h"

#include <QIODevice>

namespace {
constexpr int MaxRow = 65535;
constexpr int MaxColumn = 255;
} // namespace

TBaseRowColRecord::TBaseRowColRecord(quint16 id, QByteArray data, int minSize)
    : TBaseRecord(id, std::move(data))
{
    RequireDataSize(qMax(4, minSize));
}

TBaseRowColRecord::TBaseRowColRecord(quint16 id, QByteArray data, int minSize, TCompactData)
    : TBaseRecord(id, std::move(data), TCompactData{})
{
    RequireDataSize(qMax(4, minSize));
}

void TBaseRowColRecord::SetRow(int row)
{
    CheckEntryCount(row, MaxRow);
    PutWord(0, static_cast<quint16>(row));
}

void TBaseRowColRecord::SetColumn(int column)
{
    CheckEntryCount(column, MaxColumn);
    PutWord(2, static_cast<quint16>(column));
}

void TBaseRowColRecord::MoveBy(int rowDelta, int colDelta)
{
    // Only what moves is checked and written: a record whose column the file
    // left out of range still moves down with its rows.
    const int row = Row() + rowDelta;
    const int column = Column() + colDelta;
    if (rowDelta != 0)
        CheckEntryCount(row, MaxRow);
    if (colDelta != 0)
        CheckEntryCount(column, MaxColumn);
    if (rowDelta != 0)
        PutWord(0, static_cast<quint16>(row));
    if (colDelta != 0)
        PutWord(2, static_cast<quint16>(column));
}

void TBaseRowColRecord::ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount,
                                       int colPos)
{
    if (!sheetInfo.InsertsInOwnSheet())
        return;
    MoveBy(Row() >= rowPos ? rowCount : 0, Column() >= colPos ? colCount : 0);
}

void TBaseRowColRecord::OffsetForCopy(int rowOffset, int colOffset)
{
    MoveBy(rowOffset, colOffset);
}

TCellRecord::TCellRecord(quint16 id, QByteArray data, int minSize)
    : TBaseRowColRecord(id, std::move(data), qMax(6, minSize), TCompactData{})
{
}

void *TCellRecord::operator new(std::size_t size)
{
    return size == sizeof(TCellRecord) ? XlsDetail::CellPool().Take() : ::operator new(size);
}

void TCellRecord::operator delete(void *cell, std::size_t size)
{
    if (size == sizeof(TCellRecord))
        XlsDetail::CellPool().Give(cell);
    else
        ::operator delete(cell);
}

int TCellRecord::XF() const
{
    return ReadWord(DataView(), 4);
}

void TCellRecord::SetXF(int xf)
{
    PutWord(4, static_cast<quint16>(xf));
}

QVariant TCellRecord::GetValue() const
{
    return QVariant();
}

void TCellRecord::SetValue(const QVariant &) {}

void TCellRecord::SaveAsFirstOfRun(TGatheringDevice &out, qint64) const
{
    SaveTo(out);
}

void TCellRecord::SaveAsMiddleOfRun(TGatheringDevice &) const {}

void TCellRecord::SaveAsLastOfRun(TGatheringDevice &) const {}

qint64 TCellRecord::SizeAsFirstOfRun() const
{
    return TotalSize();
}

qint64 TCellRecord::SizeAsMiddleOfRun() const
{
    return TotalSize();
}

qint64 TCellRecord::SizeAsLastOfRun() const
{
    return TotalSize();
}

QByteArray TCellRecord::NewCellData(int row, int column, int xf, int dataSize)
{
    CheckEntryCount(row, MaxRow);
    CheckEntryCount(column, MaxColumn);
    QByteArray data(qMax(6, dataSize), '\0');
    WriteWord(data, 0, static_cast<quint16>(row));
    WriteWord(data, 2, static_cast<quint16>(column));
    WriteWord(data, 4, static_cast<quint16>(xf));
    return data;
}
