#include "xls/formula/FormulaDecoder.h"

#include "xls/formula/FormulaChars_p.h"
#include "xls/formula/FormulaNames.h"
#include "xls/formula/FormulaNumbers.h"
#include "xls/formula/FormulaReferences.h"
#include "xls/formula/FormulaStack.h"
#include "xls/formula/FormulaTokens.h"
#include "xls/formula/TokenException.h"
#include "xls/formula/XlsFormulaMessages.h"
#include "xls/storage/ByteCursor.h"

#include <QStringList>

// Reference texts are built in a small buffer: they are most of what a
// formula holds, and building them piece by piece costs an allocation each.
static int putColumn(char16_t *out, int col)
{
    col &= 0xFF;
    int n = 0;
    if (col >= 26)
        out[n++] = char16_t(u'A' + col / 26 - 1);
    out[n++] = char16_t(u'A' + col % 26);
    return n;
}

static int putColumnPart(char16_t *out, int colField)
{
    int n = 0;
    if (!(colField & 0x4000))
        out[n++] = u'$';
    return n + putColumn(out + n, colField);
}

static int putCell(char16_t *out, int row, int colField)
{
    int n = putColumnPart(out, colField);
    if (!(colField & 0x8000))
        out[n++] = u'$';
    char16_t digits[6];
    int d = 0;
    for (int v = row + 1; v > 0 || d == 0; v /= 10)
        digits[d++] = char16_t(u'0' + v % 10);
    while (d > 0)
        out[n++] = digits[--d];
    return n;
}

QString ColumnText(int col)
{
    char16_t buf[2];
    return QString::fromUtf16(buf, putColumn(buf, col));
}

QString CellRefText(int row, int colField)
{
    char16_t buf[12];
    return QString::fromUtf16(buf, putCell(buf, row, colField));
}

static QString areaText(int row1, int row2, int col1, int col2)
{
    char16_t buf[25];
    int n = 0;
    if (row1 == 0 && row2 == 0xFFFF) {
        n = putColumnPart(buf, col1);
        buf[n++] = u':';
        n += putColumnPart(buf + n, col2);
    } else {
        n = putCell(buf, row1, col1);
        buf[n++] = u':';
        n += putCell(buf + n, row2, col2);
    }
    return QString::fromUtf16(buf, n);
}

// A text constant as typed: in quotes, with its own quotes doubled.
static QString quotedText(QString text)
{
    return u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

namespace {

// One decoding run. A formula of an array (an Exp token) is decoded by a nested
// run; it may not hold another such token, so nesting stops there.
class TDecoder
{
public:
    // With textOff the tokens are walked and checked exactly as for text,
    // but no text is built: the encoder's check of what it made.
    TDecoder(const TFormulaNames *names, const TFormulaReferences *refs, int depth, bool textOff = false)
        : FNames(names), FRefs(refs), FDepth(depth), FTextOff(textOff) {}

    QString Decode(QByteArrayView data, qsizetype startPos, qsizetype tokenBytes);

private:
    void Token(quint8 id, ByteCursor &tok, ByteCursor &arr);
    // Pushes the text make() gives, after the pending whitespace.
    template <class Make>
    void PushItem(Make make)
    {
        if (FTextOff)
            FStack.Push(QString());
        else if (FStack.FmSpaces.isEmpty())
            FStack.Push(make());
        else
            FStack.Push(FStack.FmSpaces + make());
    }
    // Replaces the top count texts by what make(texts...) gives.
    template <class Make>
    void Combine(Make make)
    {
        if (FTextOff) {
            FStack.Pop();
            FStack.Push(QString());
        } else {
            const QString ws = FStack.FmSpaces;
            const QString pre = FStack.FmPreSpaces;
            const QString post = FStack.FmPostSpaces;
            const QString top = FStack.Pop();
            FStack.Push(make(top, ws, pre, post));
        }
    }
    void Binary(QLatin1StringView op);
    void Attribute(ByteCursor &tok);
    void Function(int index, int argCount);
    void CallByName(int argCount);
    QString ArrayConstant(ByteCursor &arr);
    QString NameText(int number) const;
    QString SheetPrefix(int externSheet) const;
    const TFormulaReferences &Refs() const;
    QString ArrayFormula(int row, int col) const;
    QString TableFormula(int row, int col) const;

    const TFormulaNames *FNames;
    const TFormulaReferences *FRefs;
    int FDepth;
    bool FTextOff;
    TFormulaStack FStack;
};

QString TDecoder::Decode(QByteArrayView data, qsizetype startPos, qsizetype tokenBytes)
{
    if (startPos < 0 || tokenBytes < 0 || startPos > data.size() || tokenBytes > data.size() - startPos)
        FormulaMessages::raiseTokensRunPast();
    ByteCursor tok(data.first(startPos + tokenBytes), QStringLiteral("formula tokens"));
    tok.seek(startPos);
    ByteCursor arr(data, QStringLiteral("formula array data"));
    arr.seek(startPos + tokenBytes);
    while (!tok.atEnd()) {
        const quint8 stored = tok.u8();
        Token(stored, tok, arr);
    }
    QString text = FStack.Pop();
    if (FStack.Count() != 0)
        throw EExcelException(QStringLiteral("Error reading formula: the tokens leave %1 values instead of one")
                                  .arg(FStack.Count() + 1));
    return FTextOff ? QString() : u'=' + text;
}

void TDecoder::Binary(QLatin1StringView op)
{
    const QString right = FStack.Pop();
    Combine([&](const QString &left, const QString &ws, const QString &, const QString &) {
        return left + ws + op + right;
    });
}

void TDecoder::Token(quint8 stored, ByteCursor &tok, ByteCursor &arr)
{
    // The operators' texts, Add to Range in id order.
    static const char *const binaryOps[] = {"+", "-", "*", "/", "^", "&", "<", "<=", "=", ">=", ">", "<>", " ", ",", ":"};
    const quint8 id = BaseToken(stored);
    switch (id) {
    case Ptg::Exp: {
        const int row = tok.u16();
        const int col = tok.u16();
        const QString inner = ArrayFormula(row, col);
        FStack.Push(FTextOff ? QString() : u'{' + inner + u'}');
        break;
    }
    case Ptg::Tbl: {
        const int row = tok.u16();
        const int col = tok.u16();
        FStack.Push(TableFormula(row, col));
        break;
    }
    case Ptg::Add: case Ptg::Sub: case Ptg::Mul: case Ptg::Div: case Ptg::Power: case Ptg::Concat:
    case Ptg::LT: case Ptg::LE: case Ptg::EQ: case Ptg::GE: case Ptg::GT: case Ptg::NE:
    case Ptg::Isect: case Ptg::Union: case Ptg::Range:
        Binary(QLatin1StringView(binaryOps[id - Ptg::Add]));
        break;
    case Ptg::UPlus:
    case Ptg::UMinus:
        Combine([&](const QString &operand, const QString &ws, const QString &, const QString &) {
            return ws + (id == Ptg::UPlus ? u'+' : u'-') + operand;
        });
        break;
    case Ptg::Percent:
        Combine([](const QString &operand, const QString &ws, const QString &, const QString &) {
            return operand + ws + u'%';
        });
        break;
    case Ptg::Paren:
        Combine([](const QString &operand, const QString &, const QString &pre, const QString &post) {
            return pre + u'(' + operand + post + u')';
        });
        break;
    case Ptg::MissArg:
        PushItem([] { return QString(); });
        break;
    case Ptg::Str: {
        const int count = tok.u8();
        const bool wide = tok.u8() & 0x01;
        const QString s = detail::ReadChars(tok, count, wide);
        PushItem([&] { return quotedText(s); });
        break;
    }
    case Ptg::Attr:
        Attribute(tok);
        break;
    case Ptg::Err: {
        const int code = tok.u8();
        PushItem([&] { return ErrorCodeToText(code); });
        break;
    }
    case Ptg::Bool: {
        const bool value = tok.u8() == 1;
        PushItem([&] { return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); });
        break;
    }
    case Ptg::Int: {
        const int value = tok.u16();
        PushItem([&] { return QString::number(value); });
        break;
    }
    case Ptg::Num: {
        const double value = tok.f64();
        PushItem([&] { return NumberToFormulaText(value); });
        break;
    }
    case Ptg::Array: {
        tok.skip(TokenInfo(id)->Size - 1);
        const QString text = ArrayConstant(arr);
        PushItem([&] { return text; });
        break;
    }
    case Ptg::Func: {
        const int index = tok.u16();
        Function(index, FunctionByIndex(index).MinArgs);
        break;
    }
    case Ptg::FuncVar: {
        const int count = tok.u8() & 0x7F;
        Function(tok.u16(), count);
        break;
    }
    case Ptg::Name: {
        const int number = tok.u16();
        tok.skip(2);
        const QString name = NameText(number);
        PushItem([&] { return name; });
        break;
    }
    case Ptg::Ref:
    case Ptg::RefN: {
        const int row = tok.u16();
        const int col = tok.u16();
        PushItem([&] { return CellRefText(row, col); });
        break;
    }
    case Ptg::Area:
    case Ptg::AreaN: {
        const int r1 = tok.u16();
        const int r2 = tok.u16();
        const int c1 = tok.u16();
        const int c2 = tok.u16();
        PushItem([&] { return areaText(r1, r2, c1, c2); });
        break;
    }
    case Ptg::MemArea:
    case Ptg::MemAreaN: {
        tok.skip(TokenInfo(id)->Size - 1);
        const int count = arr.u16();
        arr.skip(qsizetype(count) * 8);
        break;
    }
    case Ptg::MemErr:
    case Ptg::MemNoMem:
    case Ptg::MemNoMemN:
    case Ptg::MemFunc:
        tok.skip(TokenInfo(id)->Size - 1);
        break;
    case Ptg::RefErr:
    case Ptg::AreaErr:
    case Ptg::RefErr3d:
    case Ptg::AreaErr3d:
        tok.skip(TokenInfo(id)->Size - 1);
        PushItem([] { return QStringLiteral("#REF!"); });
        break;
    case Ptg::NameX: {
        const int ixti = tok.u16();
        const int number = tok.u16();
        tok.skip(2);
        // An add-in function or another workbook's name, or one of ours.
        const QString external = Refs().GetExternName(ixti, number);
        const QString text = !external.isNull() ? external : SheetPrefix(ixti) + NameText(number);
        PushItem([&] { return text; });
        break;
    }
    case Ptg::Ref3d: {
        const int ixti = tok.u16();
        const int row = tok.u16();
        const int col = tok.u16();
        const QString prefix = SheetPrefix(ixti);
        PushItem([&] { return prefix + CellRefText(row, col); });
        break;
    }
    case Ptg::Area3d: {
        const int ixti = tok.u16();
        const int r1 = tok.u16();
        const int r2 = tok.u16();
        const int c1 = tok.u16();
        const int c2 = tok.u16();
        const QString prefix = SheetPrefix(ixti);
        // 3-D areas have no whole-column form
        PushItem([&] { return prefix + CellRefText(r1, c1) + u':' + CellRefText(r2, c2); });
        break;
    }
    default:
        // Sheet and EndSheet (tokens of older formats) among them: their
        // size is not known here, so reading on would misread the rest.
        throw ETokenException(stored);
    }
}

void TDecoder::Attribute(ByteCursor &tok)
{
    const quint8 option = tok.u8();
    const quint16 value = tok.u16();
    if (option & PtgAttr::Choose) {
        tok.skip((qsizetype(value) + 1) * 2); // jump table of a CHOOSE
    } else if (option & PtgAttr::Sum) {
        Combine([](const QString &operand, const QString &, const QString &, const QString &) {
            return FunctionName(4) + u'(' + operand + u')';
        });
    } else if (option & PtgAttr::Space) {
        const int kind = value & 0xFF;
        const int count = value >> 8;
        if (kind > 5)
            return;
        const QString ws(count, (kind & 1) ? QChar(u'\r') : QChar(u' '));
        if (kind <= 1)
            FStack.FmSpaces = ws;
        else if (kind <= 3)
            FStack.FmPreSpaces = ws;
        else
            FStack.FmPostSpaces = ws;
    }
}

void TDecoder::Function(int index, int argCount)
{
    if (index == CallByNameFunction) {
        CallByName(argCount);
        return;
    }
    const QString &name = FunctionName(index);
    if (FTextOff) {
        FStack.Drop(argCount);
        FStack.Push(QString());
        return;
    }
    const QString head = FStack.FmSpaces + name + u'(';
    FStack.Push(FStack.PopJoined(argCount, u',', head, u')'));
}

// The function's name is the first argument (a name token): an add-in or
// macro function, or one newer than the format, stored as "_xlfn.NAME".
void TDecoder::CallByName(int argCount)
{
    if (argCount < 1)
        throw ETokenException(CallByNameFunction);
    if (FTextOff) {
        FStack.Drop(argCount);
        FStack.Push(QString());
        return;
    }
    const QString args = FStack.PopJoined(argCount - 1, u',');
    QString name = FStack.Pop();
    // Spaces typed before the name stand before it, not inside the prefix.
    qsizetype spaces = 0;
    while (spaces < name.size() && (name[spaces] == u' ' || name[spaces] == u'\r'))
        ++spaces;
    if (QStringView(name).mid(spaces).startsWith(FutureFunctionPrefix, Qt::CaseInsensitive))
        name.remove(spaces, FutureFunctionPrefix.size());
    FStack.Push(name + u'(' + args + u')');
}

QString TDecoder::ArrayConstant(ByteCursor &arr)
{
    const int cols = arr.u8() + 1;
    const int rows = arr.u16() + 1;
    arr.checkedCount(qint64(cols) * rows, 4); // the smallest value: an empty text
    QStringList rowTexts;
    for (int r = 0; r < rows; ++r) {
        QStringList values;
        for (int c = 0; c < cols; ++c) {
            const quint8 type = arr.u8();
            switch (type) {
            case 0x01:
                values += NumberToFormulaText(arr.f64());
                break;
            case Ptg::Tbl: {
                const int count = arr.u16();
                const bool wide = arr.u8() & 0x01;
                values += quotedText(detail::ReadChars(arr, count, wide));
                break;
            }
            case 0x04:
                values += arr.u8() == 1 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                arr.skip(7);
                break;
            case 0x10:
                values += ErrorCodeToText(arr.u8());
                arr.skip(7);
                break;
            default:
                throw ETokenException(type);
            }
        }
        rowTexts += values.join(u',');
    }
    return u'{' + rowTexts.join(u';') + u'}';
}

QString TDecoder::NameText(int number) const
{
    if (!FNames)
        throw EExcelException(QStringLiteral("Name table must not be nil"));
    if (number < 1 || number > FNames->NameCount())
        throw EExcelException(FormulaMessages::indexOutOfRange(number, "Name", 0, FNames->NameCount()));
    return FNames->NameText(number - 1);
}

const TFormulaReferences &TDecoder::Refs() const
{
    if (!FRefs)
        throw EExcelException(QStringLiteral("References must not be nil"));
    return *FRefs;
}

QString TDecoder::SheetPrefix(int externSheet) const
{
    return Refs().GetSheetPrefix(externSheet);
}

QString TDecoder::ArrayFormula(int row, int col) const
{
    if (FDepth > 0)
        throw ETokenException(Ptg::Exp);
    const QByteArray data = Refs().GetArrayRecordData(row, col);
    if (data.size() < 14)
        throw EExcelException(QStringLiteral("Error reading formula: the ARRAY record is too short"));
    TDecoder inner(FNames, FRefs, FDepth + 1, FTextOff);
    return inner.Decode(data, 14, quint8(data[12]) | (quint8(data[13]) << 8));
}

QString TDecoder::TableFormula(int row, int col) const
{
    const QByteArray data = Refs().GetTableRecordData(row, col);
    ByteCursor t(data, QStringLiteral("TABLE record"));
    t.seek(6);
    const quint16 options = t.u16();
    const int r1 = t.u16();
    const int c1 = t.u16();
    const int r2 = t.u16();
    const int c2 = t.u16();
    QString text = QStringLiteral("{=TABLE(") + CellRefText(r1, c1);
    if (options & 0x0008)
        text += u',' + CellRefText(r2, c2);
    return text + QStringLiteral(")}");
}

} // namespace

QString DecodeTokens(QByteArrayView data, qsizetype startPos, qsizetype tokenBytes,
                     const TFormulaNames *names, const TFormulaReferences *references)
{
    return TDecoder(names, references, 0).Decode(data, startPos, tokenBytes);
}

void CheckTokens(QByteArrayView data, qsizetype startPos, qsizetype tokenBytes, const TFormulaNames *names,
                 const TFormulaReferences *references)
{
    TDecoder(names, references, 0, true).Decode(data, startPos, tokenBytes);
}

QString DecodeFormula(QByteArrayView data, qsizetype startPos, const TFormulaNames *names,
                      const TFormulaReferences *references)
{
    if (startPos < 2 || startPos > data.size())
        FormulaMessages::raiseTokensRunPast();
    const qsizetype count = quint8(data[startPos - 2]) | (quint8(data[startPos - 1]) << 8);
    return DecodeTokens(data, startPos, count, names, references);
}
