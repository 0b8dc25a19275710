#include "xls/formula/FormulaRecord.h"

#include "xls/formula/FormulaDecoder.h"
#include "xls/formula/FormulaTokens.h"
#include "xls/formula/ShrFmlaRecord.h"
#include "xls/formula/TokenArray.h"
#include "xls/formula/TokenException.h"
#include "xls/formula/XlsFormulaMessages.h"
#include "xls/records/SheetInfo.h"
#include "xls/storage/ByteUtils.h"

#include <QIODevice>

namespace {
constexpr int MinFormulaSize = 22;
} // namespace

TFormulaRecord::TFormulaRecord(quint16 id, QByteArray data) : TCellRecord(id, std::move(data), MinFormulaSize)
{
    ReadCachedValue();
    SetPlaceholderResult();
}

TFormulaRecord::TFormulaRecord(quint16 id, QByteArray data, NewTag) : TCellRecord(id, std::move(data), MinFormulaSize)
{
}

TFormulaRecord::~TFormulaRecord() = default;

void TFormulaRecord::ReadCachedValue()
{
    const QByteArray &d = Data();
    if (ReadWord(d, 12) != 0xFFFF) {
        FValue = ReadDouble(d, 6);
        return;
    }
    const quint8 kind = quint8(d[6]);
    const quint8 byte8 = quint8(d[8]);
    if (kind == 0)
        FValue = QStringLiteral(""); // the text comes in the STRING record
    else if (kind == 1)
        FValue = byte8 == 1;
    else if (kind == 2 && ErrorTextToCode(ErrorCodeToText(byte8)) >= 0)
        FValue = ErrorCodeToText(byte8);
    else
        FValue = QVariant();
}

// Every loaded formula is saved as "error 0, calculate on open": the engine
// cannot recompute it after rows move, so the application must.
void TFormulaRecord::SetPlaceholderResult()
{
    QByteArray &d = MutableData();
    std::fill(d.begin() + 6, d.begin() + 14, '\0');
    d[6] = 2;
    WriteWord(d, 12, 0xFFFF);
    WriteCardinal(d, 16, 0);
    WriteWord(d, 14, ReadWord(d, 14) | 0x0002);
}

int TFormulaRecord::TokenBytes() const
{
    return ReadWord(DataView(), 20);
}

qsizetype TFormulaRecord::TokenEnd() const
{
    const qsizetype end = TokenOffset + TokenBytes();
    if (end > Data().size())
        FormulaMessages::raiseTokensRunPast();
    return end;
}

QString TFormulaRecord::FormulaText(const TFormulaNames *names, const TFormulaReferences *references) const
{
    return DecodeFormula(Data(), TokenOffset, names, references);
}

void TFormulaRecord::SetTableRecord(std::unique_ptr<TTableRecord> table)
{
    FTableRecord = std::move(table);
}

void TFormulaRecord::SetArrayRecord(std::unique_ptr<TArrayRecord> array)
{
    FArrayRecord = std::move(array);
}

bool TFormulaRecord::IsSharedFormulaReference(quint32 &key) const
{
    const QByteArray &d = Data();
    if (d.size() != 27 || ReadWord(d, 20) != 5 || quint8(d[22]) != Ptg::Exp)
        return false;
    key = quint32(ReadWord(d, 23)) + quint32(ReadWord(d, 25)) * 65536u;
    return true;
}

qint64 TFormulaRecord::ExpandSharedFormula(const TShrFmlaRecord &shared)
{
    const QByteArray &s = shared.Data();
    const qsizetype tokens = ReadWord(s, 8);
    if (tokens > s.size() - 10)
        FormulaMessages::raiseTokensRunPast();
    if (s.size() + 12 > 0xFFFF)
        throw EExcelException(QStringLiteral("Error reading formula: the shared formula is too long"));
    const qint64 before = TotalSize();
    QByteArray d = Data().left(20) + s.mid(8);
    ExpandSharedTokens(d, TokenOffset, TokenOffset + tokens, Row(), Column());
    MutableData() = d;
    return TotalSize() - before;
}

std::unique_ptr<TBaseRecord> TFormulaRecord::Clone() const
{
    // Not through the factory: the copy must keep the data as it is now, not
    // be loaded again.
    std::unique_ptr<TFormulaRecord> copy(new TFormulaRecord(RecordId(), Data(), NewTag{}));
    CopyContinueChainTo(*copy);
    TFormulaRecord *f = copy.get();
    f->FValue = FValue;
    if (FTableRecord)
        f->FTableRecord.reset(static_cast<TTableRecord *>(FTableRecord->Clone().release()));
    if (FArrayRecord)
        f->FArrayRecord.reset(static_cast<TArrayRecord *>(FArrayRecord->Clone().release()));
    return copy;
}

void TFormulaRecord::SaveTo(TGatheringDevice &out) const
{
    PutPlain(out);
    if (FArrayRecord)
        FArrayRecord->SaveTo(out);
    if (FTableRecord)
        FTableRecord->SaveTo(out);
}

qint64 TFormulaRecord::TotalSize() const
{
    return TCellRecord::TotalSize() + (FArrayRecord ? FArrayRecord->TotalSize() : 0)
        + (FTableRecord ? FTableRecord->TotalSize() : 0);
}

qint64 TFormulaRecord::TotalDataSize() const
{
    return TCellRecord::TotalDataSize() + (FArrayRecord ? FArrayRecord->TotalDataSize() : 0)
        + (FTableRecord ? FTableRecord->TotalDataSize() : 0);
}

void TFormulaRecord::ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount, int colPos)
{
    const QByteArray before = Data();
    TCellRecord::ShiftForInsert(rowPos, rowCount, sheetInfo, colCount, colPos);
    // Tokens and table are shifted on copies: if either fails, the cell goes
    // back where it was and nothing of the formula has changed.
    QByteArray d = Data();
    std::unique_ptr<TBaseRecord> table = FTableRecord ? FTableRecord->Clone() : nullptr;
    try {
        ShiftTokensForInsert(d, TokenOffset, TokenEnd(), sheetInfo, rowPos, rowCount, colPos, colCount);
        if (table && sheetInfo.InsertsInOwnSheet())
            static_cast<TTableRecord *>(table.get())->Shift(rowPos, rowCount, colPos, colCount, true);
    } catch (const ETokenException &e) {
        const int row = Row(), col = Column();
        MutableData() = before;
        throw EExcelException(FormulaMessages::formulaNotSupported(row + 1, col + 1, e.Token()));
    } catch (...) {
        MutableData() = before;
        throw;
    }
    MutableData() = d;
    if (table)
        FTableRecord.reset(static_cast<TTableRecord *>(table.release()));
}

void TFormulaRecord::OffsetForCopy(int rowOffset, int colOffset)
{
    QByteArray d = Data();
    std::unique_ptr<TBaseRecord> table = FTableRecord ? FTableRecord->Clone() : nullptr;
    try {
        ShiftTokensForCopy(d, TokenOffset, TokenEnd(), rowOffset, colOffset);
    } catch (const ETokenException &e) {
        throw EExcelException(FormulaMessages::formulaNotSupported(Row() + 1, Column() + 1, e.Token()));
    }
    if (table)
        static_cast<TTableRecord *>(table.get())->Shift(0, rowOffset, 0, colOffset, false);
    const int row = Row() + rowOffset;
    const int col = Column() + colOffset;
    TCellRecord::OffsetForCopy(rowOffset, colOffset); // checks the range before anything is kept
    WriteWord(d, 0, quint16(row));
    WriteWord(d, 2, quint16(col));
    MutableData() = d;
    if (table)
        FTableRecord.reset(static_cast<TTableRecord *>(table.release()));
}

bool TFormulaRecord::AttachFollowing(std::unique_ptr<TBaseRecord> &next)
{
    if (auto *table = dynamic_cast<TTableRecord *>(next.get())) {
        next.release();
        SetTableRecord(std::unique_ptr<TTableRecord>(table));
        return true;
    }
    if (auto *array = dynamic_cast<TArrayRecord *>(next.get())) {
        next.release();
        SetArrayRecord(std::unique_ptr<TArrayRecord>(array));
        return true;
    }
    return false;
}
