#include "xls/formula/FormulaDecoder.h"

#include "xls/formula/FormulaChars_p.h"
#include "xls/formula/FormulaNames.h"
#include "xls/formula/FormulaNumbers.h"
#include "xls/formula/FormulaReferences.h"
#include "xls/formula/FormulaStack.h"
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

// One decoding run. A formula of an array (token 0x01) is decoded by a nested
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

quint8 foldClass(quint8 id)
{
    if (id < 0x20 || id > 0x7F)
        return id;
    return (id & 0x40) ? quint8((id | 0x20) & 0x3F) : quint8(id & 0x3F);
}

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
    static const char *const binaryOps[] = {"+", "-", "*", "/", "^", "&", "<", "<=", "=", ">=", ">", "<>", " ", ",", ":"};
    const quint8 id = foldClass(stored);
    switch (id) {
    case 0x01: {
        const int row = tok.u16();
        const int col = tok.u16();
        const QString inner = ArrayFormula(row, col);
        FStack.Push(FTextOff ? QString() : u'{' + inner + u'}');
        break;
    }
    case 0x02: {
        const int row = tok.u16();
        const int col = tok.u16();
        FStack.Push(TableFormula(row, col));
        break;
    }
    case 0x03: case 0x04: case 0x05: case 0x06: case 0x07: case 0x08:
    case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x0E:
    case 0x0F: case 0x10: case 0x11:
        Binary(QLatin1StringView(binaryOps[id - 0x03]));
        break;
    case 0x12:
    case 0x13:
        Combine([&](const QString &operand, const QString &ws, const QString &, const QString &) {
            return ws + (id == 0x12 ? u'+' : u'-') + operand;
        });
        break;
    case 0x14:
        Combine([](const QString &operand, const QString &ws, const QString &, const QString &) {
            return operand + ws + u'%';
        });
        break;
    case 0x15:
        Combine([](const QString &operand, const QString &, const QString &pre, const QString &post) {
            return pre + u'(' + operand + post + u')';
        });
        break;
    case 0x16:
        PushItem([] { return QString(); });
        break;
    case 0x17: {
        const int count = tok.u8();
        const bool wide = tok.u8() & 0x01;
        const QString s = detail::ReadChars(tok, count, wide);
        PushItem([&] { return quotedText(s); });
        break;
    }
    case 0x19:
        Attribute(tok);
        break;
    case 0x1C: {
        const int code = tok.u8();
        PushItem([&] { return ErrorCodeToText(code); });
        break;
    }
    case 0x1D: {
        const bool value = tok.u8() == 1;
        PushItem([&] { return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); });
        break;
    }
    case 0x1E: {
        const int value = tok.u16();
        PushItem([&] { return QString::number(value); });
        break;
    }
    case 0x1F: {
        const double value = tok.f64();
        PushItem([&] { return NumberToFormulaText(value); });
        break;
    }
    case 0x20: {
        tok.skip(7);
        const QString text = ArrayConstant(arr);
        PushItem([&] { return text; });
        break;
    }
    case 0x21: {
        const int index = tok.u16();
        Function(index, FunctionByIndex(index).MinArgs);
        break;
    }
    case 0x22: {
        const int count = tok.u8() & 0x7F;
        Function(tok.u16(), count);
        break;
    }
    case 0x23: {
        const int number = tok.u16();
        tok.skip(2);
        const QString name = NameText(number);
        PushItem([&] { return name; });
        break;
    }
    case 0x24:
    case 0x2C: {
        const int row = tok.u16();
        const int col = tok.u16();
        PushItem([&] { return CellRefText(row, col); });
        break;
    }
    case 0x25:
    case 0x2D: {
        const int r1 = tok.u16();
        const int r2 = tok.u16();
        const int c1 = tok.u16();
        const int c2 = tok.u16();
        PushItem([&] { return areaText(r1, r2, c1, c2); });
        break;
    }
    case 0x26:
    case 0x2E: {
        tok.skip(6);
        const int count = arr.u16();
        arr.skip(qsizetype(count) * 8);
        break;
    }
    case 0x27:
    case 0x28:
    case 0x2F:
        tok.skip(6);
        break;
    case 0x29:
        tok.skip(2);
        break;
    case 0x2A:
    case 0x2B:
    case 0x3C:
    case 0x3D:
        tok.skip(id == 0x2A ? 4 : id == 0x2B ? 8 : id == 0x3C ? 6 : 10);
        PushItem([] { return QStringLiteral("#REF!"); });
        break;
    case 0x39: {
        const int ixti = tok.u16();
        const int number = tok.u16();
        tok.skip(2);
        // An add-in function or another workbook's name, or one of ours.
        const QString external = Refs().GetExternName(ixti, number);
        const QString text = !external.isNull() ? external : SheetPrefix(ixti) + NameText(number);
        PushItem([&] { return text; });
        break;
    }
    case 0x3A: {
        const int ixti = tok.u16();
        const int row = tok.u16();
        const int col = tok.u16();
        const QString prefix = SheetPrefix(ixti);
        PushItem([&] { return prefix + CellRefText(row, col); });
        break;
    }
    case 0x3B: {
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
        // 0x1A and 0x1B (sheet tokens of older formats) among them: their
        // size is not known here, so reading on would misread the rest.
        throw ETokenException(stored);
    }
}

void TDecoder::Attribute(ByteCursor &tok)
{
    const quint8 option = tok.u8();
    const quint16 value = tok.u16();
    if (option & 0x04) {
        tok.skip((qsizetype(value) + 1) * 2); // jump table of a CHOOSE
    } else if (option & 0x10) {
        Combine([](const QString &operand, const QString &, const QString &, const QString &) {
            return FunctionName(4) + u'(' + operand + u')';
        });
    } else if (option & 0x40) {
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
            case 0x02: {
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
        throw ETokenException(0x01);
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
