#include "xls/records/RecordFactory.h"

#include "xls/records/CellRecords.h"
#include "xls/records/DrawingRecords.h"
#include "xls/records/FormatRecords.h"
#include "xls/records/LinkRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/SheetRecords.h"
#include "xls/records/TokenRecords.h"
#include "xls/records/XlsRecordMessages.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ExcelException.h"

#include <QHash>

using namespace XlsRecordMessages;

namespace {
constexpr quint16 FilePassId = 0x002F;
constexpr quint16 TableId = 0x0236;
constexpr quint16 ArrayId = 0x0221;

QHash<quint16, TRecordConstructor> &RegisteredClasses()
{
    static QHash<quint16, TRecordConstructor> classes;
    return classes;
}

TRecordConstructor BuiltInClass(quint16 id)
{
    switch (id) {
    case TEOFRecord::Id: return ConstructRecord<TEOFRecord>;
    case TPrecisionRecord::Id: return ConstructRecord<TPrecisionRecord>;
    case TRefModeRecord::Id: return ConstructRecord<TRefModeRecord>;
    case TPageHeaderRecord::Id: return ConstructRecord<TPageHeaderRecord>;
    case TPageFooterRecord::Id: return ConstructRecord<TPageFooterRecord>;
    case TExternSheetRecord::Id: return ConstructRecord<TExternSheetRecord>;
    case TVPageBreakRecord::Id: return ConstructRecord<TVPageBreakRecord>;
    case THPageBreakRecord::Id: return ConstructRecord<THPageBreakRecord>;
    case TNoteRecord::Id: return ConstructRecord<TNoteRecord>;
    case T1904Record::Id: return ConstructRecord<T1904Record>;
    case TExternNameRecord::Id:
    case TExternNameRecord::OldId: return ConstructRecord<TExternNameRecord>;
    case TMarginRecord::LeftId:
    case TMarginRecord::RightId:
    case TMarginRecord::TopId:
    case TMarginRecord::BottomId: return ConstructRecord<TMarginRecord>;
    case TPrintGridLinesRecord::Id: return ConstructRecord<TPrintGridLinesRecord>;
    case TFontRecord::Id: return ConstructRecord<TFontRecord>;
    case TContinueRecord::Id: return ConstructRecord<TContinueRecord>;
    case TWindow1Record::Id: return ConstructRecord<TWindow1Record>;
    case TPaneRecord::Id: return ConstructRecord<TPaneRecord>;
    case TPlsRecord::Id: return ConstructRecord<TPlsRecord>;
    case TDefColWidthRecord::Id: return ConstructRecord<TDefColWidthRecord>;
    case 0x0059:  // XCT
    case 0x005A:  // CRN
    case 0x00D7:  // DBCELL
    case 0x00ED:  // MSODRAWINGSELECTION
    case 0x00FF:  // EXTSST
    case 0x01C1:  // RECALCID
    case 0x020B:  // INDEX
        return ConstructRecord<TIgnoreRecord>;
    case TObjRecord::Id: return ConstructRecord<TObjRecord>;
    case TColInfoRecord::Id: return ConstructRecord<TColInfoRecord>;
    case TGutsRecord::Id: return ConstructRecord<TGutsRecord>;
    case TWsBoolRecord::Id: return ConstructRecord<TWsBoolRecord>;
    case TBoundSheetRecord::Id: return ConstructRecord<TBoundSheetRecord>;
    case TPaletteRecord::Id: return ConstructRecord<TPaletteRecord>;
    case TStandardWidthRecord::Id: return ConstructRecord<TStandardWidthRecord>;
    case TSCLRecord::Id: return ConstructRecord<TSCLRecord>;
    case TSetupRecord::Id: return ConstructRecord<TSetupRecord>;
    case TMulRKRecord::Id: return ConstructRecord<TMulRKRecord>;
    case TMulBlankRecord::Id: return ConstructRecord<TMulBlankRecord>;
    case TObProjRecord::Id: return ConstructRecord<TObProjRecord>;
    case TBookBoolRecord::Id: return ConstructRecord<TBookBoolRecord>;
    case TXFRecord::Id: return ConstructRecord<TXFRecord>;
    case TCellMergingRecord::Id: return ConstructRecord<TCellMergingRecord>;
    case TDrawingGroupRecord::Id: return ConstructRecord<TDrawingGroupRecord>;
    case TDrawingRecord::Id: return ConstructRecord<TDrawingRecord>;
    case TSSTRecord::Id: return ConstructRecord<TSSTRecord>;
    case TLabelSSTRecord::Id: return ConstructRecord<TLabelSSTRecord>;
    case TSupBookRecord::Id: return ConstructRecord<TSupBookRecord>;
    case TCondFmtRecord::Id: return ConstructRecord<TCondFmtRecord>;
    case TCFRecord::Id: return ConstructRecord<TCFRecord>;
    case TDValRecord::Id: return ConstructRecord<TDValRecord>;
    case TTXORecord::Id: return ConstructRecord<TTXORecord>;
    case THLinkRecord::Id: return ConstructRecord<THLinkRecord>;
    case TCodeNameRecord::Id: return ConstructRecord<TCodeNameRecord>;
    case TDimensionsRecord::Id: return ConstructRecord<TDimensionsRecord>;
    case TBlankRecord::Id: return ConstructRecord<TBlankRecord>;
    case TNumberRecord::Id: return ConstructRecord<TNumberRecord>;
    case TLabelRecord::Id: return ConstructRecord<TLabelRecord>;
    case TRStringRecord::Id: return ConstructRecord<TRStringRecord>;
    case TBoolErrRecord::Id: return ConstructRecord<TBoolErrRecord>;
    case TStringRecord::Id: return ConstructRecord<TStringRecord>;
    case TRowRecord::Id: return ConstructRecord<TRowRecord>;
    case TDefRowHeightRecord::Id: return ConstructRecord<TDefRowHeightRecord>;
    case TWindow2Record::Id: return ConstructRecord<TWindow2Record>;
    case TRKRecord::Id: return ConstructRecord<TRKRecord>;
    case TStyleRecord::Id: return ConstructRecord<TStyleRecord>;
    case TFormatRecord::Id: return ConstructRecord<TFormatRecord>;
    case TScreenTipRecord::Id: return ConstructRecord<TScreenTipRecord>;
    case TBOFRecord::Id: return ConstructRecord<TBOFRecord>;
    case TChartAIRecord::Id: return ConstructRecord<TChartAIRecord>;
    default: return nullptr;
    }
}

// A record's data as a view of the stream (the header has been read
// already): the record copies what it keeps, so a small cell needs no
// buffer of its own on the way.
QByteArray ReadRecordData(ByteCursor &stream, quint16 size)
{
    if (stream.remaining() < size)
        throw EExcelException(ErrExcelInvalid);
    const QByteArrayView bytes = stream.bytes(size);
    return QByteArray::fromRawData(bytes.data(), bytes.size());
}

std::unique_ptr<TBaseRecord> ReadOneRecord(ByteCursor &stream, quint32 header)
{
    const quint16 id = static_cast<quint16>(header & 0xFFFF);
    return CreateRecord(id, ReadRecordData(stream, static_cast<quint16>(header >> 16)));
}

// A CONTINUE record and nothing more.
std::unique_ptr<TContinueRecord> ReadContinue(ByteCursor &stream, quint32 header)
{
    return std::make_unique<TContinueRecord>(TContinueRecord::Id,
                                             ReadRecordData(stream, static_cast<quint16>(header >> 16)));
}
} // namespace

void RegisterRecordClass(quint16 id, TRecordConstructor constructor)
{
    RegisteredClasses().insert(id, constructor);
}

bool IsRecordClassRegistered(quint16 id)
{
    return RegisteredClasses().contains(id);
}

bool JoinsRecordBefore(quint16 id)
{
    return id == TContinueRecord::Id || id == TableId || id == ArrayId || id == TScreenTipRecord::Id
        || id == TStringRecord::Id;
}

std::unique_ptr<TBaseRecord> CreateRecord(quint16 id, QByteArray data)
{
    if (id == FilePassId)
        throw EExcelException(ErrFileIsPasswordProtected);
    // A registered class wins, so a library above may serve an id itself.
    const auto &registered = RegisteredClasses();
    if (!registered.isEmpty()) {
        const auto it = registered.constFind(id);
        if (it != registered.constEnd())
            return (*it)(id, std::move(data));
    }
    if (TRecordConstructor constructor = BuiltInClass(id))
        return constructor(id, std::move(data));
    return std::make_unique<TBaseRecord>(id, std::move(data));
}

bool ReadRecordHeader(ByteCursor &stream, quint32 &header)
{
    if (stream.remaining() < 4)
        return false;
    header = stream.u32();
    return true;
}

namespace {
// depth 1 reads a TABLE, ARRAY or screen-tip record that belongs to the
// record before it; such a record owns no further records, which keeps the
// nesting to one level whatever the file holds.
std::unique_ptr<TBaseRecord> ReadRecordAndFollowers(ByteCursor &stream, quint32 header, int depth)
{
    std::unique_ptr<TBaseRecord> record = ReadOneRecord(stream, header);
    // The continue chain is read in a loop: its length is up to the file.
    TBaseRecord *tail = record.get();
    quint32 next = 0;
    while (ReadRecordHeader(stream, next)) {
        const quint16 nextId = static_cast<quint16>(next & 0xFFFF);
        if (nextId == TContinueRecord::Id) {
            auto continueRecord = ReadContinue(stream, next);
            TBaseRecord *added = continueRecord.get();
            tail->AddContinue(std::move(continueRecord));
            tail = added;
            continue;
        }
        if (nextId == TableId || nextId == ArrayId || nextId == TScreenTipRecord::Id) {
            record->ContinuesRead();
            stream.setMark(stream.pos() - 4);  // a record out of place is the one named
            if (depth > 0)
                throw EExcelException(ErrExcelInvalid);
            std::unique_ptr<TBaseRecord> following = ReadRecordAndFollowers(stream, next, depth + 1);
            if (!record->AttachFollowing(following))
                throw EExcelException(ErrExcelInvalid);
            return record;
        }
        if (nextId == TStringRecord::Id && !record->AllowsStringAfter()) {
            stream.setMark(stream.pos() - 4);
            throw EExcelException(ErrExcelInvalid);
        }
        stream.seek(stream.pos() - 4);
        break;
    }
    record->ContinuesRead();
    return record;
}
} // namespace

std::unique_ptr<TBaseRecord> ReadBiffRecord(ByteCursor &stream, quint32 header)
{
    stream.setMark(stream.pos() - 4);  // a load error names this record
    return ReadRecordAndFollowers(stream, header, 0);
}

void ReadAcrossContinue(const TBaseRecord *&record, int &pos, int count, char *dest)
{
    while (count > 0) {
        const int size = record->DataSize();
        if (pos < 0 || pos > size)
            throw EExcelException(ErrReadingRecord);
        if (pos == size) {
            if (!record->Continue())
                throw EExcelException(ErrReadingRecord);
            record = record->Continue();
            pos = 0;
            continue;
        }
        const int n = qMin(count, size - pos);
        if (dest) {
            std::copy_n(record->DataView().data() + pos, n, dest);
            dest += n;
        }
        pos += n;
        count -= n;
    }
}

QString ReadStringAcrossContinue(const TBaseRecord *&record, int &pos, int charCount, quint8 &optionFlags)
{
    QString text;
    text.reserve(qMin(charCount, 0x10000));
    bool wide = (optionFlags & 0x01) != 0;
    while (text.size() < charCount) {
        const int size = record->DataSize();
        if (pos < 0 || pos > size)
            throw EExcelException(ErrReadingRecord);
        if (pos == size) {
            // The rest goes on in the continue record, after a fresh option byte.
            if (!record->Continue() || record->Continue()->DataSize() == 0)
                throw EExcelException(ErrReadingRecord);
            record = record->Continue();
            wide = (record->DataView()[0] & 0x01) != 0;
            if (wide)
                optionFlags |= 0x01;
            pos = 1;
            continue;
        }
        const int width = wide ? 2 : 1;
        const int n = qMin(charCount - int(text.size()), (size - pos) / width);
        if (n == 0)  // half a wide character at the end of the record
            throw EExcelException(ErrReadingRecord);
        const auto *chars = reinterpret_cast<const uchar *>(record->DataView().data()) + pos;
        const qsizetype done = text.size();
        text.resize(done + n);
        char16_t *out = reinterpret_cast<char16_t *>(text.data()) + done;
        for (int i = 0; i < n; ++i)
            out[i] = wide ? char16_t(chars[2 * i] | (chars[2 * i + 1] << 8)) : char16_t(chars[i]);
        pos += n * width;
    }
    return text;
}
