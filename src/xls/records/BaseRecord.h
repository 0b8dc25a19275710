#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <cstring>
#include <memory>

class QIODevice;
class TBaseRecordList;
class TGatheringDevice;
class TCellRecord;
class TContinueRecord;
struct TSheetInfo;

// One BIFF8 record as it stands in the workbook stream: id, data and the
// CONTINUE records that carry the rest of its data. The record owns its bytes,
// so whatever the engine does not understand is written back unchanged.
//
// Subclasses read or check their data in the constructor (id, data); the
// factory constructs them from the id (RecordFactory.h). data may be a view of
// bytes that live only while the constructor runs: the record keeps a copy. On the wire:
//   0  u16  record id
//   2  u16  data size
//   4  ...  data
class TBaseRecord
{
public:
    TBaseRecord(quint16 id, QByteArray data);
    virtual ~TBaseRecord();
    TBaseRecord(const TBaseRecord &) = delete;
    TBaseRecord &operator=(const TBaseRecord &) = delete;

    quint16 RecordId() const { return FId; }
    // The data. Small data is kept inside the record (see CompactSize) and
    // comes out as a copy; readers that only look take DataView.
    QByteArray Data() const;
    // The bytes in place: valid while the record lives and is not changed.
    QByteArrayView DataView() const
    {
        return FSize == HeapData ? QByteArrayView(*Heap()) : QByteArrayView(FBytes, FSize);
    }
    quint16 DataSize() const { return static_cast<quint16>(FSize == HeapData ? Heap()->size() : FSize); }

    // The CONTINUE chain: each continue record holds the next one.
    TContinueRecord *Continue() const { return FContinue.get(); }
    // Raises when the record already has a continue record.
    void AddContinue(std::unique_ptr<TContinueRecord> next);
    // Appends at the end of the chain (walks it without recursion).
    void AppendContinue(std::unique_ptr<TContinueRecord> next);

    // A new record of the class the factory makes for this id, with a copy of
    // the data and of the continue chain.
    virtual std::unique_ptr<TBaseRecord> Clone() const;
    // Header, data, then the continue chain. A short write raises.
    void SaveToStream(QIODevice &stream) const;
    // The same, into the gathering buffer of a save: what a class that
    // writes more or less overrides. Lists write hundreds of thousands of
    // records through it, each in one copy.
    virtual void SaveTo(TGatheringDevice &out) const;
    // Bytes written by SaveToStream: DataSize + 4 plus the continue chain.
    virtual qint64 TotalSize() const;
    // Data bytes without any header, continue chain included.
    virtual qint64 TotalDataSize() const;
    // Those bytes, the record's then its continue chain's, one after another.
    QByteArray DataWithContinues() const;
    // Puts all as the data: what one record holds here, the rest in CONTINUE
    // records after it (the old chain goes).
    void SetDataWithContinues(const QByteArray &all);

    // Rows or columns inserted (negative counts delete) in the sheet that
    // sheetInfo names. Records without positions ignore it.
    virtual void ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount = 0,
                                int colPos = 0);
    // The record was copied rowOffset rows and colOffset columns away.
    virtual void OffsetForCopy(int rowOffset, int colOffset);

    // Used by the factory: a TABLE, ARRAY or screen-tip record that follows
    // this one in the file. Returns false when this class cannot own it.
    virtual bool AttachFollowing(std::unique_ptr<TBaseRecord> &next);
    // Whether a STRING record may follow this one (formula-like records).
    virtual bool AllowsStringAfter() const { return false; }
    // Called by the factory once the CONTINUE records are attached: a record
    // whose contents run on into them checks them here, so that a damaged
    // one is refused when read, not when first used.
    virtual void ContinuesRead() const {}
    // The record as a cell, or null: cheaper than a dynamic_cast on the
    // load path, which sees every cell of the workbook.
    virtual TCellRecord *AsCell() { return nullptr; }

protected:
    // Records are many and small (a sheet may hold hundreds of thousands of
    // cells): data of up to CompactSize bytes is kept inside the object,
    // without a heap block of its own. MutableData and SetData move it to the
    // heap; copies taken earlier through Data() keep the bytes they had.
    static constexpr int CompactSize = 21;
    struct TCompactData
    {
    };
    TBaseRecord(quint16 id, QByteArray data, TCompactData);
    // The same from bytes that are not the record's (the stream being read):
    // copied in, without a QByteArray on the way. Inline, as the view
    // constructors of the cells: every cell read is made through them.
    TBaseRecord(quint16 id, QByteArrayView data, TCompactData) : FId(id)
    {
        if (data.size() > CompactSize)
            TakeData(data.toByteArray());
        else
            CopyCompact(data);
    }

    QByteArray &MutableData();
    void SetData(QByteArray data);
    // A u16 or u32 written where the data stands, inside the record or not.
    void PutWord(qsizetype offset, quint16 value);
    void PutCardinal(qsizetype offset, quint32 value);
    // Raises "Record with ID 0x%x is invalid" when the data is shorter.
    void RequireDataSize(int minSize) const;
    // What SaveTo writes by default: header and data of this record and of
    // each of its continue chain.
    void PutPlain(TGatheringDevice &out) const;
    void DropContinueChain();
    qint64 ContinueChainSize() const;
    // Base part of Clone: factory copy plus a copy of the continue chain.
    std::unique_ptr<TBaseRecord> CloneThroughFactory() const;
    void CopyContinueChainTo(TBaseRecord &target) const;

private:
    static constexpr quint8 HeapData = 0xFF;
    // Past the bytes a compact record may use, where the heap data's pointer
    // stands when there is one.
    static constexpr int HeapAt = CompactSize - int(sizeof(QByteArray *));
    void TakeData(QByteArray data);
    // Up to CompactSize bytes in a few fixed-size moves (overlapping where the
    // size is not a multiple) rather than a call: a sheet's cells are 6 to 16
    // bytes each, hundreds of thousands of them.
    void CopyCompact(QByteArrayView data)
    {
        static_assert(CompactSize <= 24);
        const char *from = data.data();
        const size_t n = size_t(data.size());
        if (n >= 8) {
            std::memcpy(FBytes, from, 8);
            if (n > 16)
                std::memcpy(FBytes + 8, from + 8, 8);
            std::memcpy(FBytes + n - 8, from + n - 8, 8);
        } else if (n >= 4) {
            std::memcpy(FBytes, from, 4);
            std::memcpy(FBytes + n - 4, from + n - 4, 4);
        } else {
            for (size_t i = 0; i < n; ++i)
                FBytes[i] = from[i];
        }
        FSize = quint8(n);
    }
    QByteArray *Heap() const
    {
        QByteArray *heap;
        std::memcpy(&heap, FBytes + HeapAt, sizeof heap);
        return heap;
    }
    void FreeHeap();

    quint16 FId;
    quint8 FSize = 0;  // of the data inside, or HeapData
    char FBytes[CompactSize];  // the data, or the heap data's pointer at HeapAt
    std::unique_ptr<TContinueRecord> FContinue;
};

// CONTINUE (0x003C): the rest of the data of the record before it.
class TContinueRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x003C;
    using TBaseRecord::TBaseRecord;
    std::unique_ptr<TBaseRecord> Clone() const override;
};

// Records kept in memory but never written (index and cache records that the
// spreadsheet application rebuilds itself).
class TIgnoreRecord : public TBaseRecord
{
public:
    using TBaseRecord::TBaseRecord;
    void SaveTo(TGatheringDevice &out) const override;
    qint64 TotalSize() const override;
};

// STRING (0x0207): the text result of the formula before it; that formula
// keeps the text, so the record itself is never written.
class TStringRecord : public TIgnoreRecord
{
public:
    static constexpr quint16 Id = 0x0207;
    using TIgnoreRecord::TIgnoreRecord;
    // The text: a BIFF8 string with a 2-byte length at 0, read across CONTINUE.
    QString Text() const;
};

// A placeholder that fixes where a whole record list is written among other
// records. Its list counts its own size, so the placeholder counts 0. A clone
// refers to no list and writes nothing.
class TSubListRecord : public TBaseRecord
{
public:
    explicit TSubListRecord(const TBaseRecordList *list);
    const TBaseRecordList *List() const { return FList; }
    std::unique_ptr<TBaseRecord> Clone() const override;
    void SaveTo(TGatheringDevice &out) const override;
    qint64 TotalSize() const override;

private:
    const TBaseRecordList *FList;
};

// Raises "Record with ID 0x%x is invalid".
[[noreturn]] void RaiseInvalidRecord(quint16 id);

