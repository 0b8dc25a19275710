#include "xls/formula/TokenArray.h"

#include "xls/formula/NameRecordList.h"
#include "xls/formula/FormulaTokens.h"
#include "xls/formula/TokenException.h"
#include "xls/formula/XlsFormulaMessages.h"
#include "xls/storage/ByteUtils.h"

#include <algorithm>

namespace {

// What one walk over the tokens does.
struct TTokenShift
{
    // insertion; negative counts delete
    int RowPos = 0;
    int RowCount = 0;
    int ColPos = 0;
    int ColCount = 0;
    // copy
    int RowOffset = 0;
    int ColOffset = 0;
    bool OnlyRelative = false; // absolute parts stay where they are
    // shared-formula expansion: the cell (negative when not expanding)
    int ExpandRow = -1;
    int ExpandCol = -1;
    // a sheet copy is under way
    bool CopySheet = false;
};

constexpr int MaxRow = 0xFFFF;
constexpr int MaxCol = 0xFF;

class TWalker
{
public:
    TWalker(QByteArray &data, const TSheetInfo &info, const TTokenShift &shift)
        : D(data), Info(info), S(shift) {}

    void Walk(qsizetype first, qsizetype end);

private:
    void Cell(qsizetype pos, int sheet, qsizetype rowAt, qsizetype colAt);
    void Area(qsizetype pos, int sheet, qsizetype rowsAt, qsizetype colsAt);
    void Sheet3D(qsizetype pos);
    void Name(qsizetype at);
    void TableAnchor(qsizetype pos);
    bool Inserting(int sheet) const { return Info.InsSheet >= 0 && sheet == Info.InsSheet; }
    int SheetOf3D(qsizetype pos) const;
    bool MoveField(qsizetype at, bool isRow, int pos, int count, int offset, bool moveForInsert, bool absolute);
    bool ShiftAreaAxis(qsizetype at1, qsizetype at2, bool isRow, int pos, int count);
    bool CopyField(qsizetype at, bool isRow, bool absolute);
    void Expand(qsizetype colAt, qsizetype rowAt);

    int Field(qsizetype at, bool isRow) const { return isRow ? ReadWord(D, at) : ReadWord(D, at) & 0xFF; }
    void SetField(qsizetype at, bool isRow, int value);

    QByteArray &D;
    const TSheetInfo &Info;
    const TTokenShift &S;
};

void TWalker::SetField(qsizetype at, bool isRow, int value)
{
    if (isRow)
        WriteWord(D, at, quint16(value));
    else
        WriteWord(D, at, quint16((ReadWord(D, at) & 0xFF00) | (value & 0xFF)));
}

// Moves one row or column field; false when it left the sheet or fell into
// deleted rows, in which case the token must become #REF!.
bool TWalker::MoveField(qsizetype at, bool isRow, int pos, int count, int offset, bool moveForInsert, bool absolute)
{
    const int max = isRow ? MaxRow : MaxCol;
    int value = Field(at, isRow);
    if (moveForInsert && count != 0 && pos <= value) {
        if (count < 0 && value < pos - count)
            return false;
        value += count;
    }
    if (offset != 0 && !(S.OnlyRelative && absolute))
        value += offset;
    if (value < 0 || value > max)
        return false;
    SetField(at, isRow, value);
    return true;
}

// Inserts or deletes rows (or columns) across one axis of an area: the
// first and last field at at1 and at2.
bool TWalker::ShiftAreaAxis(qsizetype at1, qsizetype at2, bool isRow, int pos, int count)
{
    if (count == 0)
        return true;
    const int max = isRow ? MaxRow : MaxCol;
    int v1 = Field(at1, isRow);
    int v2 = Field(at2, isRow);
    if (count > 0) {
        // a whole-column (or whole-row) area keeps its end
        if (pos <= v1)
            v1 += count;
        if (pos <= v2 && v2 != max)
            v2 += count;
        if (v1 > max || v2 > max)
            return false;
    } else {
        const int del = -count;
        if (pos > v1) {
            if (v2 < max && pos <= v2)
                v2 -= std::min(del, v2 - pos + 1);
        } else if (v2 >= pos + del) {
            v1 -= std::min(del, v1 - pos);
            if (v2 < max)
                v2 -= del;
        } else {
            return false; // the whole area was deleted
        }
    }
    SetField(at1, isRow, v1);
    SetField(at2, isRow, v2);
    return true;
}

int TWalker::SheetOf3D(qsizetype pos) const
{
    return Info.GetSheet ? Info.GetSheet(ReadWord(D, pos + 1)) : -1;
}

void TWalker::Cell(qsizetype pos, int sheet, qsizetype rowAt, qsizetype colAt)
{
    const quint16 flags = ReadWord(D, colAt);
    const bool ins = Inserting(sheet);
    const bool ok = MoveField(rowAt, true, S.RowPos, S.RowCount, S.RowOffset, ins, !(flags & 0x8000))
        && MoveField(colAt, false, S.ColPos, S.ColCount, S.ColOffset, ins, !(flags & 0x4000));
    if (!ok)
        ConvertToRefError(D, pos);
}

void TWalker::Area(qsizetype pos, int sheet, qsizetype rowsAt, qsizetype colsAt)
{
    bool ok = true;
    if (Inserting(sheet))
        ok = ShiftAreaAxis(rowsAt, rowsAt + 2, true, S.RowPos, S.RowCount)
            && ShiftAreaAxis(colsAt, colsAt + 2, false, S.ColPos, S.ColCount);
    for (int i = 0; ok && i < 2; ++i) {
        const quint16 flags = ReadWord(D, colsAt + 2 * i);
        ok = MoveField(rowsAt + 2 * i, true, 0, 0, S.RowOffset, false, !(flags & 0x8000))
            && MoveField(colsAt + 2 * i, false, 0, 0, S.ColOffset, false, !(flags & 0x4000));
    }
    if (!ok)
        ConvertToRefError(D, pos);
}

// Shared formulas keep relative parts as offsets from the cell: a row offset
// is a signed u16, a column offset a signed byte below the flag bits.
void TWalker::Expand(qsizetype colAt, qsizetype rowAt)
{
    const quint16 col = ReadWord(D, colAt);
    if (col & 0x8000)
        WriteWord(D, rowAt, quint16(ReadWord(D, rowAt) + S.ExpandRow));
    if (col & 0x4000)
        WriteWord(D, colAt, quint16((col & 0xFF00) | ((col + S.ExpandCol) & 0xFF)));
}

void TWalker::Sheet3D(qsizetype pos)
{
    if (!S.CopySheet || !Info.SetSheet || SheetOf3D(pos) != Info.InsSheet)
        return;
    WriteWord(D, pos + 1, quint16(Info.SetSheet(Info.FormulaSheet)));
}

void TWalker::Name(qsizetype at)
{
    if (!S.CopySheet || !Info.Names)
        return;
    const TFormulaNames &names = *Info.Names;
    const int index = ReadWord(D, at) - 1;
    if (index < 0 || index >= names.NameCount())
        return;
    const int sheet = names.NameSheet(index);
    if (sheet != Info.InsSheet && sheet != -1)
        return;
    const int found = names.FindName(names.NameText(index), Info.FormulaSheet);
    if (found >= 0)
        WriteWord(D, at, quint16(found + 1));
}

void TWalker::TableAnchor(qsizetype pos)
{
    if (Info.InsSheet != Info.FormulaSheet || S.ExpandRow > 0 || S.ExpandCol > 0 || S.CopySheet)
        return;
    if (!MoveField(pos + 1, true, S.RowPos, S.RowCount, S.RowOffset, true, false)
        || !MoveField(pos + 3, false, S.ColPos, S.ColCount, S.ColOffset, true, false))
        throw ETokenException(quint8(D[pos]));
}

void TWalker::Walk(qsizetype first, qsizetype end)
{
    const bool expanding = S.ExpandRow >= 0 && S.ExpandCol >= 0;
    qsizetype pos = first;
    while (pos < end) {
        const qsizetype size = TokenSize(D, pos, end);
        quint8 id = BaseToken(quint8(D[pos]));
        // Relative references of a shared formula become plain ones: RefN
        // and AreaN stand 8 above Ref and Area in every class.
        if (expanding && (id == Ptg::RefN || id == Ptg::AreaN)) {
            constexpr int ToPlain = Ptg::RefN - Ptg::Ref;
            D[pos] = char(quint8(D[pos]) - ToPlain);
            id -= ToPlain;
            if (id == Ptg::Ref) {
                Expand(pos + 3, pos + 1);
            } else {
                Expand(pos + 5, pos + 1);
                Expand(pos + 7, pos + 3);
            }
        }
        switch (id) {
        case Ptg::Tbl: TableAnchor(pos); break;
        case Ptg::Name: Name(pos + 1); break;
        case Ptg::NameX: Name(pos + 3); break;
        case Ptg::Ref: case Ptg::RefErr: Cell(pos, Info.FormulaSheet, pos + 1, pos + 3); break;
        case Ptg::Area: case Ptg::AreaErr: Area(pos, Info.FormulaSheet, pos + 1, pos + 5); break;
        case Ptg::Ref3d: case Ptg::RefErr3d:
            Sheet3D(pos);
            Cell(pos, SheetOf3D(pos), pos + 3, pos + 5);
            break;
        case Ptg::Area3d: case Ptg::AreaErr3d:
            Sheet3D(pos);
            Area(pos, SheetOf3D(pos), pos + 3, pos + 7);
            break;
        default: break;
        }
        pos += size;
    }
}

} // namespace

qsizetype TokenSize(QByteArrayView data, qsizetype pos, qsizetype end)
{
    if (pos < 0 || end > data.size() || pos >= end)
        FormulaMessages::raiseTokensRunPast();
    const quint8 stored = quint8(data[pos]);
    const TTokenInfo *info = TokenInfo(stored);
    // Not walked: the cell an Exp token names is another formula's, and the
    // areas of the Mem tokens stand in data after the tokens.
    switch (BaseToken(stored)) {
    case Ptg::Exp: case Ptg::MemArea: case Ptg::MemErr: case Ptg::MemNoMem: case Ptg::MemAreaN: case Ptg::MemNoMemN:
        info = nullptr;
        break;
    default:
        break;
    }
    if (!info)
        throw ETokenException(stored);
    qsizetype size = info->Size;
    if (BaseToken(stored) == Ptg::Str) {
        if (end - pos < 3)
            FormulaMessages::raiseTokensRunPast();
        const qsizetype chars = quint8(data[pos + 1]);
        size = 3 + ((quint8(data[pos + 2]) & 0x01) ? 2 * chars : chars);
    } else if (BaseToken(stored) == Ptg::Attr) {
        if (end - pos < 4)
            FormulaMessages::raiseTokensRunPast();
        size = 4;
        if (quint8(data[pos + 1]) & PtgAttr::Choose)
            size += (qsizetype(ReadWord(data, pos + 2)) + 1) * 2;
    }
    if (size > end - pos)
        FormulaMessages::raiseTokensRunPast();
    return size;
}

namespace {

void ShiftTokens(QByteArray &data, qsizetype first, qsizetype end, const TSheetInfo &info, const TTokenShift &shift)
{
    if (first < 0 || end > data.size() || first > end)
        FormulaMessages::raiseTokensRunPast();
    // Walk a copy and keep it only when every token could be handled.
    QByteArray work = data;
    TWalker(work, info, shift).Walk(first, end);
    data = work;
}

} // namespace

void ShiftTokensForInsert(QByteArray &data, qsizetype first, qsizetype end, const TSheetInfo &info,
                          int rowPos, int rowCount, int colPos, int colCount)
{
    TTokenShift s;
    s.RowPos = rowPos;
    s.RowCount = rowCount;
    s.ColPos = colPos;
    s.ColCount = colCount;
    ShiftTokens(data, first, end, info, s);
}

void ShiftTokensForCopy(QByteArray &data, qsizetype first, qsizetype end, int rowOffset, int colOffset)
{
    TTokenShift s;
    s.RowOffset = rowOffset;
    s.ColOffset = colOffset;
    s.OnlyRelative = true;
    ShiftTokens(data, first, end, TSheetInfo(), s);
}

void ShiftTokensForSheetCopy(QByteArray &data, qsizetype first, qsizetype end, const TSheetInfo &info)
{
    TTokenShift s;
    s.CopySheet = true;
    ShiftTokens(data, first, end, info, s);
}

void ExpandSharedTokens(QByteArray &data, qsizetype first, qsizetype end, int row, int col)
{
    TTokenShift s;
    s.ExpandRow = row;
    s.ExpandCol = col;
    ShiftTokens(data, first, end, TSheetInfo(), s);
}

void ConvertToRefError(QByteArray &data, qsizetype pos)
{
    if (pos < 0 || pos >= data.size())
        FormulaMessages::raiseTokensRunPast();
    const quint8 id = quint8(data[pos]);
    // The error forms stand at a fixed distance from their references, in every class.
    switch (BaseToken(id)) {
    case Ptg::Ref: case Ptg::Area: data[pos] = char(id + (Ptg::RefErr - Ptg::Ref)); break;
    case Ptg::Ref3d: case Ptg::Area3d: data[pos] = char(id + (Ptg::RefErr3d - Ptg::Ref3d)); break;
    case Ptg::RefErr: case Ptg::AreaErr: case Ptg::RefErr3d: case Ptg::AreaErr3d: break;
    default: throw ETokenException(id);
    }
}
