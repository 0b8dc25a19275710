#include "xls/records/BaseRecord.h"

#include "xls/records/BaseRecordList.h"
#include "xls/records/ExcelString.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/XlsRecordMessages.h"
#include "xls/storage/ExcelException.h"

#include <QIODevice>

#include <cstring>

using namespace XlsRecordMessages;

void WriteAllBytes(QIODevice &stream, const char *data, qint64 size)
{
    if (size > 0 && stream.write(data, size) != size)
        throw EExcelException(ErrCantWrite);
}

// A small cell is one 56-byte object on 64-bit hosts (one 64-byte heap block).
static_assert(sizeof(void *) != 8 || sizeof(TBaseRecord) <= 56, "the compact data no longer fits beside the id");

TBaseRecord::TBaseRecord(quint16 id, QByteArray data) : FId(id), FData(std::move(data))
{
    TakeData(false);
}

TBaseRecord::TBaseRecord(quint16 id, QByteArray data, TCompactData) : FId(id), FData(std::move(data))
{
    TakeData(true);
}

void TBaseRecord::TakeData(bool compact)
{
    if (FData.size() > 0xFFFF)
        throw EExcelException(QString::fromLatin1(ErrRecordTooLarge).arg(FId, 0, 16));
    if (compact && !FData.isEmpty() && FData.size() <= CompactSize) {
        std::memcpy(FCompact, FData.constData(), size_t(FData.size()));
        FData = QByteArray::fromRawData(FCompact, FData.size());
    } else {
        OwnData();
    }
}

void TBaseRecord::OwnData()
{
    // Data handed over as a view of bytes the record does not own (the file
    // being read, another record's compact data) is copied.
    if (!FData.isEmpty() && !FData.data_ptr().isMutable())
        FData.detach();
}

TBaseRecord::~TBaseRecord()
{
    DropContinueChain();
}

void TBaseRecord::DropContinueChain()
{
    // Unlink the chain one record at a time: a long chain must not recurse.
    std::unique_ptr<TContinueRecord> next = std::move(FContinue);
    while (next)
        next = std::move(next->FContinue);
}

void TBaseRecord::AddContinue(std::unique_ptr<TContinueRecord> next)
{
    if (FContinue)
        throw EExcelException(ErrMoreThanOneContinue);
    FContinue = std::move(next);
}

void TBaseRecord::AppendContinue(std::unique_ptr<TContinueRecord> next)
{
    TBaseRecord *last = this;
    while (last->FContinue)
        last = last->FContinue.get();
    last->FContinue = std::move(next);
}

std::unique_ptr<TBaseRecord> TBaseRecord::Clone() const
{
    return CloneThroughFactory();
}

std::unique_ptr<TBaseRecord> TBaseRecord::CloneThroughFactory() const
{
    auto copy = CreateRecord(FId, FData);
    CopyContinueChainTo(*copy);
    return copy;
}

void TBaseRecord::CopyContinueChainTo(TBaseRecord &target) const
{
    TBaseRecord *tail = &target;
    while (tail->FContinue)
        tail = tail->FContinue.get();
    for (const TBaseRecord *c = FContinue.get(); c; c = c->FContinue.get()) {
        tail->FContinue = std::make_unique<TContinueRecord>(c->FId, c->FData);
        tail = tail->FContinue.get();
    }
}

void TBaseRecord::SaveOwnRecord(QIODevice &stream) const
{
    // Small records go out in one write with their header: a sheet has
    // hundreds of thousands of them.
    constexpr qsizetype OneWrite = 64;
    char buffer[4 + OneWrite];
    buffer[0] = static_cast<char>(FId & 0xFF);
    buffer[1] = static_cast<char>(FId >> 8);
    buffer[2] = static_cast<char>(FData.size() & 0xFF);
    buffer[3] = static_cast<char>((FData.size() >> 8) & 0xFF);
    if (FData.size() <= OneWrite) {
        if (!FData.isEmpty())
            std::memcpy(buffer + 4, FData.constData(), size_t(FData.size()));
        WriteAllBytes(stream, buffer, 4 + FData.size());
        return;
    }
    WriteAllBytes(stream, buffer, 4);
    WriteAllBytes(stream, FData.constData(), FData.size());
}

void TBaseRecord::SaveContinueChain(QIODevice &stream) const
{
    for (const TBaseRecord *c = FContinue.get(); c; c = c->FContinue.get())
        c->SaveOwnRecord(stream);
}

qint64 TBaseRecord::ContinueChainSize() const
{
    qint64 size = 0;
    for (const TBaseRecord *c = FContinue.get(); c; c = c->FContinue.get())
        size += 4 + c->FData.size();
    return size;
}

void TBaseRecord::SaveToStream(QIODevice &stream) const
{
    SaveOwnRecord(stream);
    SaveContinueChain(stream);
}

qint64 TBaseRecord::TotalSize() const
{
    return 4 + FData.size() + ContinueChainSize();
}

qint64 TBaseRecord::TotalDataSize() const
{
    qint64 size = FData.size();
    for (const TBaseRecord *c = FContinue.get(); c; c = c->FContinue.get())
        size += c->FData.size();
    return size;
}

void TBaseRecord::ShiftForInsert(int, int, const TSheetInfo &, int, int) {}

void TBaseRecord::OffsetForCopy(int, int) {}

bool TBaseRecord::AttachFollowing(std::unique_ptr<TBaseRecord> &)
{
    return false;
}

void RaiseInvalidRecord(quint16 id)
{
    throw EExcelException(QString::fromLatin1(ErrWrongExcelRecord).arg(id, 0, 16));
}

void TBaseRecord::RequireDataSize(int minSize) const
{
    if (FData.size() < minSize)
        RaiseInvalidRecord(FId);
}

std::unique_ptr<TBaseRecord> TContinueRecord::Clone() const
{
    auto copy = std::make_unique<TContinueRecord>(RecordId(), Data());
    CopyContinueChainTo(*copy);
    return copy;
}

void TIgnoreRecord::SaveToStream(QIODevice &) const {}

qint64 TIgnoreRecord::TotalSize() const
{
    return 0;
}

QString TStringRecord::Text() const
{
    if (DataSize() == 0)
        return QString();
    const TBaseRecord *record = this;
    int pos = 0;
    return TExcelString(2, record, pos).Value();
}

TSubListRecord::TSubListRecord(const TBaseRecordList *list) : TBaseRecord(0, QByteArray()), FList(list) {}

std::unique_ptr<TBaseRecord> TSubListRecord::Clone() const
{
    return std::make_unique<TSubListRecord>(nullptr);
}

void TSubListRecord::SaveToStream(QIODevice &stream) const
{
    if (FList)
        FList->SaveToStream(stream);
}

qint64 TSubListRecord::TotalSize() const
{
    return 0;
}
