#include "xls/records/SheetRecords.h"

#include "xls/records/ExcelString.h"
#include "xls/records/XlsRecordMessages.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"

#include <QIODevice>

#include <cmath>

// ---- ROW

TRowRecord::TRowRecord(quint16 id, QByteArray data) : TBaseRowColRecord(id, std::move(data), MinSize)
{
    PutWord(8, 0);
}

TRowRecord::TRowRecord(quint16 id, QByteArrayView data) : TBaseRowColRecord(id, data, MinSize, TCompactData{})
{
    PutWord(8, 0);
}

std::unique_ptr<TRowRecord> TRowRecord::NewRow(int row)
{
    QByteArray data(16, '\0');
    WriteWord(data, 0, static_cast<quint16>(row));
    WriteWord(data, 6, 255);
    data[13] = 1;
    data[14] = 15;
    return std::make_unique<TRowRecord>(Id, data);
}

int TRowRecord::LastColumnPlus1() const
{
    return ReadWord(DataView(), 4);
}

void TRowRecord::SetColumns(int first, int lastPlus1)
{
    PutWord(2, static_cast<quint16>(first));
    PutWord(4, static_cast<quint16>(lastPlus1));
}

int TRowRecord::Height() const
{
    return ReadWord(DataView(), 6);
}

void TRowRecord::SetHeight(int height)
{
    PutWord(6, static_cast<quint16>(height));
}

int TRowRecord::Options() const
{
    return ReadWord(DataView(), 12);
}

void TRowRecord::SetOptions(int options)
{
    PutWord(12, static_cast<quint16>(options));
}

int TRowRecord::XF() const
{
    if ((Options() & OptionHasFormat) == 0)
        return 15;
    return ReadWord(DataView(), 14) & 0x0FFF;
}

void TRowRecord::SetXF(int xf)
{
    const int high = ReadWord(DataView(), 14) & 0xF000;
    PutWord(14, static_cast<quint16>(high | (xf & 0x0FFF)));
    SetOptions(Options() | OptionHasFormat);
}

bool TRowRecord::IsFormatted() const
{
    return DataView()[12] != 0 || DataView()[13] != 1;
}

void TRowRecord::SaveRangeToStream(QIODevice &stream, int left, int right) const
{
    const int first = FirstColumn();
    const int lastPlus1 = LastColumnPlus1();
    // Narrow a copy: writing must not change the row itself.
    TRowRecord narrowed(RecordId(), Data());
    narrowed.SetColumns(qMax(first, left), qMax(qMax(first, left), qMin(lastPlus1, right + 1)));
    narrowed.SaveToStream(stream);
}

// ---- DIMENSIONS

TDimensionsRecord::TDimensionsRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(12);
}

quint32 TDimensionsRecord::FirstRow() const
{
    return ReadCardinal(DataView(), 0);
}

quint32 TDimensionsRecord::LastRowPlus1() const
{
    return ReadCardinal(DataView(), 4);
}

int TDimensionsRecord::FirstColumn() const
{
    return ReadWord(DataView(), 8);
}

int TDimensionsRecord::LastColumnPlus1() const
{
    return ReadWord(DataView(), 10);
}

// ---- WINDOW1

TWindow1Record::TWindow1Record(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(16);
}

int TWindow1Record::ActiveSheet() const
{
    return ReadWord(DataView(), 10);
}

void TWindow1Record::SetActiveSheet(int sheet)
{
    PutWord(10, static_cast<quint16>(sheet));
    PutWord(12, 0);
    PutWord(14, 1);
}

int TWindow1Record::FirstVisibleTab() const
{
    return ReadWord(DataView(), 12);
}

void TWindow1Record::SetFirstVisibleTab(int tab)
{
    PutWord(12, static_cast<quint16>(tab));
}

// ---- WINDOW2

TWindow2Record::TWindow2Record(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(4);
}

std::unique_ptr<TBaseRecord> TWindow2Record::Clone() const
{
    auto copy = CloneThroughFactory();
    if (auto *window = dynamic_cast<TWindow2Record *>(copy.get()))
        window->SetSelected(false);
    return copy;
}

int TWindow2Record::Options() const
{
    return ReadWord(DataView(), 0);
}

void TWindow2Record::SetOptions(int options)
{
    PutWord(0, static_cast<quint16>(options));
}

void TWindow2Record::SetSelected(bool selected)
{
    const int both = OptionSelected | OptionShown;
    SetOptions(selected ? (Options() | both) : (Options() & ~both));
}

void TWindow2Record::SetShowGridLines(bool show)
{
    SetOptions(show ? (Options() | OptionShowGridLines) : (Options() & ~OptionShowGridLines));
}

void TWindow2Record::SetShowHeaders(bool show)
{
    SetOptions(show ? (Options() | OptionShowHeaders) : (Options() & ~OptionShowHeaders));
}

int TWindow2Record::FirstVisibleRow() const
{
    return ReadWord(DataView(), 2);
}

void TWindow2Record::SetFirstVisibleRow(int row)
{
    PutWord(2, static_cast<quint16>(row));
}

// ---- SCL

TSCLRecord::TSCLRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(4);
}

std::unique_ptr<TSCLRecord> TSCLRecord::NewSCL(int zoom)
{
    auto record = std::make_unique<TSCLRecord>(Id, QByteArray(4, '\0'));
    record->SetZoom(zoom);
    return record;
}

int TSCLRecord::Zoom() const
{
    const int denominator = ReadWord(DataView(), 2);
    if (denominator == 0)
        return 100;
    return static_cast<int>(std::nearbyint(ReadWord(DataView(), 0) * 100.0 / denominator));
}

void TSCLRecord::SetZoom(int zoom)
{
    PutWord(0, static_cast<quint16>(qBound(10, zoom, 400)));
    PutWord(2, 100);
}

// ---- HEADER / FOOTER

TPageHeaderFooterRecord::TPageHeaderFooterRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    if (!IsEmptyText())
        StringByteSize(Data(), 0, 2);  // the text must lie within the record
}

// Some writers store an empty header as its length alone.
bool TPageHeaderFooterRecord::IsEmptyText() const
{
    return DataSize() == 0 || (DataSize() == 2 && ReadWord(DataView(), 0) == 0);
}

QString TPageHeaderFooterRecord::Text() const
{
    if (IsEmptyText())
        return QString();
    return ReadBiffString(Data(), 0, 2);
}

void TPageHeaderFooterRecord::SetText(const QString &text)
{
    SetData(TExcelString(2, text).ToBytes());
}

// ---- one-word records

TWordRecord::TWordRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(2);
}

int TWordRecord::Value() const
{
    return ReadWord(DataView(), 0);
}

void TWordRecord::SetValue(int value)
{
    PutWord(0, static_cast<quint16>(value));
}

// ---- margins

TMarginRecord::TMarginRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(8);
}

double TMarginRecord::Value() const
{
    return ReadDouble(DataView(), 0);
}

void TMarginRecord::SetValue(double inches)
{
    if (DataSize() != 8)
        throw EExcelException(XlsRecordMessages::ErrInMarginRecord);
    WriteDouble(MutableData(), 0, inches);
}

// ---- SETUP

TSetupRecord::TSetupRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(34);
}

int TSetupRecord::PrinterField(int offset, int whenInvalid) const
{
    return NoPrinterData() ? whenInvalid : ReadWord(DataView(), offset);
}

void TSetupRecord::SetPrinterField(int offset, int value)
{
    PutWord(offset, static_cast<quint16>(value));
    SetOptions(Options() & ~OptionNoPrinterData);
}

int TSetupRecord::PaperSize() const { return PrinterField(0, 0); }
void TSetupRecord::SetPaperSize(int value) { SetPrinterField(0, value); }
int TSetupRecord::Scale() const { return PrinterField(2, 100); }
void TSetupRecord::SetScale(int value) { SetPrinterField(2, value); }
int TSetupRecord::FitWidth() const { return ReadWord(DataView(), 6); }
void TSetupRecord::SetFitWidth(int value) { PutWord(6, static_cast<quint16>(value)); }
int TSetupRecord::FitHeight() const { return ReadWord(DataView(), 8); }
void TSetupRecord::SetFitHeight(int value) { PutWord(8, static_cast<quint16>(value)); }
int TSetupRecord::Options() const { return ReadWord(DataView(), 10); }
void TSetupRecord::SetOptions(int value) { PutWord(10, static_cast<quint16>(value)); }
int TSetupRecord::Resolution() const { return PrinterField(12, 100); }
void TSetupRecord::SetResolution(int value) { SetPrinterField(12, value); }
int TSetupRecord::VResolution() const { return ReadWord(DataView(), 14); }
void TSetupRecord::SetVResolution(int value) { SetPrinterField(14, value); }
double TSetupRecord::HeaderMargin() const { return ReadDouble(DataView(), 16); }
void TSetupRecord::SetHeaderMargin(double inches) { WriteDouble(MutableData(), 16, inches); }
double TSetupRecord::FooterMargin() const { return ReadDouble(DataView(), 24); }
void TSetupRecord::SetFooterMargin(double inches) { WriteDouble(MutableData(), 24, inches); }
int TSetupRecord::Copies() const { return PrinterField(32, 1); }
void TSetupRecord::SetCopies(int value) { SetPrinterField(32, value); }

// ---- PLS

TPlsRecord::TPlsRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(2);
}

int TPlsRecord::Word() const
{
    return ReadWord(DataView(), 0);
}

QByteArray TPlsRecord::Bytes() const
{
    return Data().mid(2);
}

void TPlsRecord::Rebuild(int word, const QByteArray &bytes)
{
    QByteArray data(2, '\0');
    WriteWord(data, 0, static_cast<quint16>(word));
    SetData(data + bytes);
}

// ---- WSBOOL

TWsBoolRecord::TWsBoolRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(2);
}

bool TWsBoolRecord::Bit(int byte, int mask) const
{
    return (static_cast<quint8>(DataView()[byte]) & mask) != 0;
}

void TWsBoolRecord::SetBit(int byte, int mask, bool on)
{
    const quint8 value = static_cast<quint8>(DataView()[byte]);
    MutableData()[byte] = static_cast<char>(on ? (value | mask) : (value & ~mask));
}

// ---- DEFAULTROWHEIGHT

TDefRowHeightRecord::TDefRowHeightRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(4);
}

int TDefRowHeightRecord::Options() const
{
    return ReadWord(DataView(), 0);
}

int TDefRowHeightRecord::Height() const
{
    return ReadWord(DataView(), 2);
}
