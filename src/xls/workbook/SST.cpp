#include "xls/workbook/SST.h"

#include "xls/records/BaseRecord.h"
#include "xls/records/ExcelString.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/GatheringDevice.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr quint16 SSTId = 0x00FC;
constexpr int MaxRecordData = 8224;
constexpr quint8 FlagExtension = 0x04;
constexpr quint8 FlagRichText = 0x08;
constexpr int MaxTextSize = 0xFFFF;  // an entry's length field has 2 bytes

// Characters that all fit one byte are stored compressed, as TExcelString
// stores them. An OR over every character: a table holds hundreds of
// thousands of texts, so eight are looked at a time.
bool IsWide(QStringView text)
{
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
#ifdef __SSE2__
    __m128i any = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8)
        any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i)));
    // The high bytes of the eight lanes.
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_srli_epi16(any, 8), _mm_setzero_si128())) != 0xFFFF)
        return true;
#endif
    char16_t bits = 0;
    for (; i < n; ++i)
        bits |= p[i];
    return bits > 0xFF;
}

int PlainSize(QStringView text, bool wide)
{
    return 3 + int(text.size()) * (wide ? 2 : 1);
}

// A plain BIFF8 string with a 2-byte length: the header, then the characters,
// one byte each or two (little-endian).
void PutPlain(QStringView text, bool wide, char *out)
{
    const qsizetype n = text.size();
    *out++ = char(n & 0xFF);
    *out++ = char(n >> 8);
    *out++ = wide ? 1 : 0;
    const char16_t *p = text.utf16();
    if (wide) {
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            std::memcpy(out, p, size_t(n) * 2);
        } else {
            for (qsizetype i = 0; i < n; ++i) {
                *out++ = char(p[i] & 0xFF);
                *out++ = char(p[i] >> 8);
            }
        }
        return;
    }
    qsizetype i = 0;
#ifdef __SSE2__
    // Every character is below 0x100, so packing keeps each whole.
    for (; i + 16 <= n; i += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 8));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(low, high));
    }
#endif
    for (; i < n; ++i)
        out[i] = char(p[i]);
}

// A plain string that lies whole in the record from pos on, appended to
// chars straight from its bytes; false for anything else, which the general
// reader takes.
bool ReadPlainInRecord(QByteArrayView data, int &pos, std::vector<char16_t> &chars)
{
    if (pos + 3 > data.size())
        return false;
    const auto *p = reinterpret_cast<const uchar *>(data.data()) + pos;
    const quint8 flags = p[2];
    if (flags & (FlagRichText | FlagExtension))
        return false;
    const int count = p[0] | (p[1] << 8);
    const bool wide = flags & 0x01;
    if (pos + 3 + count * (wide ? 2 : 1) > data.size())
        return false;
    p += 3;
    const size_t at = chars.size();
    chars.resize(at + size_t(count));
    char16_t *out = chars.data() + at;
    if (wide && Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        std::memcpy(out, p, size_t(count) * 2);
    } else {
        for (int i = 0; i < count; ++i)
            out[i] = wide ? char16_t(p[2 * i] | (p[2 * i + 1] << 8)) : char16_t(p[i]);
    }
    pos += 3 + count * (wide ? 2 : 1);
    return true;
}

// The string built in a buffer that is reused from string to string.
const QByteArray &PlainStringBytes(QStringView text, QByteArray &buffer)
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
    using TSink = std::function<void(QByteArrayView)>;

    // Counting only (fill false), the sink is told each record's size and
    // its bytes are not made.
    TSSTWriter(const QByteArray &header, const TSink &sink, bool fill)
        : FSink(sink), FFill(fill), FRecord(MaxRecordData, Qt::Uninitialized)
    {
        // One buffer at the full size of a record, handed on when full.
        Append(header.constData(), int(header.size()));
    }

    void AddString(const QByteArray &bytes)
    {
        const quint8 flags = quint8(bytes.at(2));
        const int headerSize = 3 + ((flags & FlagRichText) ? 2 : 0) + ((flags & FlagExtension) ? 4 : 0);
        const int charWidth = (flags & 0x01) ? 2 : 1;
        const int charCount = ReadWord(bytes, 0);
        if (Room() < headerSize + (charCount > 0 ? charWidth : 0))
            NewRecord();
        Append(bytes.constData(), headerSize);
        int pos = headerSize;
        for (int left = charCount; left > 0;) {
            if (Room() < charWidth) {
                NewRecord();
                const char option = char(flags & 0x01);
                Append(&option, 1);
            }
            const int n = std::min(left, Room() / charWidth);
            Append(bytes.constData() + pos, n * charWidth);
            pos += n * charWidth;
            left -= n;
        }
        // Rich-text runs and the extension block may split anywhere.
        while (pos < bytes.size()) {
            if (Room() == 0)
                NewRecord();
            const int n = std::min(int(bytes.size()) - pos, Room());
            Append(bytes.constData() + pos, n);
            pos += n;
        }
    }

    // A plain string: written in place when it fits the record whole, as
    // most do, else split as AddString splits it.
    void AddPlain(QStringView text, QByteArray &scratch)
    {
        const bool wide = IsWide(text);
        const int size = PlainSize(text, wide);
        if (Room() < size) {
            AddString(PlainStringBytes(text, scratch));
            return;
        }
        if (FFill)
            PutPlain(text, wide, FRecord.data() + FUsed);
        FUsed += size;
    }

    void Finish() { FSink(QByteArrayView(FRecord.constData(), FUsed)); }

private:
    int Room() const { return MaxRecordData - FUsed; }
    void Append(const char *data, int size)
    {
        if (FFill)
            std::memcpy(FRecord.data() + FUsed, data, size_t(size));
        FUsed += size;
    }
    void NewRecord()
    {
        FSink(QByteArrayView(FRecord.constData(), FUsed));
        FUsed = 0;
    }

    const TSink &FSink;
    const bool FFill;
    QByteArray FRecord;
    int FUsed = 0;
};

// The SST record and its CONTINUE records written from the table as they
// are made: a large table is not held a second time, as records, on save.
// Its size is counted by making it once without writing.
class TSSTTableRecord final : public TBaseRecord
{
public:
    TSSTTableRecord(const TSST &sst, quint32 totalRefs)
        : TBaseRecord(SSTId, QByteArray()), FSST(sst), FTotalRefs(totalRefs), FCount(sst.Count())
    {
        FSST.CountRecords(FTotalRefs, [this](QByteArrayView data) {
            FSize += 4 + data.size();
            FDataSize += data.size();
        });
    }

    void SaveTo(TGatheringDevice &out) const override
    {
        // The table changed since the size was counted: the file would be wrong.
        if (FSST.Count() != FCount)
            XlsRaise(QStringLiteral("The shared-string table changed while the workbook was being saved"));
        quint16 id = SSTId;
        qint64 written = 0;
        FSST.WriteRecords(FTotalRefs, [&](QByteArrayView data) {
            const char header[4] = {char(id & 0xFF), char(id >> 8), char(data.size() & 0xFF), char(data.size() >> 8)};
            out.Put(header, 4);
            out.Put(data.constData(), data.size());
            written += 4 + data.size();
            id = TContinueRecord::Id;
        });
        if (written != FSize)
            XlsRaise(QStringLiteral("The shared-string table changed while the workbook was being saved"));
    }
    qint64 TotalSize() const override { return FSize; }
    qint64 TotalDataSize() const override { return FDataSize; }
    std::unique_ptr<TBaseRecord> Clone() const override { return FSST.BuildRecord(FTotalRefs); }

private:
    const TSST &FSST;
    quint32 FTotalRefs;
    int FCount;
    qint64 FSize = 0;
    qint64 FDataSize = 0;
};

}  // namespace

TSST::TSST() = default;
TSST::~TSST() = default;

void TSST::Clear()
{
    FChars.clear();
    FEnds.clear();
    FRich.clear();
    FSlots.clear();
    FFilled = 0;
    FSorted = false;
}

void TSST::AppendText(QStringView text)
{
    FChars.insert(FChars.end(), text.utf16(), text.utf16() + text.size());
    FEnds.push_back(quint32(FChars.size()));
}

void TSST::Load(const TBaseRecord &sstRecord)
{
    Clear();
    if (sstRecord.DataSize() < 8)
        XlsRaise(XlsMsg::FileInvalid);
    const quint32 unique = ReadCardinal(sstRecord.DataView(), 4);
    // Each string takes at least 3 bytes: a count the data cannot hold is a bad file.
    const qint64 dataSize = sstRecord.TotalDataSize();
    if (qint64(unique) * 3 > dataSize)
        XlsRaise(XlsMsg::FileInvalid);
    FEnds.reserve(unique);
    // Room for wide characters; compressed ones grow the block.
    FChars.reserve(size_t(dataSize / 2));
    const TBaseRecord *record = &sstRecord;
    int pos = 8;
    for (quint32 i = 0; i < unique; ++i) {
        if (ReadPlainInRecord(record->DataView(), pos, FChars)) {
            FEnds.push_back(quint32(FChars.size()));
            continue;
        }
        TExcelString string(2, record, pos);
        AppendText(string.Value());
        // Rich-text runs and extension blocks are kept to be written back;
        // a plain string needs only its text.
        if (string.OptionFlags() & (FlagRichText | FlagExtension))
            FRich.emplace_back(i, std::make_unique<TExcelString>(std::move(string)));
    }
    FChars.shrink_to_fit();
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
        if (slot.Entry == 0 || (slot.Hash == hash && TextView(slot.Entry - 1) == text))
            return slot;
    }
}

void TSST::Remember(quint32 index, quint32 hash)
{
    if ((FFilled + 1) * 2 > FSlots.size())
        Grow();
    TSlot &slot = Probe(TextView(index), hash);
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
    const size_t plain = FEnds.size() - FRich.size();
    size_t capacity = 64;
    while (capacity < plain * 2 + 2)
        capacity *= 2;
    FSlots.resize(capacity);
    // Only plain strings serve new cells; the first of equal texts wins.
    auto rich = FRich.cbegin();
    for (quint32 i = 0; i < FEnds.size(); ++i) {
        if (rich != FRich.cend() && rich->first == i)
            ++rich;
        else
            Remember(i, Hash(TextView(i)));
    }
    FSorted = true;
}

QString TSST::Text(quint32 index) const
{
    if (index >= FEnds.size())
        return QString();
    const QStringView text = TextView(index);
    return text.isEmpty() ? QString() : text.toString();
}

const TExcelString *TSST::RichString(quint32 index) const
{
    const auto it = std::lower_bound(FRich.cbegin(), FRich.cend(), index,
                                     [](const auto &entry, quint32 i) { return entry.first < i; });
    return it != FRich.cend() && it->first == index ? it->second.get() : nullptr;
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
    const quint32 index = quint32(FEnds.size());
    AppendText(text);
    Remember(index, hash);
    return index;
}

quint32 TSST::AddRichString(const TExcelString &string)
{
    // A string is never longer than its 2-byte length field counts.
    const quint32 index = quint32(FEnds.size());
    AppendText(string.Value());
    FRich.emplace_back(index, std::make_unique<TExcelString>(string));
    return index;
}

void TSST::Compact(const std::vector<bool> &used, std::vector<quint32> &newIndex)
{
    // The lookup is given back first and the kept texts move down in
    // place, front to back: a large table is not held twice while it shrinks.
    std::vector<TSlot>().swap(FSlots);
    FFilled = 0;
    FSorted = false;
    newIndex.assign(FEnds.size(), 0);
    quint32 kept = 0;
    quint32 to = 0;
    quint32 start = 0;
    for (size_t i = 0; i < FEnds.size(); ++i) {
        const quint32 end = FEnds[i];
        if (i < used.size() && used[i]) {
            std::copy(FChars.begin() + start, FChars.begin() + end, FChars.begin() + to);
            to += end - start;
            newIndex[i] = kept;
            FEnds[kept++] = to;
        }
        start = end;
    }
    FEnds.resize(kept);
    FChars.resize(to);
    std::erase_if(FRich, [&](const auto &entry) { return entry.first >= used.size() || !used[entry.first]; });
    for (auto &entry : FRich)
        entry.first = newIndex[entry.first];
}

void TSST::WriteRecords(quint32 totalRefs, const std::function<void(QByteArrayView)> &sink) const
{
    CutRecords(totalRefs, sink, true);
}

void TSST::CountRecords(quint32 totalRefs, const std::function<void(QByteArrayView)> &sink) const
{
    CutRecords(totalRefs, sink, false);
}

void TSST::CutRecords(quint32 totalRefs, const std::function<void(QByteArrayView)> &sink, bool fill) const
{
    QByteArray header(8, '\0');
    WriteCardinal(header, 0, totalRefs);
    WriteCardinal(header, 4, quint32(FEnds.size()));
    TSSTWriter writer(header, sink, fill);
    QByteArray scratch;
    auto rich = FRich.cbegin();
    for (quint32 i = 0; i < FEnds.size(); ++i) {
        if (rich != FRich.cend() && rich->first == i)
            writer.AddString((rich++)->second->ToBytes(true));
        else
            writer.AddPlain(TextView(i), scratch);
    }
    writer.Finish();
}

std::unique_ptr<TBaseRecord> TSST::BuildRecord(quint32 totalRefs) const
{
    std::unique_ptr<TBaseRecord> record;
    WriteRecords(totalRefs, [&](QByteArrayView data) {
        // A copy of its own: the writer goes on in its buffer.
        QByteArray copy(data.data(), data.size());
        if (!record)
            record = CreateRecord(SSTId, std::move(copy));
        else
            record->AppendContinue(std::make_unique<TContinueRecord>(TContinueRecord::Id, std::move(copy)));
    });
    return record;
}

std::unique_ptr<TBaseRecord> TSST::TableRecord(quint32 totalRefs) const
{
    return std::make_unique<TSSTTableRecord>(*this, totalRefs);
}
