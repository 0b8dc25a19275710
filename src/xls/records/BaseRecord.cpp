#include "xls/records/BaseRecord.h"

#include "xls/records/BaseRecordList.h"
#include "xls/records/ExcelString.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/XlsRecordMessages.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"
#include "xls/storage/GatheringDevice.h"

#include <QIODevice>

#include <cstring>

using namespace XlsRecordMessages;

// A record with compact data is one 40-byte object on 64-bit hosts.
static_assert(sizeof(void *) != 8 || sizeof(TBaseRecord) <= 40, "the compact data no longer fits beside the id");

TBaseRecord::TBaseRecord(quint16 id, QByteArray data) : FId(id)
{
    TakeData(std::move(data));
}

TBaseRecord::TBaseRecord(quint16 id, QByteArray data, TCompactData) : FId(id)
{
    TakeData(std::move(data));
}

void TBaseRecord::TakeData(QByteArray data)
{
    if (data.size() > 0xFFFF)
        throw EExcelException(QString::fromLatin1(ErrRecordTooLarge).arg(FId, 0, 16));
    if (data.size() <= CompactSize) {
        if (!data.isEmpty())
            std::memcpy(FBytes, data.constData(), size_t(data.size()));
        FSize = quint8(data.size());
        return;
    }
    // Data handed over as a view of bytes the record does not own (the file
    // being read, another record's bytes) is copied.
    if (!data.data_ptr().isMutable())
        data.detach();
    auto *heap = new QByteArray(std::move(data));
    std::memcpy(FBytes + HeapAt, &heap, sizeof heap);
    FSize = HeapData;
}

void TBaseRecord::FreeHeap()
{
    if (FSize == HeapData)
        delete Heap();
    FSize = 0;
}

QByteArray TBaseRecord::Data() const
{
    return FSize == HeapData ? *Heap() : QByteArray(FBytes, FSize);
}

QByteArray &TBaseRecord::MutableData()
{
    if (FSize != HeapData) {
        auto *heap = new QByteArray(FBytes, FSize);
        std::memcpy(FBytes + HeapAt, &heap, sizeof heap);
        FSize = HeapData;
    }
    return *Heap();
}

void TBaseRecord::PutWord(qsizetype offset, quint16 value)
{
    // No copy of the data inside is ever handed out (Data() copies), so it
    // changes in place. Out of range, the heap write raises as ever.
    if (FSize != HeapData && offset >= 0 && offset + 2 <= FSize) {
        FBytes[offset] = char(value & 0xFF);
        FBytes[offset + 1] = char(value >> 8);
        return;
    }
    WriteWord(MutableData(), offset, value);
}

void TBaseRecord::PutCardinal(qsizetype offset, quint32 value)
{
    if (FSize != HeapData && offset >= 0 && offset + 4 <= FSize) {
        for (int i = 0; i < 4; ++i)
            FBytes[offset + i] = char((value >> (8 * i)) & 0xFF);
        return;
    }
    WriteCardinal(MutableData(), offset, value);
}

void TBaseRecord::SetData(QByteArray data)
{
    if (data.size() > 0xFFFF)
        throw EExcelException(QString::fromLatin1(ErrRecordTooLarge).arg(FId, 0, 16));
    // Stays on the heap, as MutableData leaves it: a caller may change it next.
    if (!data.isEmpty() && !data.data_ptr().isMutable())
        data.detach();
    MutableData() = std::move(data);
}

TBaseRecord::~TBaseRecord()
{
    // Most records have neither: a closing workbook frees them by the hundred thousand.
    if (FContinue)
        DropContinueChain();
    if (FSize == HeapData)
        FreeHeap();
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
    auto copy = CreateRecord(FId, QByteArray::fromRawData(DataView().data(), DataView().size()));
    CopyContinueChainTo(*copy);
    return copy;
}

void TBaseRecord::CopyContinueChainTo(TBaseRecord &target) const
{
    TBaseRecord *tail = &target;
    while (tail->FContinue)
        tail = tail->FContinue.get();
    for (const TBaseRecord *c = FContinue.get(); c; c = c->FContinue.get()) {
        tail->FContinue = std::make_unique<TContinueRecord>(c->FId, c->Data());
        tail = tail->FContinue.get();
    }
}

qint64 TBaseRecord::ContinueChainSize() const
{
    qint64 size = 0;
    for (const TBaseRecord *c = FContinue.get(); c; c = c->FContinue.get())
        size += 4 + c->DataSize();
    return size;
}

void TBaseRecord::SaveToStream(QIODevice &stream) const
{
    WriteGathered(stream, [this](TGatheringDevice &out) { SaveTo(out); });
}

void TBaseRecord::SaveTo(TGatheringDevice &out) const
{
    PutPlain(out);
}

// Header and data of each record of the chain, straight into the buffer.
// Data kept inside the record goes as one fixed-size copy (the bytes past
// it are not counted): most records are cells of a few bytes.
void TBaseRecord::PutPlain(TGatheringDevice &out) const
{
    static_assert(4 + CompactSize <= TGatheringDevice::Room);
    for (const TBaseRecord *r = this; r; r = r->FContinue.get()) {
        const QByteArrayView data = r->DataView();
        const char header[4] = {char(r->FId & 0xFF), char(r->FId >> 8), char(data.size() & 0xFF),
                                char((data.size() >> 8) & 0xFF)};
        if (r->FSize == HeapData) {
            out.Put(header, 4);
            out.Put(data.data(), data.size());
            continue;
        }
        char *p = out.Reserve(4 + CompactSize);
        std::memcpy(p, header, 4);
        std::memcpy(p + 4, r->FBytes, CompactSize);
        out.Commit(4 + data.size());
    }
}

qint64 TBaseRecord::TotalSize() const
{
    return 4 + DataSize() + (FContinue ? ContinueChainSize() : 0);
}

qint64 TBaseRecord::TotalDataSize() const
{
    qint64 size = DataSize();
    for (const TBaseRecord *c = FContinue.get(); c; c = c->FContinue.get())
        size += c->DataSize();
    return size;
}

QByteArray TBaseRecord::DataWithContinues() const
{
    QByteArray all = DataView().toByteArray();
    for (const TBaseRecord *c = FContinue.get(); c; c = c->FContinue.get())
        all += c->DataView();
    return all;
}

void TBaseRecord::SetDataWithContinues(const QByteArray &all)
{
    constexpr int MaxRecordData = 8224;
    SetData(all.left(MaxRecordData));
    DropContinueChain();
    for (qsizetype from = MaxRecordData; from < all.size(); from += MaxRecordData)
        AppendContinue(std::make_unique<TContinueRecord>(TContinueRecord::Id, all.mid(from, MaxRecordData)));
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
    if (DataSize() < minSize)
        RaiseInvalidRecord(FId);
}

std::unique_ptr<TBaseRecord> TContinueRecord::Clone() const
{
    auto copy = std::make_unique<TContinueRecord>(RecordId(), Data());
    CopyContinueChainTo(*copy);
    return copy;
}

void TIgnoreRecord::SaveTo(TGatheringDevice &) const {}

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

void TSubListRecord::SaveTo(TGatheringDevice &out) const
{
    if (FList)
        FList->SaveToStream(out);
}

qint64 TSubListRecord::TotalSize() const
{
    return 0;
}
