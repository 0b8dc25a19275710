#include "xls/workbook/SST.h"

#include "xls/records/BaseRecord.h"
#include "xls/records/ExcelString.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr quint16 SSTId = 0x00FC;
constexpr int MaxRecordData = 8224;
constexpr quint8 FlagExtension = 0x04;
constexpr quint8 FlagRichText = 0x08;
constexpr int MaxTextSize = 0xFFFF;  // an entry's length field has 2 bytes

// Characters that all fit one byte are stored compressed, as TExcelString
// stores them.
bool IsWide(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xFF; });
}

int PlainSize(const QString &text, bool wide)
{
    return 3 + int(text.size()) * (wide ? 2 : 1);
}

// A plain BIFF8 string with a 2-byte length: the header, then the characters,
// one byte each or two (little-endian).
void PutPlain(const QString &text, bool wide, char *out)
{
    *out++ = char(text.size() & 0xFF);
    *out++ = char(text.size() >> 8);
    *out++ = wide ? 1 : 0;
    for (QChar c : text) {
        *out++ = char(c.unicode() & 0xFF);
        if (wide)
            *out++ = char(c.unicode() >> 8);
    }
}

// A plain string that lies whole in the record from pos on, read straight
// from its bytes; false for anything else, which the general reader takes.
bool ReadPlainInRecord(const QByteArray &data, int &pos, QString &text)
{
    if (pos + 3 > data.size())
        return false;
    const auto *p = reinterpret_cast<const uchar *>(data.constData()) + pos;
    const quint8 flags = p[2];
    if (flags & (FlagRichText | FlagExtension))
        return false;
    const int count = p[0] | (p[1] << 8);
    const bool wide = flags & 0x01;
    if (pos + 3 + count * (wide ? 2 : 1) > data.size())
        return false;
    p += 3;
    if (count == 0) {
        text = QString();  // as the general reader gives it
    } else if (wide) {
        text = QString(count, Qt::Uninitialized);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)
            std::memcpy(out, p, size_t(count) * 2);
        else
            for (int i = 0; i < count; ++i)
                out[i] = char16_t(p[2 * i] | (p[2 * i + 1] << 8));
    } else {
        text = QString::fromLatin1(reinterpret_cast<const char *>(p), count);
    }
    pos += 3 + count * (wide ? 2 : 1);
    return true;
}

// The string built in a buffer that is reused from string to string.
const QByteArray &PlainStringBytes(const QString &text, QByteArray &buffer)
{
    const bool wide = IsWide(text);
    buffer.resize(PlainSize(text, wide));
    PutPlain(text, wide, buffer.data());
    return buffer;
}

// Cuts the table into an SST record and CONTINUE records the way the format
// asks: a string's header never splits, and characters that run into the next
// record are preceded there by a fresh option byte.
class TSSTWriter
{
public:
    explicit TSSTWriter(const QByteArray &header)
    {
        NewRecord();
        Current().append(header);
    }

    void AddString(const QByteArray &bytes)
    {
        const quint8 flags = quint8(bytes.at(2));
        const int headerSize = 3 + ((flags & FlagRichText) ? 2 : 0) + ((flags & FlagExtension) ? 4 : 0);
        const int charWidth = (flags & 0x01) ? 2 : 1;
        const int charCount = ReadWord(bytes, 0);
        if (Room() < headerSize + (charCount > 0 ? charWidth : 0))
            NewRecord();
        Current().append(bytes.constData(), headerSize);
        int pos = headerSize;
        for (int left = charCount; left > 0;) {
            if (Room() < charWidth) {
                NewRecord();
                Current().append(char(flags & 0x01));
            }
            const int n = std::min(left, Room() / charWidth);
            Current().append(bytes.constData() + pos, n * charWidth);
            pos += n * charWidth;
            left -= n;
        }
        // Rich-text runs and the extension block may split anywhere.
        while (pos < bytes.size()) {
            if (Room() == 0)
                NewRecord();
            const int n = std::min(int(bytes.size()) - pos, Room());
            Current().append(bytes.constData() + pos, n);
            pos += n;
        }
    }

    // A plain string: written in place when it fits the record whole, as
    // most do, else split as AddString splits it.
    void AddPlain(const QString &text, QByteArray &scratch)
    {
        const bool wide = IsWide(text);
        const int size = PlainSize(text, wide);
        if (Room() < size) {
            AddString(PlainStringBytes(text, scratch));
            return;
        }
        QByteArray &record = Current();
        const qsizetype at = record.size();
        record.resize(at + size);
        PutPlain(text, wide, record.data() + at);
    }

    std::unique_ptr<TBaseRecord> Finish()
    {
        auto record = CreateRecord(SSTId, FRecords[0]);
        for (size_t i = 1; i < FRecords.size(); ++i)
            record->AppendContinue(std::make_unique<TContinueRecord>(TContinueRecord::Id, FRecords[i]));
        return record;
    }

private:
    QByteArray &Current() { return FRecords.back(); }
    int Room() const { return MaxRecordData - int(FRecords.back().size()); }
    // Each record's buffer is allocated once at its full size: grown piece by
    // piece, the buffers of a large table would hold much unused room.
    void NewRecord()
    {
        FRecords.emplace_back();
        FRecords.back().reserve(MaxRecordData);
    }

    std::vector<QByteArray> FRecords;
};

}  // namespace

TSST::TSST() = default;
TSST::~TSST() = default;

void TSST::Clear()
{
    FEntries.clear();
    FSlots.clear();
    FFilled = 0;
    FSorted = false;
}

void TSST::Load(const TBaseRecord &sstRecord)
{
    Clear();
    if (sstRecord.DataSize() < 8)
        XlsRaise(XlsMsg::FileInvalid);
    const quint32 unique = ReadCardinal(sstRecord.Data(), 4);
    // Each string takes at least 3 bytes: a count the data cannot hold is a bad file.
    if (qint64(unique) * 3 > sstRecord.TotalDataSize())
        XlsRaise(XlsMsg::FileInvalid);
    FEntries.reserve(unique);
    const TBaseRecord *record = &sstRecord;
    int pos = 8;
    for (quint32 i = 0; i < unique; ++i) {
        QString text;
        if (ReadPlainInRecord(record->Data(), pos, text)) {
            FEntries.push_back({std::move(text), nullptr});
            continue;
        }
        TExcelString string(2, record, pos);
        // Rich-text runs and extension blocks are kept to be written back;
        // a plain string needs only its text.
        if (string.OptionFlags() & (FlagRichText | FlagExtension)) {
            QString text = string.Value();
            FEntries.push_back({std::move(text), std::make_unique<TExcelString>(std::move(string))});
        } else {
            FEntries.push_back({string.Value(), nullptr});
        }
    }
}

quint32 TSST::Hash(QStringView text)
{
    // Eight bytes of UTF-16 at a time, each mixed in by a multiply and a
    // shift, and a final mix so that texts differing only at their end
    // spread over the whole table.
    const char *data = reinterpret_cast<const char *>(text.utf16());
    size_t left = size_t(text.size()) * 2;
    quint64 h = 0x9E3779B97F4A7C15ull ^ left;
    for (; left > 0; data += 8) {
        quint64 chunk = 0;
        const size_t n = std::min<size_t>(left, 8);
        std::memcpy(&chunk, data, n);
        left -= n;
        h = (h ^ chunk) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    h *= 0x94D049BB133111EBull;
    h ^= h >> 32;
    return quint32(h);
}

TSST::TSlot &TSST::Probe(QStringView text, quint32 hash)
{
    const size_t mask = FSlots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        TSlot &slot = FSlots[i];
        if (slot.Entry == 0 || (slot.Hash == hash && FEntries[slot.Entry - 1].Text == text))
            return slot;
    }
}

void TSST::Remember(quint32 index, quint32 hash)
{
    if ((FFilled + 1) * 2 > FSlots.size())
        Grow();
    TSlot &slot = Probe(FEntries[index].Text, hash);
    if (slot.Entry != 0)
        return;  // an equal text before it keeps the lookup
    slot = {hash, index + 1};
    ++FFilled;
}

void TSST::Grow()
{
    std::vector<TSlot> old(std::max<size_t>(FSlots.size() * 2, 64));
    old.swap(FSlots);
    const size_t mask = FSlots.size() - 1;
    for (const TSlot &slot : old) {
        if (slot.Entry == 0)
            continue;
        size_t i = slot.Hash & mask;
        while (FSlots[i].Entry != 0)
            i = (i + 1) & mask;
        FSlots[i] = slot;
    }
}

void TSST::Sort()
{
    FSlots.clear();
    FFilled = 0;
    size_t plain = 0;
    for (const TEntry &entry : FEntries)
        plain += entry.Rich ? 0 : 1;
    size_t capacity = 64;
    while (capacity < plain * 2 + 2)
        capacity *= 2;
    FSlots.resize(capacity);
    // Only plain strings serve new cells; the first of equal texts wins.
    for (size_t i = 0; i < FEntries.size(); ++i)
        if (!FEntries[i].Rich)
            Remember(quint32(i), Hash(FEntries[i].Text));
    FSorted = true;
}

QString TSST::Text(quint32 index) const
{
    return index < FEntries.size() ? FEntries[index].Text : QString();
}

const TExcelString *TSST::RichString(quint32 index) const
{
    return index < FEntries.size() ? FEntries[index].Rich.get() : nullptr;
}

quint32 TSST::AddString(const QString &text)
{
    if (!FSorted)
        Sort();
    const quint32 hash = Hash(text);
    if (const TSlot &slot = Probe(text, hash); slot.Entry != 0)
        return slot.Entry - 1;
    if (text.size() > MaxTextSize)
        TExcelString(2, text);  // raises with the length the table cannot hold
    const quint32 index = quint32(FEntries.size());
    FEntries.push_back({text, nullptr});
    Remember(index, hash);
    return index;
}

void TSST::Compact(const std::vector<bool> &used, std::vector<quint32> &newIndex)
{
    // The lookup is given back first and the kept entries move down in
    // place: a large table is not held twice while it shrinks.
    std::vector<TSlot>().swap(FSlots);
    FFilled = 0;
    FSorted = false;
    newIndex.assign(FEntries.size(), 0);
    size_t kept = 0;
    for (size_t i = 0; i < FEntries.size(); ++i) {
        if (i < used.size() && used[i]) {
            newIndex[i] = quint32(kept);
            if (kept != i)
                FEntries[kept] = std::move(FEntries[i]);
            ++kept;
        }
    }
    FEntries.erase(FEntries.begin() + qsizetype(kept), FEntries.end());
}

std::unique_ptr<TBaseRecord> TSST::BuildRecord(quint32 totalRefs) const
{
    QByteArray header(8, '\0');
    WriteCardinal(header, 0, totalRefs);
    WriteCardinal(header, 4, quint32(FEntries.size()));
    TSSTWriter writer(header);
    QByteArray scratch;
    for (const auto &entry : FEntries) {
        if (entry.Rich)
            writer.AddString(entry.Rich->ToBytes(true));
        else
            writer.AddPlain(entry.Text, scratch);
    }
    return writer.Finish();
}
