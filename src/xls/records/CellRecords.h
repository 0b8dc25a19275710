#pragma once

#include "xls/records/RowColRecord.h"

#include <vector>

// The text of a BIFF8 error code ("#DIV/0!" ...); empty for unknown codes.
QString ErrorCodeText(int code);
// The code of an error text, exactly as ErrorCodeText gives it; -1 for none.
int ErrorTextCode(QStringView text);

// A cell whose neighbours of its own class in the row are written with it as
// one multiple-cell record (id RunId): row u16, first column u16, then per
// cell the ItemSize bytes that stand at offset 4 of its data (XF, then the
// value if any), then last column u16.
template <quint16 RunId, int ItemSize>
class TRunCellRecord : public TCellRecord
{
public:
    using TCellRecord::TCellRecord;

    void SaveAsFirstOfRun(TGatheringDevice &out, qint64 runSize) const override;
    void SaveAsMiddleOfRun(TGatheringDevice &out) const override;
    void SaveAsLastOfRun(TGatheringDevice &out) const override;
    qint64 SizeAsFirstOfRun() const override { return 4 + 4 + ItemSize; }
    qint64 SizeAsMiddleOfRun() const override { return ItemSize; }
    qint64 SizeAsLastOfRun() const override { return ItemSize + 2; }
};

// BLANK (0x0201): a formatted empty cell. Runs become one MULBLANK (0x00BE)
// record of an XF per cell.
class TBlankRecord : public TRunCellRecord<0x00BE, 2>
{
public:
    static constexpr quint16 Id = 0x0201;
    static constexpr int MinSize = 6;
    TBlankRecord(quint16 id, QByteArray data);
    TBlankRecord(quint16 id, QByteArrayView data) : TRunCellRecord(id, data, MinSize) {}
    static std::unique_ptr<TBlankRecord> NewBlank(int row, int column, int xf);
};

// NUMBER (0x0203):
//   6  f64  value
class TNumberRecord : public TCellRecord
{
public:
    static constexpr quint16 Id = 0x0203;
    static constexpr int MinSize = 14;
    TNumberRecord(quint16 id, QByteArray data);
    TNumberRecord(quint16 id, QByteArrayView data) : TCellRecord(id, data, MinSize) {}
    static std::unique_ptr<TNumberRecord> NewNumber(int row, int column, int xf, double value);
    double Value() const;
    QVariant GetValue() const override;
    void SetValue(const QVariant &value) override;
};

// RK (0x027E): a number packed in 30 bits. Runs become one MULRK (0x00BD)
// record of an XF and an RK value per cell.
//   6  u32  RK value: bit 0 value/100, bit 1 integer, bits 2-31 the number
class TRKRecord : public TRunCellRecord<0x00BD, 6>
{
public:
    static constexpr quint16 Id = 0x027E;
    static constexpr int MinSize = 10;
    TRKRecord(quint16 id, QByteArray data);
    TRKRecord(quint16 id, QByteArrayView data) : TRunCellRecord(id, data, MinSize) {}
    static std::unique_ptr<TRKRecord> NewRK(int row, int column, int xf, quint32 rk);

    quint32 RK() const;
    double Value() const;
    QVariant GetValue() const override;

    // The number an RK value stands for.
    static double DecodeRK(quint32 rk);
    // True with the RK value when the number can be packed without loss.
    static bool EncodeRK(double value, quint32 &rk);
};

// Whether cells of the id are written in runs. Cells of one id are of one
// class (the factory makes them by id), so the cell list's joining writer
// tells a run by ids and places alone, without a call per neighbour.
inline bool IsRunCellId(quint16 id)
{
    return id == TBlankRecord::Id || id == TRKRecord::Id;
}

// LABELSST (0x00FD): a text cell pointing into the shared-string table.
//   6  u32  index into the shared-string table
class TLabelSSTRecord : public TCellRecord
{
public:
    static constexpr quint16 Id = 0x00FD;
    static constexpr int MinSize = 10;
    TLabelSSTRecord(quint16 id, QByteArray data);
    TLabelSSTRecord(quint16 id, QByteArrayView data) : TCellRecord(id, data, MinSize) {}
    static std::unique_ptr<TLabelSSTRecord> NewLabelSST(int row, int column, int xf, quint32 sstIndex);
    quint32 SSTIndex() const;
    void SetSSTIndex(quint32 index);
};

// LABEL (0x0204): a text cell holding its own string (older writers).
//   6  ...  BIFF8 string with a 2-byte length
class TLabelRecord : public TCellRecord
{
public:
    static constexpr quint16 Id = 0x0204;
    TLabelRecord(quint16 id, QByteArray data);
    QString Text() const { return FText; }
    QVariant GetValue() const override;

private:
    QString FText;
};

// RSTRING (0x00D6): a text cell with rich-text runs of its own (some
// writers use it instead of LABELSST). The string may go on in CONTINUE
// records. Kept as read and written back unchanged.
//   6  ...  BIFF8 string with a 2-byte length
//   +0 u16  run count, then per run the first character (u16) and the font (u16)
class TRStringRecord : public TCellRecord
{
public:
    static constexpr quint16 Id = 0x00D6;
    TRStringRecord(quint16 id, QByteArray data);
    // Reads the string and the runs; raises "Error reading record" when the
    // record chain is short. The getters below call it once.
    void Parse() const;
    void ContinuesRead() const override { Parse(); }
    QString Text() const;
    // 4 bytes per run, as a rich string stores them.
    QByteArray Runs() const;
    QVariant GetValue() const override;

private:
    mutable bool FParsed = false;
    mutable QString FText;
    mutable QByteArray FRuns;
};

// BOOLERR (0x0205):
//   6  u8  value (boolean 0/1, or the error code)
//   7  u8  1 = error, 0 = boolean
class TBoolErrRecord : public TCellRecord
{
public:
    static constexpr quint16 Id = 0x0205;
    static constexpr int MinSize = 8;
    TBoolErrRecord(quint16 id, QByteArray data);
    TBoolErrRecord(quint16 id, QByteArrayView data) : TCellRecord(id, data, MinSize) {}
    bool IsError() const;
    // A bool, or the error's text ("#N/A" ...).
    QVariant GetValue() const override;
    void SetValue(const QVariant &value) override;
};

// The cells of a MULRK or MULBLANK record, one record each.
using TCellRecordVector = std::vector<std::unique_ptr<TCellRecord>>;

// A run of cells of one class in one row, in one record:
//   0  u16  row
//   2  u16  first column
//   4  ...  per cell, itemSize bytes: its XF and value as the single cell's
//           data has them from offset 4
//   -2 u16  last column
class TMultipleCellRecord : public TBaseRowColRecord
{
public:
    int Count() const;
    int XFAt(int index) const;
    // One single-cell record per cell, in column order.
    TCellRecordVector SplitToCells() const;

protected:
    TMultipleCellRecord(quint16 id, QByteArray data, int itemSize);
    // The single-cell record of the given data.
    virtual std::unique_ptr<TCellRecord> NewCell(QByteArray data) const = 0;
    int ItemOffset(int index) const { return 4 + FItemSize * index; }

private:
    int FItemSize;
};

// MULRK (0x00BD): a run of RK cells; per cell XF u16 and RK value u32.
class TMulRKRecord : public TMultipleCellRecord
{
public:
    static constexpr quint16 Id = 0x00BD;
    TMulRKRecord(quint16 id, QByteArray data);
    quint32 RKAt(int index) const;

protected:
    std::unique_ptr<TCellRecord> NewCell(QByteArray data) const override;
};

// MULBLANK (0x00BE): a run of blank cells; per cell XF u16.
class TMulBlankRecord : public TMultipleCellRecord
{
public:
    static constexpr quint16 Id = 0x00BE;
    TMulBlankRecord(quint16 id, QByteArray data);

protected:
    std::unique_ptr<TCellRecord> NewCell(QByteArray data) const override;
};
