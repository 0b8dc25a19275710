#include "xls/records/FormatRecords.h"

#include "xls/records/ExcelString.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"

// ---- FONT

TFontRecord::TFontRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(16);
    StringByteSize(Data(), 14, 1);
}

int TFontRecord::Height() const { return ReadWord(DataView(), 0); }
int TFontRecord::Options() const { return ReadWord(DataView(), 2); }
int TFontRecord::ColorIndex() const { return ReadWord(DataView(), 4); }
int TFontRecord::Weight() const { return ReadWord(DataView(), 6); }
int TFontRecord::Escapement() const { return ReadWord(DataView(), 8); }
int TFontRecord::Underline() const { return static_cast<quint8>(DataView()[10]); }
int TFontRecord::Family() const { return static_cast<quint8>(DataView()[11]); }
int TFontRecord::CharSet() const { return static_cast<quint8>(DataView()[12]); }
QString TFontRecord::Name() const { return ReadBiffString(Data(), 14, 1); }

// ---- XF

TXFRecord::TXFRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(6);
}

int TXFRecord::FontIndex() const { return ReadWord(DataView(), 0); }
int TXFRecord::FormatIndex() const { return ReadWord(DataView(), 2); }
bool TXFRecord::IsStyle() const { return (ReadWord(DataView(), 4) & 0x0004) != 0; }
int TXFRecord::ParentXF() const { return ReadWord(DataView(), 4) >> 4; }

// ---- FORMAT

TFormatRecord::TFormatRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(5);
    FormatString();  // the string's own fields must be there
}

std::unique_ptr<TFormatRecord> TFormatRecord::NewFormat(int formatIndex, const QString &text)
{
    QByteArray data(2, '\0');
    WriteWord(data, 0, static_cast<quint16>(formatIndex));
    return std::make_unique<TFormatRecord>(Id, data + TExcelString(2, text).ToBytes());
}

int TFormatRecord::FormatIndex() const { return ReadWord(DataView(), 0); }
// A record that ends before its text does is read as far as it goes and
// written back as it came.
QString TFormatRecord::FormatString() const { return ReadBiffStringCut(Data(), 2, 2); }

// ---- STYLE

TStyleRecord::TStyleRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(2);
}

int TStyleRecord::XF() const { return ReadWord(DataView(), 0) & 0x0FFF; }
bool TStyleRecord::IsBuiltIn() const { return (ReadWord(DataView(), 0) & 0x8000) != 0; }

// ---- PALETTE

TPaletteRecord::TPaletteRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(2);
    if (2 + 4 * ReadWord(DataView(), 0) > DataSize())
        RaiseInvalidRecord(id);
}

int TPaletteRecord::Count() const { return ReadWord(DataView(), 0); }
quint32 TPaletteRecord::Color(int index) const { return ReadCardinal(DataView(), 2 + 4 * index); }
void TPaletteRecord::SetColor(int index, quint32 color) { PutCardinal(2 + 4 * index, color); }

// ---- COLINFO

TColInfoRecord::TColInfoRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(10);
}

int TColInfoRecord::FirstColumn() const { return ReadWord(DataView(), 0); }
int TColInfoRecord::LastColumn() const { return ReadWord(DataView(), 2); }

void TColInfoRecord::SetColumns(int first, int last)
{
    PutWord(0, static_cast<quint16>(first));
    PutWord(2, static_cast<quint16>(last));
}

int TColInfoRecord::Width() const { return ReadWord(DataView(), 4); }
void TColInfoRecord::SetWidth(int width) { PutWord(4, static_cast<quint16>(width)); }
int TColInfoRecord::XF() const { return ReadWord(DataView(), 6); }
void TColInfoRecord::SetXF(int xf) { PutWord(6, static_cast<quint16>(xf)); }
int TColInfoRecord::Options() const { return ReadWord(DataView(), 8); }
void TColInfoRecord::SetOptions(int options) { PutWord(8, static_cast<quint16>(options)); }
