#pragma once

#include "xls/records/BaseRecord.h"
#include "xls/storage/ByteUtils.h"

#include <QVariant>

// A record about one cell or one row: Row and Column lead its data.
//   0  u16  row
//   2  u16  column
class TBaseRowColRecord : public TBaseRecord
{
public:
    // minSize is the least data the class reads; shorter data raises
    // "Record with ID 0x%x is invalid".
    TBaseRowColRecord(quint16 id, QByteArray data, int minSize = 4);

    // Inline: sorting and lookups call them for every cell.
    int Row() const { return ReadWord(DataView(), 0); }
    int Column() const { return ReadWord(DataView(), 2); }
    void SetRow(int row);
    void SetColumn(int column);

    // Moves the record when rows/columns are inserted at or before it in its
    // own sheet. A result outside 0..65535 (rows) or 0..255 (columns) raises
    // "Too many entries..." and leaves the record unchanged.
    void ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount = 0,
                        int colPos = 0) override;
    // Moves the record by the offsets, with the same range check.
    void OffsetForCopy(int rowOffset, int colOffset) override;

protected:
    // For cell records: data kept inside the object (BaseRecord.h).
    TBaseRowColRecord(quint16 id, QByteArray data, int minSize, TCompactData);
    TBaseRowColRecord(quint16 id, QByteArrayView data, int minSize, TCompactData)
        : TBaseRecord(id, data, TCompactData{})
    {
        if (data.size() < qMax(4, minSize))
            RaiseInvalidRecord(id);
    }
    // Adds the deltas, both checked before either is written.
    void MoveBy(int rowDelta, int colDelta);
};

// One cell: XF (the cell format index) follows row and column.
//   4  u16  XF
// The run slots let neighbouring cells be written as one multiple-cell record
// (MULRK, MULBLANK) by the cell list's joining writer.
class TCellRecord : public TBaseRowColRecord
{
public:
    TCellRecord(quint16 id, QByteArray data, int minSize = 6);
    // From bytes in place (the stream being read), copied in.
    TCellRecord(quint16 id, QByteArrayView data, int minSize)
        : TBaseRowColRecord(id, data, qMax(6, minSize), TCompactData{})
    {
    }
    TCellRecord *AsCell() override { return this; }

    // A sheet holds hundreds of thousands of cells, most of the plain classes
    // that add nothing to this one: those come from blocks of many rather
    // than one heap block each (CellPool.h).
    static void *operator new(std::size_t size);
    static void operator delete(void *cell, std::size_t size);

    int XF() const;
    void SetXF(int xf);

    // Empty QVariant, double, QString or bool.
    virtual QVariant GetValue() const;
    virtual void SetValue(const QVariant &value);

    // Neighbours of a class written in runs (IsRunCellId) go out as one
    // multiple-cell record through these. runSize is the byte size of the whole run, header included.
    virtual void SaveAsFirstOfRun(TGatheringDevice &out, qint64 runSize) const;
    virtual void SaveAsMiddleOfRun(TGatheringDevice &out) const;
    virtual void SaveAsLastOfRun(TGatheringDevice &out) const;
    virtual qint64 SizeAsFirstOfRun() const;
    virtual qint64 SizeAsMiddleOfRun() const;
    virtual qint64 SizeAsLastOfRun() const;

    // Zero-filled data of the given size with row, column and XF set.
    static QByteArray NewCellData(int row, int column, int xf, int dataSize);
};
