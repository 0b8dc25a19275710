#include "xls/records/LinkRecords.h"

#include "xls/records/ExcelString.h"
#include "xls/records/SheetInfo.h"
#include "xls/storage/ByteUtils.h"

#include <QIODevice>

namespace {
// Adds the four deltas to the range; all checked before any is written.
void MoveRange(QByteArray &data, int offset, const int deltas[4])
{
    const int maxima[4] = {65535, 65535, 255, 255};
    int values[4];
    for (int i = 0; i < 4; ++i) {
        values[i] = ReadWord(data, offset + 2 * i) + deltas[i];
        CheckEntryCount(values[i], maxima[i]);
    }
    for (int i = 0; i < 4; ++i)
        WriteWord(data, offset + 2 * i, static_cast<quint16>(values[i]));
}

// How far a bound moves as count rows are inserted at pos, or -count deleted
// from there: one on a deleted row goes to the edge of what is left, the
// first bound to the row after them, the last to the row before.
int BoundDelta(int bound, bool last, int pos, int count)
{
    if (bound < pos)
        return 0;
    if (count >= 0 || bound >= pos - count)
        return count;
    return (last ? pos - 1 : pos) - bound;
}
} // namespace

void ShiftRangeForInsert(QByteArray &data, int offset, int rowPos, int rowCount, int colPos, int colCount)
{
    int deltas[4];
    for (int i = 0; i < 2; ++i) {
        deltas[i] = BoundDelta(ReadWord(data, offset + 2 * i), i == 1, rowPos, rowCount);
        deltas[2 + i] = BoundDelta(ReadWord(data, offset + 4 + 2 * i), i == 1, colPos, colCount);
    }
    MoveRange(data, offset, deltas);
}

void OffsetRangeForCopy(QByteArray &data, int offset, int rowOffset, int colOffset)
{
    const int deltas[4] = {rowOffset, rowOffset, colOffset, colOffset};
    MoveRange(data, offset, deltas);
}

// ---- EXTERNSHEET

TExternSheetRecord::TExternSheetRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(2);
}

void TExternSheetRecord::CheckEntries() const
{
    if (2 + 6 * qint64(Count()) > TotalDataSize())
        RaiseInvalidRecord(RecordId());
}

int TExternSheetRecord::Count() const
{
    return ReadWord(DataView(), 0);
}

int TExternSheetRecord::SupBook(int index) const
{
    return ReadWord(DataWithContinues(), 2 + 6 * index);
}

int TExternSheetRecord::FirstSheet(int index) const
{
    return ReadWord(DataWithContinues(), 4 + 6 * index);
}

int TExternSheetRecord::LastSheet(int index) const
{
    return ReadWord(DataWithContinues(), 6 + 6 * index);
}

void TExternSheetRecord::SetSheets(int index, int firstSheet, int lastSheet)
{
    QByteArray all = DataWithContinues();
    WriteWord(all, 4 + 6 * index, static_cast<quint16>(firstSheet));
    WriteWord(all, 6 + 6 * index, static_cast<quint16>(lastSheet));
    SetDataWithContinues(all);
}

int TExternSheetRecord::AddRef(int supBook, int firstSheet, int lastSheet)
{
    QByteArray all = DataWithContinues();
    const int index = Count();
    all.truncate(2 + 6 * index);
    all.resize(2 + 6 * (index + 1));
    WriteWord(all, 0, static_cast<quint16>(index + 1));
    WriteWord(all, 2 + 6 * index, static_cast<quint16>(supBook));
    WriteWord(all, 4 + 6 * index, static_cast<quint16>(firstSheet));
    WriteWord(all, 6 + 6 * index, static_cast<quint16>(lastSheet));
    SetDataWithContinues(all);
    return index;
}

std::unique_ptr<TExternSheetRecord> TExternSheetRecord::NewExternSheet()
{
    return std::make_unique<TExternSheetRecord>(Id, QByteArray(2, '\0'));
}

// ---- SUPBOOK

TSupBookRecord::TSupBookRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(4);
}

std::unique_ptr<TSupBookRecord> TSupBookRecord::NewSelfRef(int sheetCount)
{
    QByteArray data(4, '\0');
    WriteWord(data, 0, static_cast<quint16>(sheetCount));
    WriteWord(data, 2, 0x0401);
    return std::make_unique<TSupBookRecord>(Id, data);
}

int TSupBookRecord::SheetCount() const { return ReadWord(DataView(), 0); }
void TSupBookRecord::SetSheetCount(int count) { PutWord(0, static_cast<quint16>(count)); }
bool TSupBookRecord::IsSelfReference() const { return DataSize() == 4 && ReadWord(DataView(), 2) == 0x0401; }
bool TSupBookRecord::IsAddIn() const { return DataSize() == 4 && ReadWord(DataView(), 2) == 0x3A01; }

// ---- EXTERNNAME

TExternNameRecord::TExternNameRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(8);
    StringByteSize(Data(), 6, 1);
}

QString TExternNameRecord::Name() const
{
    return ReadBiffString(Data(), 6, 1);
}

// ---- NOTE

TNoteRecord::TNoteRecord(quint16 id, QByteArray data) : TBaseRowColRecord(id, std::move(data), 8) {}

int TNoteRecord::ObjId() const { return ReadWord(DataView(), 6); }
void TNoteRecord::SetObjId(int objId) { PutWord(6, static_cast<quint16>(objId)); }

// ---- HLINKTOOLTIP
// The repeated record id (2 bytes), the cell range (8 bytes), then the text.

TScreenTipRecord::TScreenTipRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(12);
}

void TScreenTipRecord::ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount,
                                      int colPos)
{
    if (sheetInfo.InsertsInOwnSheet())
        ShiftRangeForInsert(MutableData(), 2, rowPos, rowCount, colPos, colCount);
}

void TScreenTipRecord::OffsetForCopy(int rowOffset, int colOffset)
{
    OffsetRangeForCopy(MutableData(), 2, rowOffset, colOffset);
}

// ---- HLINK

THLinkRecord::THLinkRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(8);
}

THLinkRecord::~THLinkRecord() = default;

int THLinkRecord::FirstRow() const { return ReadWord(DataView(), 0); }
int THLinkRecord::LastRow() const { return ReadWord(DataView(), 2); }
int THLinkRecord::FirstColumn() const { return ReadWord(DataView(), 4); }
int THLinkRecord::LastColumn() const { return ReadWord(DataView(), 6); }

void THLinkRecord::AddScreenTip(std::unique_ptr<TScreenTipRecord> tip)
{
    FScreenTip = std::move(tip);
}

std::unique_ptr<TBaseRecord> THLinkRecord::Clone() const
{
    auto copy = CloneThroughFactory();
    if (auto *link = dynamic_cast<THLinkRecord *>(copy.get()); link && FScreenTip) {
        auto tip = FScreenTip->Clone();
        link->FScreenTip.reset(static_cast<TScreenTipRecord *>(tip.release()));
    }
    return copy;
}

void THLinkRecord::SaveTo(TGatheringDevice &out) const
{
    PutPlain(out);
    if (FScreenTip)
        FScreenTip->SaveTo(out);
}

qint64 THLinkRecord::TotalSize() const
{
    return TBaseRecord::TotalSize() + (FScreenTip ? FScreenTip->TotalSize() : 0);
}

qint64 THLinkRecord::TotalDataSize() const
{
    return TBaseRecord::TotalDataSize() + (FScreenTip ? FScreenTip->TotalDataSize() : 0);
}

void THLinkRecord::ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount, int colPos)
{
    if (!sheetInfo.InsertsInOwnSheet())
        return;
    ShiftRangeForInsert(MutableData(), 0, rowPos, rowCount, colPos, colCount);
    if (FScreenTip)
        FScreenTip->ShiftForInsert(rowPos, rowCount, sheetInfo, colCount, colPos);
}

void THLinkRecord::OffsetForCopy(int rowOffset, int colOffset)
{
    OffsetRangeForCopy(MutableData(), 0, rowOffset, colOffset);
    if (FScreenTip)
        FScreenTip->OffsetForCopy(rowOffset, colOffset);
}

bool THLinkRecord::AttachFollowing(std::unique_ptr<TBaseRecord> &next)
{
    auto *tip = dynamic_cast<TScreenTipRecord *>(next.get());
    if (!tip)
        return false;
    next.release();
    AddScreenTip(std::unique_ptr<TScreenTipRecord>(tip));
    return true;
}

// ---- page breaks

TPageBreakRecord::TPageBreakRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(2);
    if (2 + 6 * ReadWord(DataView(), 0) > DataSize())
        RaiseInvalidRecord(id);
}

int TPageBreakRecord::Count() const { return ReadWord(DataView(), 0); }
int TPageBreakRecord::Position(int index) const { return ReadWord(DataView(), 2 + 6 * index); }
