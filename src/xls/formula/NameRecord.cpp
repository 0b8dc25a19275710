#include "xls/formula/NameRecord.h"

#include "xls/formula/FormulaChars_p.h"
#include "xls/formula/FormulaReferences.h"
#include "xls/formula/FormulaTokens.h"
#include "xls/formula/ParseString.h"
#include "xls/formula/TokenArray.h"
#include "xls/formula/XlsFormulaMessages.h"
#include "xls/records/ExcelString.h"
#include "xls/records/SheetInfo.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"

namespace {
constexpr int NameOffset = 14;
constexpr int MaxSheetIndex = 65001;
} // namespace

TNameRecord::TNameRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    if (DataSize() > 0)
        RequireDataSize(NameOffset);
}

QString TNameRecord::Name() const
{
    if (DataSize() <= NameOffset)
        return QString();
    ByteCursor c(DataView(), QStringLiteral("NAME record"));
    c.seek(NameOffset);
    const bool wide = c.u8() & 0x01;
    return detail::ReadChars(c, quint8(DataView()[3]), wide);
}

int TNameRecord::NameSheetIndex() const
{
    return DataSize() >= NameOffset ? ReadWord(DataView(), 8) - 1 : -1;
}

int TNameRecord::TokenStart() const
{
    if (DataSize() <= NameOffset)
        return NameOffset;
    const int chars = quint8(DataView()[3]);
    return NameOffset + 1 + ((quint8(DataView()[NameOffset]) & 0x01) ? 2 * chars : chars);
}

int TNameRecord::TokenBytes() const
{
    return DataSize() >= NameOffset ? ReadWord(DataView(), 4) : 0;
}

TNameRecord::RangeKind TNameRecord::Kind() const
{
    const int start = TokenStart();
    const int bytes = TokenBytes();
    if (bytes == 0 || start + bytes > DataSize())
        return RangeKind::None;
    const quint8 id = BaseToken(quint8(DataView()[start]));
    if (id == Ptg::Ref3d && bytes >= TokenInfo(id)->Size)
        return RangeKind::Cell;
    if (id == Ptg::Area3d && bytes >= TokenInfo(id)->Size)
        return RangeKind::Area;
    return RangeKind::None;
}

int TNameRecord::RangeField(int cellOffset, int areaOffset, bool column) const
{
    const RangeKind kind = Kind();
    if (kind == RangeKind::None)
        return -1;
    const int value = ReadWord(DataView(), TokenStart() + (kind == RangeKind::Cell ? cellOffset : areaOffset));
    return column ? (value & 0xFF) : value;
}

int TNameRecord::FirstRow() const { return RangeField(3, 3, false); }
int TNameRecord::LastRow() const { return RangeField(3, 5, false); }
int TNameRecord::FirstColumn() const { return RangeField(5, 7, true); }
int TNameRecord::LastColumn() const { return RangeField(5, 9, true); }

int TNameRecord::RangeSheet(const std::function<int(int)> &getSheet) const
{
    if (Kind() == RangeKind::None || !getSheet)
        return -1;
    return getSheet(ReadWord(DataView(), TokenStart() + 1));
}

int TNameRecord::SetRangeField(int areaOffset, int value, bool column)
{
    int growth = 0;
    const int start = TokenStart();
    if (Kind() == RangeKind::Cell) {
        // sheet, row, column -> sheet, row, row, column, column
        QByteArray &d = MutableData();
        const QByteArray row = d.mid(start + 3, 2);
        const QByteArray col = d.mid(start + 5, 2);
        d.insert(start + 5, row);
        d.insert(start + 9, col);
        d[start] = char(quint8(d[start]) + 1);
        WriteWord(d, 4, quint16(TokenBytes() + 4));
        growth = 4;
    }
    if (Kind() == RangeKind::Area)
        PutWord(start + areaOffset, quint16(column ? (value & 0xFF) : value));
    return growth;
}

int TNameRecord::SetFirstRow(int value) { return SetRangeField(3, value, false); }
int TNameRecord::SetLastRow(int value) { return SetRangeField(5, value, false); }
int TNameRecord::SetFirstColumn(int value) { return SetRangeField(7, value, true); }
int TNameRecord::SetLastColumn(int value) { return SetRangeField(9, value, true); }

void TNameRecord::MoveSheetIndex(int first, int delta)
{
    const int sheet = NameSheetIndex();
    if (sheet >= 0 && sheet >= first)
        AddToWord(MutableData(), 8, delta, MaxSheetIndex);
}

void TNameRecord::ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount, int colPos)
{
    const int start = TokenStart();
    const int end = start + TokenBytes();
    if (TokenBytes() == 0)
        return;
    if (end > DataSize())
        FormulaMessages::raiseTokensRunPast();
    ShiftTokensForInsert(MutableData(), start, end, sheetInfo, rowPos, rowCount, colPos, colCount);
}

std::unique_ptr<TBaseRecord> TNameRecord::Clone() const
{
    auto copy = std::make_unique<TNameRecord>(RecordId(), Data());
    CopyContinueChainTo(*copy);
    return copy;
}

std::unique_ptr<TNameRecord> TNameRecord::CloneForSheet(const TSheetInfo &info) const
{
    std::unique_ptr<TNameRecord> clone(static_cast<TNameRecord *>(Clone().release()));
    const int start = TokenStart();
    const int end = start + TokenBytes();
    if (end > DataSize())
        FormulaMessages::raiseTokensRunPast();
    if (end > start)
        ShiftTokensForSheetCopy(clone->MutableData(), start, end, info);
    if (clone->DataSize() >= NameOffset)
        AddToWord(clone->MutableData(), 8, info.FormulaSheet + 1 - ReadWord(DataView(), 8), MaxSheetIndex);
    return clone;
}

std::unique_ptr<TNameRecord> TNameRecord::NewName(const TNameDefinition &definition, const TFormulaNames *names,
                                                  TFormulaReferences *references)
{
    if (definition.Name.isEmpty() || definition.Name.size() > 255)
        throw EExcelException(QStringLiteral("Invalid name: \"%1\"").arg(definition.Name));
    QByteArray tokens;
    const QString reference = definition.Reference.trimmed();
    // A name without a reference is still written as a whole record (with no
    // tokens): a NAME record without data would make the file unreadable.
    if (!reference.isEmpty()) {
        if (!references)
            throw EExcelException(QStringLiteral("References must not be nil"));
        const QString defaultSheet = references->GetSheetName(qMax(0, definition.SheetIndex));
        TParseString parser(reference.startsWith(u'=') ? reference : u'=' + reference, fmReference, references,
                            names, defaultSheet, true);
        parser.Parse();
        tokens = parser.Tokens();
    }
    QByteArray data(NameOffset, '\0');
    WriteWord(data, 0, definition.Options);
    data[3] = char(definition.Name.size());
    WriteWord(data, 4, quint16(tokens.size()));
    if (definition.SheetIndex >= 0) {
        WriteWord(data, 6, quint16(definition.SheetIndex + 1));
        WriteWord(data, 8, quint16(definition.SheetIndex + 1));
    }
    data += TExcelString(1, definition.Name).ToBytes(false); // option byte, then the characters
    data += tokens;
    return std::make_unique<TNameRecord>(Id, std::move(data));
}
