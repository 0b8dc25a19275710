#include "xls/records/CellRecords.h"

#include "xls/records/ExcelString.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/XlsRecordMessages.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"
#include "xls/storage/GatheringDevice.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>

namespace {
// The data of a new plain cell, built on the stack: row, column and XF, then
// the value. The record keeps these few bytes inside itself (BaseRecord.h)
// and copies them from the view; a heap buffer made and freed for each of
// the hundreds of thousands of cells a fill writes cost more than the rest
// of making the cell.
class TNewCellBytes
{
public:
    TNewCellBytes(int row, int column, int xf, int size) : FSize(size)
    {
        CheckEntryCount(row, 65535);
        CheckEntryCount(column, 255);
        qToLittleEndian(quint16(row), FBytes);
        qToLittleEndian(quint16(column), FBytes + 2);
        qToLittleEndian(quint16(xf), FBytes + 4);
    }
    void PutCardinal(int offset, quint32 value) { qToLittleEndian(value, FBytes + offset); }
    void PutDouble(int offset, double value) { qToLittleEndian(std::bit_cast<quint64>(value), FBytes + offset); }
    // Valid while this lives.
    QByteArray View() const { return QByteArray::fromRawData(FBytes, FSize); }

private:
    char FBytes[14] = {};
    int FSize;
};
} // namespace

namespace {
struct TErrorCode
{
    quint8 Code;
    const char *Text;
};
constexpr TErrorCode ErrorCodes[] = {
    {0x00, "#NULL!"}, {0x07, "#DIV/0!"}, {0x0F, "#VALUE!"}, {0x17, "#REF!"},
    {0x1D, "#NAME?"}, {0x24, "#NUM!"},   {0x2A, "#N/A"},
};
} // namespace

QString ErrorCodeText(int code)
{
    for (const TErrorCode &e : ErrorCodes)
        if (e.Code == code)
            return QString::fromLatin1(e.Text);
    return QString();
}

int ErrorTextCode(QStringView text)
{
    for (const TErrorCode &e : ErrorCodes)
        if (text == QLatin1StringView(e.Text))
            return e.Code;
    return -1;
}

// ---- cells written in runs

// The record header, then row and first column.
template <quint16 RunId, int ItemSize>
void TRunCellRecord<RunId, ItemSize>::SaveAsFirstOfRun(TGatheringDevice &out, qint64 runSize) const
{
    char *p = out.Reserve(8);
    const int words[4] = {RunId, static_cast<int>(runSize - 4), Row(), Column()};
    for (int i = 0; i < 4; ++i) {
        p[2 * i] = static_cast<char>(words[i] & 0xFF);
        p[2 * i + 1] = static_cast<char>((words[i] >> 8) & 0xFF);
    }
    out.Commit(8);
    SaveAsMiddleOfRun(out);
}

template <quint16 RunId, int ItemSize>
void TRunCellRecord<RunId, ItemSize>::SaveAsMiddleOfRun(TGatheringDevice &out) const
{
    // The cell's data holds the item as the multiple-cell record has it.
    RequireDataSize(4 + ItemSize);
    out.Put(DataView().data() + 4, ItemSize);
}

template <quint16 RunId, int ItemSize>
void TRunCellRecord<RunId, ItemSize>::SaveAsLastOfRun(TGatheringDevice &out) const
{
    SaveAsMiddleOfRun(out);
    const int column = Column();
    const char bytes[2] = {static_cast<char>(column & 0xFF), static_cast<char>((column >> 8) & 0xFF)};
    out.Put(bytes, 2);
}

template class TRunCellRecord<TMulBlankRecord::Id, 2>;
template class TRunCellRecord<TMulRKRecord::Id, 6>;

// ---- BLANK

TBlankRecord::TBlankRecord(quint16 id, QByteArray data) : TRunCellRecord(id, std::move(data), MinSize) {}

std::unique_ptr<TBlankRecord> TBlankRecord::NewBlank(int row, int column, int xf)
{
    return std::make_unique<TBlankRecord>(Id, TNewCellBytes(row, column, xf, 6).View());
}

// ---- NUMBER

TNumberRecord::TNumberRecord(quint16 id, QByteArray data) : TCellRecord(id, std::move(data), MinSize) {}

std::unique_ptr<TNumberRecord> TNumberRecord::NewNumber(int row, int column, int xf, double value)
{
    TNewCellBytes data(row, column, xf, 14);
    data.PutDouble(6, value);
    return std::make_unique<TNumberRecord>(Id, data.View());
}

double TNumberRecord::Value() const
{
    return ReadDouble(DataView(), 6);
}

QVariant TNumberRecord::GetValue() const
{
    return Value();
}

void TNumberRecord::SetValue(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return;
    WriteDouble(MutableData(), 6, number);
}

// ---- RK

TRKRecord::TRKRecord(quint16 id, QByteArray data) : TRunCellRecord(id, std::move(data), MinSize) {}

std::unique_ptr<TRKRecord> TRKRecord::NewRK(int row, int column, int xf, quint32 rk)
{
    TNewCellBytes data(row, column, xf, 10);
    data.PutCardinal(6, rk);
    return std::make_unique<TRKRecord>(Id, data.View());
}

quint32 TRKRecord::RK() const
{
    return ReadCardinal(DataView(), 6);
}

double TRKRecord::DecodeRK(quint32 rk)
{
    double value;
    if (rk & 0x02)
        value = static_cast<double>(static_cast<qint32>(rk) >> 2);
    else
        value = std::bit_cast<double>(quint64(rk & 0xFFFFFFFCu) << 32);
    return (rk & 0x01) ? value / 100 : value;
}

bool TRKRecord::EncodeRK(double value, quint32 &rk)
{
    // Try, in order: integer, integer/100, high bits of the double, and the
    // same /100; keep the first that gives the number back exactly.
    const double candidates[2] = {value, value * 100};
    for (int scaled = 0; scaled < 2; ++scaled) {
        const double v = candidates[scaled];
        if (std::isfinite(v) && v == std::floor(v) && v >= -536870912.0 && v <= 536870911.0) {
            const quint32 packed = (static_cast<quint32>(static_cast<qint32>(v)) << 2) | 0x02 | quint32(scaled);
            if (DecodeRK(packed) == value) {
                rk = packed;
                return true;
            }
        }
        const quint64 bits = std::bit_cast<quint64>(v);
        if ((bits & 0xFFFFFFFFull) == 0 && (bits & 0x300000000ull) == 0) {
            const quint32 packed = static_cast<quint32>(bits >> 32) | quint32(scaled);
            if (DecodeRK(packed) == value) {
                rk = packed;
                return true;
            }
        }
    }
    return false;
}

double TRKRecord::Value() const
{
    return DecodeRK(RK());
}

QVariant TRKRecord::GetValue() const
{
    return Value();
}

// ---- LABELSST

TLabelSSTRecord::TLabelSSTRecord(quint16 id, QByteArray data) : TCellRecord(id, std::move(data), MinSize) {}

std::unique_ptr<TLabelSSTRecord> TLabelSSTRecord::NewLabelSST(int row, int column, int xf, quint32 sstIndex)
{
    TNewCellBytes data(row, column, xf, 10);
    data.PutCardinal(6, sstIndex);
    return std::make_unique<TLabelSSTRecord>(Id, data.View());
}

quint32 TLabelSSTRecord::SSTIndex() const
{
    return ReadCardinal(DataView(), 6);
}

void TLabelSSTRecord::SetSSTIndex(quint32 index)
{
    PutCardinal(6, index);
}

// ---- LABEL

TLabelRecord::TLabelRecord(quint16 id, QByteArray data) : TCellRecord(id, std::move(data), 9)
{
    FText = ReadBiffString(Data(), 6, 2);
}

QVariant TLabelRecord::GetValue() const
{
    return FText;
}

// ---- RSTRING

namespace {
// An RSTRING's text and runs as one way of reading gives them, and whether
// that way took the record chain to its very end.
struct TRichReading
{
    QString Text;
    QByteArray Runs;
    bool Whole = false;
};

std::optional<TRichReading> ReadRich(const TBaseRecord *record)
{
    try {
        int pos = 6;
        TRichReading reading;
        reading.Text = TExcelString(2, record, pos).Value();
        char count[2];
        ReadAcrossContinue(record, pos, 2, count);
        reading.Runs = QByteArray(qsizetype(ReadWord(QByteArrayView(count, 2), 0)) * 4, '\0');
        ReadAcrossContinue(record, pos, int(reading.Runs.size()), reading.Runs.data());
        reading.Whole = !record->Continue() && pos == record->DataSize();
        return reading;
    } catch (const EExcelException &) {
        return std::nullopt;
    }
}

} // namespace

TRStringRecord::TRStringRecord(quint16 id, QByteArray data) : TCellRecord(id, std::move(data), 9) {}

// A CONTINUE normally starts the rest of the text with an option byte; one
// writer splits the bytes as they stand. The reading that takes the chain to
// its end is the right one, else the one that reads at all; a string neither
// can read is refused.
void TRStringRecord::Parse() const
{
    if (FParsed)
        return;
    std::optional<TRichReading> reading = ReadRich(this);
    if (Continue() && (!reading || !reading->Whole)) {
        const TBaseRecord joined(RecordId(), DataWithContinues());
        std::optional<TRichReading> asTheyStand = ReadRich(&joined);
        if (asTheyStand && (asTheyStand->Whole || !reading))
            reading = std::move(asTheyStand);
    }
    if (!reading)
        throw EExcelException(XlsRecordMessages::ErrReadingRecord);
    FText = std::move(reading->Text);
    FRuns = std::move(reading->Runs);
    FParsed = true;
}

QString TRStringRecord::Text() const
{
    Parse();
    return FText;
}

QByteArray TRStringRecord::Runs() const
{
    Parse();
    return FRuns;
}

QVariant TRStringRecord::GetValue() const
{
    return Text();
}

// ---- BOOLERR

TBoolErrRecord::TBoolErrRecord(quint16 id, QByteArray data) : TCellRecord(id, std::move(data), MinSize) {}

bool TBoolErrRecord::IsError() const
{
    return DataView()[7] != 0;
}

QVariant TBoolErrRecord::GetValue() const
{
    const int value = static_cast<quint8>(DataView()[6]);
    if (IsError()) {
        const QString text = ErrorCodeText(value);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    return value != 0;
}

void TBoolErrRecord::SetValue(const QVariant &value)
{
    if (value.typeId() != QMetaType::Bool)
        return;
    MutableData()[6] = value.toBool() ? 1 : 0;
    MutableData()[7] = 0;
}

// ---- MULRK, MULBLANK

TMultipleCellRecord::TMultipleCellRecord(quint16 id, QByteArray data, int itemSize)
    : TBaseRowColRecord(id, std::move(data), 6 + itemSize), FItemSize(itemSize)
{
    const int size = DataSize();
    const int lastColumn = ReadWord(DataView(), size - 2);
    if ((size - 6) % itemSize != 0 || lastColumn != Column() + Count() - 1 || lastColumn > 255)
        RaiseInvalidRecord(id);
}

int TMultipleCellRecord::Count() const
{
    return (DataSize() - 6) / FItemSize;
}

int TMultipleCellRecord::XFAt(int index) const
{
    return ReadWord(DataView(), ItemOffset(index));
}

TCellRecordVector TMultipleCellRecord::SplitToCells() const
{
    TCellRecordVector cells;
    const int count = Count();
    cells.reserve(static_cast<size_t>(count));
    // One buffer serves every cell: each cell copies what it keeps, so the
    // buffer is the only one of its bytes when the next cell is made in it.
    QByteArray data = TCellRecord::NewCellData(Row(), Column(), 0, 4 + FItemSize);
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            CheckEntryCount(Column() + i, 255);  // as NewCellData checks the first
            WriteWord(data, 2, static_cast<quint16>(Column() + i));
        }
        std::copy_n(DataView().data() + ItemOffset(i), FItemSize, data.data() + 4);
        cells.push_back(NewCell(data));
    }
    return cells;
}

TMulRKRecord::TMulRKRecord(quint16 id, QByteArray data) : TMultipleCellRecord(id, std::move(data), 6) {}

quint32 TMulRKRecord::RKAt(int index) const
{
    return ReadCardinal(DataView(), ItemOffset(index) + 2);
}

std::unique_ptr<TCellRecord> TMulRKRecord::NewCell(QByteArray data) const
{
    return std::make_unique<TRKRecord>(TRKRecord::Id, std::move(data));
}

TMulBlankRecord::TMulBlankRecord(quint16 id, QByteArray data) : TMultipleCellRecord(id, std::move(data), 2) {}

std::unique_ptr<TCellRecord> TMulBlankRecord::NewCell(QByteArray data) const
{
    return std::make_unique<TBlankRecord>(TBlankRecord::Id, std::move(data));
}
