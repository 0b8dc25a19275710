#include "xls/workbook/XlsFormatTable.h"

#include "xls/records/ExcelString.h"
#include "xls/records/FormatRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

namespace {

constexpr int XFDataSize = 20;
constexpr int FirstCustomFormat = 164;
// The most XF records a workbook may hold.
constexpr int MaxXF = 4050;

// Number formats every workbook knows without a FORMAT record.
const QHash<int, QString> &BuiltInFormats()
{
    static const QHash<int, QString> formats = {
        {0, QStringLiteral("General")}, {1, QStringLiteral("0")}, {2, QStringLiteral("0.00")},
        {3, QStringLiteral("#,##0")}, {4, QStringLiteral("#,##0.00")}, {9, QStringLiteral("0%")},
        {10, QStringLiteral("0.00%")}, {11, QStringLiteral("0.00E+00")}, {12, QStringLiteral("# ?/?")},
        {13, QStringLiteral("# ?" "?/??")}, {14, QStringLiteral("m/d/yy")}, {15, QStringLiteral("d-mmm-yy")},
        {16, QStringLiteral("d-mmm")}, {17, QStringLiteral("mmm-yy")}, {18, QStringLiteral("h:mm AM/PM")},
        {19, QStringLiteral("h:mm:ss AM/PM")}, {20, QStringLiteral("h:mm")}, {21, QStringLiteral("h:mm:ss")},
        {22, QStringLiteral("m/d/yy h:mm")}, {45, QStringLiteral("mm:ss")}, {46, QStringLiteral("[h]:mm:ss")},
        {47, QStringLiteral("mm:ss.0")}, {48, QStringLiteral("##0.0E+0")}, {49, QStringLiteral("@")},
    };
    return formats;
}

// Colours 8..63 of a workbook without a PALETTE record, 0xRRGGBB.
constexpr quint32 DefaultPalette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

// PALETTE stores 0x00BBGGRR.
quint32 SwapRedBlue(quint32 c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

}  // namespace

QList<int> TXlsFormatTable::Positions(quint16 id) const
{
    QList<int> at;
    for (int i = 0; i < FRecords.Count(); ++i)
        if (FRecords.Items(i) && FRecords.Items(i)->RecordId() == id)
            at.append(i);
    return at;
}

// ---- fonts

int TXlsFormatTable::FontCount() const
{
    const int count = Positions(TFontRecord::Id).size();
    return count > 4 ? count + 1 : count;
}

int TXlsFormatTable::FontRecord(int index) const
{
    const QList<int> fonts = Positions(TFontRecord::Id);
    const int n = index > 4 ? index - 1 : index;
    return index == 4 || n < 0 || n >= fonts.size() ? -1 : fonts[n];
}

TXlsFont TXlsFormatTable::GetFont(int index) const
{
    int at = FontRecord(index);
    if (at < 0)
        at = FontRecord(0);
    if (at < 0)
        return {};
    const auto *record = static_cast<const TFontRecord *>(FRecords.Items(at));
    TXlsFont font;
    font.Name = record->Name();
    font.Size20 = record->Height();
    font.ColorIndex = record->ColorIndex();
    font.Style = record->Options();
    font.Weight = record->Weight();
    font.Underline = record->Underline();
    font.Family = record->Family();
    font.CharSet = record->CharSet();
    return font;
}

void TXlsFormatTable::SetFont(int index, const TXlsFont &font)
{
    const int at = FontRecord(index);
    if (at < 0)
        return;
    QByteArray data(14, '\0');
    WriteWord(data, 0, static_cast<quint16>(font.Size20));
    WriteWord(data, 2, static_cast<quint16>(font.Style));
    WriteWord(data, 4, static_cast<quint16>(font.ColorIndex));
    WriteWord(data, 6, static_cast<quint16>(font.Weight));
    data[10] = static_cast<char>(font.Underline);
    data[11] = static_cast<char>(font.Family);
    data[12] = static_cast<char>(font.CharSet);
    data.append(TExcelString(1, font.Name.left(255)).ToBytes(true));
    XlsDetail::ReplaceData(FRecords, at, data);
}

// ---- cell formats

int TXlsFormatTable::FormatCount() const
{
    return Positions(TXFRecord::Id).size();
}

QString TXlsFormatTable::NumberFormatText(int formatIndex) const
{
    for (int at : Positions(TFormatRecord::Id)) {
        const auto *record = static_cast<const TFormatRecord *>(FRecords.Items(at));
        if (record->FormatIndex() == formatIndex)
            return record->FormatString();
    }
    return BuiltInFormats().value(formatIndex, BuiltInFormats().value(0));
}

TXlsFormat TXlsFormatTable::GetFormat(int index) const
{
    const QList<int> xfs = Positions(TXFRecord::Id);
    if (xfs.isEmpty())
        return {};
    if (index < 0 || index >= xfs.size())
        index = 0;
    const auto *record = static_cast<const TXFRecord *>(FRecords.Items(xfs[index]));
    TXlsFormat format;
    format.FontIndex = record->FontIndex();
    format.Format = NumberFormatText(record->FormatIndex());
    format.Rest = record->Data().mid(4, XFDataSize - 4);
    return format;
}

QString TXlsFormatTable::FormatString(int index) const
{
    return GetFormat(index).Format;
}

int TXlsFormatTable::NumberFormatIndex(const QString &text)
{
    const QList<int> formats = Positions(TFormatRecord::Id);
    int highest = FirstCustomFormat - 1;
    for (int at : formats) {
        const auto *record = static_cast<const TFormatRecord *>(FRecords.Items(at));
        if (record->FormatString() == text)
            return record->FormatIndex();
        highest = std::max(highest, record->FormatIndex());
    }
    for (auto it = BuiltInFormats().begin(); it != BuiltInFormats().end(); ++it)
        if (it.value() == text)
            return it.key();
    if (highest >= 0xFFFE)
        XlsRaise(QStringLiteral("Too many number formats"));
    // After the last FORMAT record, or before the first XF.
    const QList<int> xfs = Positions(TXFRecord::Id);
    const int place = !formats.isEmpty() ? formats.last() + 1 : !xfs.isEmpty() ? xfs.first() : FRecords.Count();
    FRecords.Insert(place, TFormatRecord::NewFormat(highest + 1, text.left(255)));
    return highest + 1;
}

QByteArray TXlsFormatTable::XFData(const TXlsFormat &format)
{
    QByteArray data(4, '\0');
    WriteWord(data, 0, static_cast<quint16>(std::clamp(format.FontIndex, 0, 0xFFFF)));
    WriteWord(data, 2, static_cast<quint16>(NumberFormatIndex(format.Format)));
    data.append(format.Rest.left(XFDataSize - 4));
    data.append(XFDataSize - data.size(), '\0');
    return data;
}

void TXlsFormatTable::SetFormat(int index, const TXlsFormat &format)
{
    const QList<int> xfs = Positions(TXFRecord::Id);
    if (index < 0 || index >= xfs.size())
        return;
    XlsDetail::ReplaceData(FRecords, xfs[index], XFData(format));
}

int TXlsFormatTable::AddFormat(const TXlsFormat &format)
{
    const QByteArray data = XFData(format);
    const QList<int> xfs = Positions(TXFRecord::Id);
    for (int i = 0; i < xfs.size(); ++i)
        if (FRecords.Items(xfs[i])->Data() == data)
            return i;
    if (xfs.size() >= MaxXF)
        XlsRaise(QStringLiteral("Too many cell formats"));
    const int place = xfs.isEmpty() ? FRecords.Count() : xfs.last() + 1;
    FRecords.Insert(place, CreateRecord(TXFRecord::Id, data));
    return xfs.size();
}

// ---- palette

void TXlsFormatTable::CheckColor(int index)
{
    if (index < 1 || index > 56)
        XlsRaise(XlsMsg::IndexOutOfRange(index, QStringLiteral("ColorIndex"), 1, 56));
}

quint32 TXlsFormatTable::GetColorPalette(int index) const
{
    CheckColor(index);
    const int at = XlsDetail::FindRecord(FRecords, TPaletteRecord::Id);
    if (at >= 0) {
        const auto *palette = static_cast<const TPaletteRecord *>(FRecords.Items(at));
        if (index <= palette->Count())
            return SwapRedBlue(palette->Color(index - 1));
    }
    return DefaultPalette[index - 1];
}

void TXlsFormatTable::SetColorPalette(int index, quint32 rgb)
{
    CheckColor(index);
    int at = XlsDetail::FindRecord(FRecords, TPaletteRecord::Id);
    QByteArray data;
    if (at >= 0 && static_cast<const TPaletteRecord *>(FRecords.Items(at))->Count() == 56) {
        data = FRecords.Items(at)->Data();
    } else {
        // A full palette from the colours in force.
        data = QByteArray(2 + 4 * 56, '\0');
        WriteWord(data, 0, 56);
        for (int i = 1; i <= 56; ++i)
            WriteCardinal(data, 2 + 4 * (i - 1), SwapRedBlue(GetColorPalette(i)));
    }
    WriteCardinal(data, 2 + 4 * (index - 1), SwapRedBlue(rgb & 0xFFFFFF));
    if (at >= 0) {
        XlsDetail::ReplaceData(FRecords, at, data);
        return;
    }
    // After the cell formats and styles.
    int place = FRecords.Count();
    for (quint16 id : {TXFRecord::Id, TStyleRecord::Id}) {
        const QList<int> positions = Positions(id);
        if (!positions.isEmpty())
            place = positions.last() + 1;
    }
    FRecords.Insert(place, CreateRecord(TPaletteRecord::Id, data));
}
