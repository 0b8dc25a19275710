#include "xls/records/OtherRecords.h"

#include "xls/records/ExcelString.h"
#include "xls/records/XlsRecordMessages.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"

// ---- BOF

TBOFRecord::TBOFRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    if (DataSize() < 4 || ReadWord(DataView(), 0) != 0x0600)
        throw EExcelException(XlsRecordMessages::ErrInvalidVersion);
}

int TBOFRecord::BofType() const
{
    return ReadWord(DataView(), 2);
}

// ---- OBJ

TObjRecord::TObjRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(2);
    FObjKind = ReadWord(DataView(), 0);
    if (FObjKind == 0x0015) {
        RequireDataSize(6);
        FObjType = ReadWord(DataView(), 4);
    }
}

// ---- TXO

std::unique_ptr<TTXORecord> TTXORecord::NewTXO()
{
    QByteArray data(18, '\0');
    WriteWord(data, 0, 0x0212);
    return std::make_unique<TTXORecord>(Id, data);
}

// ---- SST

TSSTRecord::TSSTRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(8);
}

quint32 TSSTRecord::UniqueCount() const
{
    return ReadCardinal(DataView(), 4);
}

// ---- BOUNDSHEET

TBoundSheetRecord::TBoundSheetRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(8);
    StringByteSize(Data(), 6, 1);  // the name must lie within the record
}

std::unique_ptr<TBoundSheetRecord> TBoundSheetRecord::NewBoundSheet(int options, const QString &sheetName)
{
    const TExcelString name(1, sheetName);
    QByteArray data(6, '\0');
    WriteWord(data, 4, static_cast<quint16>(options));
    return std::make_unique<TBoundSheetRecord>(Id, data + name.ToBytes());
}

QString TBoundSheetRecord::SheetName() const
{
    return ReadBiffString(Data(), 6, 1);
}

void TBoundSheetRecord::SetSheetName(const QString &name)
{
    SetData(Data().left(6) + TExcelString(1, name).ToBytes());
}

int TBoundSheetRecord::Options() const
{
    return ReadWord(DataView(), 4);
}

void TBoundSheetRecord::SetOptions(int options)
{
    PutWord(4, static_cast<quint16>(options));
}

quint32 TBoundSheetRecord::StreamPosition() const
{
    return ReadCardinal(DataView(), 0);
}

void TBoundSheetRecord::SetStreamPosition(quint32 position)
{
    PutCardinal(0, position);
}

// ---- CODENAME

TCodeNameRecord::TCodeNameRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(3);
    StringByteSize(Data(), 0, 2);
}

std::unique_ptr<TCodeNameRecord> TCodeNameRecord::NewCodeName(const QString &name)
{
    return std::make_unique<TCodeNameRecord>(Id, TExcelString(2, name).ToBytes());
}

QString TCodeNameRecord::CodeName() const
{
    return ReadBiffString(Data(), 0, 2);
}

// ---- GUTS

TGutsRecord::TGutsRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(8);
}

std::unique_ptr<TBaseRecord> TGutsRecord::Clone() const
{
    auto copy = CloneThroughFactory();
    if (auto *guts = dynamic_cast<TGutsRecord *>(copy.get()))
        guts->Flag = Flag;
    return copy;
}

void TGutsRecord::SetLevel(int sizeOffset, int countOffset, int level)
{
    int size = 0;
    int count = 0;
    if (level >= 8) {
        size = 113;
        count = 8;
    } else if (level > 0) {
        size = (level + 1) * 12 + 17;
        count = level + 1;
    }
    PutWord(sizeOffset, static_cast<quint16>(size));
    PutWord(countOffset, static_cast<quint16>(count));
}

void TGutsRecord::SetRowLevel(int level) { SetLevel(0, 4, level); }
void TGutsRecord::SetColumnLevel(int level) { SetLevel(2, 6, level); }
int TGutsRecord::RowGutter() const { return ReadWord(DataView(), 0); }
int TGutsRecord::ColumnGutter() const { return ReadWord(DataView(), 2); }
int TGutsRecord::RowLevels() const { return ReadWord(DataView(), 4); }
int TGutsRecord::ColumnLevels() const { return ReadWord(DataView(), 6); }

// ---- PANE

TPaneRecord::TPaneRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(10);
}

int TPaneRecord::HorizontalSplit() const { return ReadWord(DataView(), 0); }
void TPaneRecord::SetHorizontalSplit(int value) { PutWord(0, static_cast<quint16>(value)); }
int TPaneRecord::VerticalSplit() const { return ReadWord(DataView(), 2); }
void TPaneRecord::SetVerticalSplit(int value) { PutWord(2, static_cast<quint16>(value)); }
int TPaneRecord::FirstVisibleRow() const { return ReadWord(DataView(), 4); }
void TPaneRecord::SetFirstVisibleRow(int value) { PutWord(4, static_cast<quint16>(value)); }
int TPaneRecord::FirstVisibleColumn() const { return ReadWord(DataView(), 6); }
void TPaneRecord::SetFirstVisibleColumn(int value) { PutWord(6, static_cast<quint16>(value)); }
int TPaneRecord::ActivePane() const { return ReadWord(DataView(), 8); }
void TPaneRecord::SetActivePane(int value) { PutWord(8, static_cast<quint16>(value)); }

void TPaneRecord::FixActivePane()
{
    const bool horizontal = HorizontalSplit() >= 1;
    const bool vertical = VerticalSplit() > 0;
    switch (ActivePane()) {
    case 0:
        if (!horizontal)
            SetActivePane(vertical ? 2 : 3);
        else if (!vertical)
            SetActivePane(1);
        break;
    case 1:
        if (!horizontal)
            SetActivePane(3);
        break;
    case 2:
        if (!vertical)
            SetActivePane(3);
        break;
    default:
        break;
    }
}
