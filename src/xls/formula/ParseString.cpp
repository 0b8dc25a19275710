#include "xls/formula/ParseString.h"

#include "xls/formula/FormulaDecoder.h"
#include "xls/formula/FormulaNames.h"
#include "xls/formula/FormulaTokens.h"
#include "xls/formula/FormulaNumbers.h"
#include "xls/formula/FormulaReferences.h"
#include "xls/formula/XlsFormulaMessages.h"
#include "xls/records/ExcelString.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"

#include <cmath>

namespace {

constexpr int MaxFormulaLen = 1024;
// Nesting of parentheses and function calls beyond this is refused, so a
// hostile text cannot exhaust the stack.
constexpr int MaxNesting = 200;

QString quoted(const QString &s)
{
    return u'"' + s + u'"';
}

[[noreturn]] void raise(const QString &message)
{
    throw EExcelException(message);
}

// An internal inconsistency: no last token, whitespace left over.
[[noreturn]] void raiseLogical()
{
    raise(QStringLiteral("XLS engine: Logical Error"));
}

bool isLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'.' || c == u':' || c == u'\\' || c == u'_';
}

// A character that carries on a name, a sheet prefix or a function call.
bool continuesIdentifier(QChar c)
{
    return isIdentifierChar(c) || c == u'!' || c == u'(';
}

// Class bits of operand tokens, by the class asked for.
constexpr quint8 classBits[] = {Ptg::ClassValue, Ptg::ClassReference, Ptg::ClassArray};

} // namespace

TParseString::TParseString(const QString &formula, int initialClass, TFormulaReferences *references,
                           const TFormulaNames *names)
    : TParseString(formula, initialClass, references, names, QString(), false)
{
}

TParseString::TParseString(const QString &formula, int initialClass, TFormulaReferences *references,
                           const TFormulaNames *names, const QString &defaultSheet, bool force3D)
    : Formula(formula), FNames(names), FReferences(references), DefaultSheet(defaultSheet), Force3D(force3D),
      InitialClass(initialClass)
{
}

// ---- characters -------------------------------------------------------------

void TParseString::NextChar()
{
    if (AtEnd())
        return;
    ++ParsePos;
    if (ParsePos > MaxFormulaLen)
        raise(QStringLiteral("Formula too long: %1").arg(quoted(Formula)));
}

bool TParseString::PeekCharWs(QChar &c, int *index) const
{
    const QChar *chars = Formula.constData();
    for (int i = ParsePos - 1; i < Formula.size(); ++i) {
        if (chars[i] != u' ') {
            c = chars[i];
            if (index)
                *index = i;
            return true;
        }
    }
    return false;
}

void TParseString::SkipWhiteSpace()
{
    int count = 0;
    while (!AtEnd() && Current() == u' ') {
        NextChar();
        if (count < 255)
            ++count;
    }
    if (AtEnd())
        return;
    const QChar c = Current();
    StackWs.Push(quint8(count), c == u'(' ? wsBeforeOpenParen : c == u')' ? wsBeforeCloseParen : wsBeforeItem);
}

void TParseString::RaiseUnexpectedChar() const
{
    if (AtEnd())
        RaiseUnexpectedEnd();
    raise(QStringLiteral("Unexpected char \"%1\" at pos %2 on formula: %3").arg(Current()).arg(ParsePos).arg(quoted(Formula)));
}

void TParseString::RaiseUnexpectedEnd() const
{
    raise(QStringLiteral("Unexpected end of formula: %1").arg(quoted(Formula)));
}

void TParseString::RaiseUnexpectedIdentifier(const QString &id) const
{
    raise(QStringLiteral("Unexpected Identifier: %1 on formula %2").arg(quoted(id), quoted(Formula)));
}

// ---- emitting ---------------------------------------------------------------

void TParseString::PopWhiteSpace(quint8 &count, quint8 &kind)
{
    if (StackWs.Count() == 0)
        raiseLogical();
    StackWs.Pop(count, kind);
}

void TParseString::AddWhiteSpaceAttr(quint8 count, quint8 kind)
{
    if (count == 0)
        return;
    const char attr[4] = {char(Ptg::Attr), char(PtgAttr::Space), char(kind), char(count)};
    AddParsed(attr, 4, false);
}

void TParseString::AddParsed(const QByteArray &bytes, bool popWhiteSpace)
{
    AddParsed(bytes.constData(), bytes.size(), popWhiteSpace);
}

void TParseString::AddParsed(const char *bytes, qsizetype size, bool popWhiteSpace)
{
    if (popWhiteSpace) {
        quint8 count, kind;
        PopWhiteSpace(count, kind);
        AddWhiteSpaceAttr(count, kind);
    }
    const quint8 id = quint8(bytes[0]);
    if (id != Ptg::Paren && id != Ptg::Attr)
        LastTokenPos = FParsedData.size();
    FParsedData.append(bytes, size);
}

void TParseString::AddParsedOp(quint8 id)
{
    const char t = char(id);
    AddParsed(&t, 1);
}

void TParseString::MakeLast(int tokenClass)
{
    if (LastTokenPos < 0)
        raiseLogical();
    const quint8 id = quint8(FParsedData.at(LastTokenPos));
    if (BaseToken(id) < Ptg::Array || id >= 0x80)
        return; // operators and constants have no class bits
    const int cls = id & Ptg::ClassMask;
    const int current = cls == Ptg::ClassReference ? fmReference : cls == Ptg::ClassValue ? fmValue : fmArray;
    int wanted = current;
    if (tokenClass == fmValue && current != fmArray)
        wanted = fmValue;
    else if (tokenClass == fmArray)
        wanted = fmArray;
    FParsedData[LastTokenPos] = char(WithClass(id, classBits[wanted]));
}

// ---- grammar ----------------------------------------------------------------

void TParseString::Parse()
{
    LastTokenPos = -1;
    FParsedData.clear();
    StackWs.Clear();
    ParenContext.clear();
    ParsePos = 1;
    Depth = 0;
    try {
        if (Current() != u'=')
            raise(QStringLiteral("Formula must start with \"=\": %1").arg(quoted(Formula)));
        NextChar();
        if (!Expression())
            RaiseUnexpectedChar();
        MakeLast(InitialClass);
        if (!AtEnd())
            RaiseUnexpectedChar();
        if (StackWs.Count() != 0)
            raiseLogical();
        // What we made must read back.
        CheckTokens(FParsedData, 0, FParsedData.size(), FNames, FReferences);
    } catch (...) {
        FParsedData.clear();
        LastTokenPos = -1;
        throw;
    }
}

// Levels from the lowest precedence: comparison, "&", "+ -", "* /", "^".
bool TParseString::MatchOperator(int level, quint8 &id, int &length) const
{
    QChar c;
    int at = 0;
    if (!PeekCharWs(c, &at))
        return false;
    const QChar c2 = at + 1 < Formula.size() ? Formula.at(at + 1) : QChar();
    length = 1;
    switch (level) {
    case 0:
        if (c == u'=') { id = Ptg::EQ; return true; }
        if (c == u'<' && c2 == u'=') { id = Ptg::LE; length = 2; return true; }
        if (c == u'<' && c2 == u'>') { id = Ptg::NE; length = 2; return true; }
        if (c == u'>' && c2 == u'=') { id = Ptg::GE; length = 2; return true; }
        if (c == u'<') { id = Ptg::LT; return true; }
        if (c == u'>') { id = Ptg::GT; return true; }
        return false;
    case 1:
        id = Ptg::Concat;
        return c == u'&';
    case 2:
        id = c == u'+' ? Ptg::Add : Ptg::Sub;
        return c == u'+' || c == u'-';
    case 3:
        id = c == u'*' ? Ptg::Mul : Ptg::Div;
        return c == u'*' || c == u'/';
    default:
        id = Ptg::Power;
        return c == u'^';
    }
}

bool TParseString::BinaryTerm(int level)
{
    if (level > 4)
        return PercentTerm();
    if (!BinaryTerm(level + 1))
        return false;
    quint8 id = 0;
    int length = 0;
    bool first = true;
    while (MatchOperator(level, id, length)) {
        if (first)
            MakeLast(fmValue);
        first = false;
        SkipWhiteSpace();
        for (int i = 0; i < length; ++i)
            NextChar();
        if (!BinaryTerm(level + 1))
            RaiseUnexpectedChar();
        MakeLast(fmValue);
        AddParsedOp(id);
    }
    return true;
}

bool TParseString::PercentTerm()
{
    if (!SignTerm())
        return false;
    QChar c;
    bool first = true;
    while (PeekCharWs(c) && c == u'%') {
        if (first)
            MakeLast(fmValue);
        first = false;
        SkipWhiteSpace();
        NextChar();
        AddParsedOp(Ptg::Percent);
    }
    return true;
}

bool TParseString::SignTerm()
{
    QString signs;
    QChar c;
    while (PeekCharWs(c) && (c == u'-' || c == u'+')) {
        SkipWhiteSpace();
        NextChar();
        signs += c;
    }
    if (!RefTerm()) {
        if (signs.isEmpty())
            return false;
        RaiseUnexpectedChar();
    }
    if (signs.isEmpty())
        return true;
    MakeLast(fmValue);
    // The sign nearest the operand applies first, so "-+A1" reads back as written.
    for (qsizetype i = signs.size() - 1; i >= 0; --i)
        AddParsedOp(signs.at(i) == u'-' ? Ptg::UMinus : Ptg::UPlus);
    return true;
}

bool TParseString::RefTerm()
{
    if (!Factor())
        return false;
    QChar c;
    while (PeekCharWs(c) && (c == u':' || (c == u',' && !InFunctionArgs()))) {
        SkipWhiteSpace();
        NextChar();
        if (!Factor())
            RaiseUnexpectedChar();
        AddParsedOp(c == u':' ? Ptg::Range : Ptg::Union);
    }
    return true;
}

bool TParseString::Factor()
{
    QChar c;
    if (!PeekCharWs(c))
        RaiseUnexpectedEnd();
    const int start = ParsePos;
    SkipWhiteSpace();
    if (c.unicode() >= 256)
        RaiseUnexpectedChar();
    if (++Depth > MaxNesting)
        raise(QStringLiteral("Formula too deeply nested: %1").arg(quoted(Formula)));
    struct Leave { int &d; ~Leave() { --d; } } leave{Depth};

    if (isDigit(c)) {
        NumberFactor();
    } else if (c == u'(') {
        ParenFactor();
    } else if (c == u'"') {
        StringFactor();
    } else if (c == u'{') {
        raise(QStringLiteral("Writing array formulas is not yet supported"));
    } else if (c == u'#') {
        ErrorFactor();
    } else if (!CellRefFactor()) {
        if (isLetter(c) || c == u'\\' || c == u'_' || c.isLetter()) {
            IdentifierFactor();
        } else if (c == u'\'') {
            QuotedSheetFactor();
        } else {
            // Nothing here: put the spaces back for the caller.
            quint8 count, kind;
            PopWhiteSpace(count, kind);
            ParsePos = start;
            return false;
        }
    }
    return true;
}

void TParseString::NumberFactor()
{
    const int start = ParsePos;
    while (!AtEnd() && (isDigit(Current()) || Current() == u'.'))
        NextChar();
    if (!AtEnd() && (Current() == u'e' || Current() == u'E')) {
        NextChar();
        if (!AtEnd() && (Current() == u'+' || Current() == u'-'))
            NextChar();
        while (!AtEnd() && isDigit(Current()))
            NextChar();
    }
    const QString text = Formula.mid(start - 1, ParsePos - start);
    bool ok = false;
    const double v = FormulaTextToNumber(text, &ok);
    if (!ok)
        RaiseUnexpectedIdentifier(text);
    if (v >= 0 && v <= 65535 && v == std::floor(v)) {
        const quint16 n = quint16(v);
        const char t[3] = {char(Ptg::Int), char(n & 0xFF), char(n >> 8)};
        AddParsed(t, 3);
    } else {
        QByteArray t(9, '\0');
        t[0] = char(Ptg::Num);
        WriteDouble(t, 1, v);
        AddParsed(t);
    }
}

// The text between two quote characters; a doubled quote stands for one.
QString TParseString::ReadQuoted(QChar quote)
{
    NextChar(); // the opening quote
    QString text;
    for (;;) {
        if (AtEnd())
            raise(QStringLiteral("Unterminated string on formula: %1").arg(quoted(Formula)));
        const QChar c = Current();
        NextChar();
        if (c == quote) {
            if (AtEnd() || Current() != quote)
                return text;
            NextChar();
        }
        text += c;
    }
}

void TParseString::StringFactor()
{
    const QString text = ReadQuoted(u'"');
    // The token holds the character count in one byte.
    if (text.size() > 255)
        raise(QStringLiteral("String too long on formula: %1").arg(quoted(Formula)));
    AddParsed(char(Ptg::Str) + TExcelString(1, text).ToBytes());
}

void TParseString::ErrorFactor()
{
    QString text;
    for (;;) {
        if (AtEnd())
            RaiseUnexpectedIdentifier(text);
        text += Current().toUpper();
        NextChar();
        const int code = ErrorTextToCode(text);
        if (code >= 0) {
            const char t[2] = {char(Ptg::Err), char(code)};
            AddParsed(t, 2);
            return;
        }
        if (text.size() > MaxErrorLen)
            RaiseUnexpectedIdentifier(text);
    }
}

void TParseString::ParenFactor()
{
    NextChar(); // "("
    ParenContext += u'0';
    if (!Expression())
        RaiseUnexpectedChar();
    ParenContext.chop(1);
    QChar c;
    if (!PeekCharWs(c) || c != u')')
        raise(QStringLiteral("Missing closing parentheses on formula: %1").arg(quoted(Formula)));
    SkipWhiteSpace();
    NextChar();
    quint8 closeCount, closeKind, openCount, openKind;
    PopWhiteSpace(closeCount, closeKind);
    PopWhiteSpace(openCount, openKind);
    AddWhiteSpaceAttr(closeCount, closeKind);
    AddWhiteSpaceAttr(openCount, openKind);
    const char paren = Ptg::Paren;
    AddParsed(&paren, 1, false);
}

void TParseString::IdentifierFactor()
{
    const int start = ParsePos;
    while (!AtEnd()) {
        const QChar c = Current();
        if (!isIdentifierChar(c))
            break;
        NextChar();
    }
    const QString id = Formula.mid(start - 1, ParsePos - start).toUpper();
    if (!AtEnd() && Current() == u'(') {
        FunctionCall(id);
    } else if (!AtEnd() && Current() == u'!') {
        NextChar();
        Ref3DFactor(id);
    } else if (id == u"TRUE" || id == u"FALSE") {
        const char t[2] = {char(Ptg::Bool), char(id == u"TRUE" ? 1 : 0)};
        AddParsed(t, 2);
    } else {
        // Defined names are not accepted in formulas.
        RaiseUnexpectedIdentifier(id);
    }
}

void TParseString::QuotedSheetFactor()
{
    const QString sheet = ReadQuoted(u'\'');
    if (AtEnd() || Current() != u'!')
        RaiseUnexpectedChar();
    NextChar();
    Ref3DFactor(sheet);
}

void TParseString::FunctionCall(const QString &name)
{
    const TCellFunctionData *fn = FunctionByName(name);
    // A function newer than the format is called through the workbook's
    // name "_xlfn.NAME": the name first, then the arguments, then the call.
    const int future = fn || !FNames ? -1 : FNames->FindName(FutureFunctionPrefix + name, -1);
    if (!fn && future < 0)
        raise(QStringLiteral("Function not found: %1 on formula %2").arg(quoted(name), quoted(Formula)));
    if (!fn) {
        const char nameToken[5] = {char(Ptg::Name), char((future + 1) & 0xFF), char((future + 1) >> 8), 0, 0};
        AddParsed(nameToken, 5, false);
        const int n = FunctionArgs(QLatin1StringView());
        const char call[4] = {char(WithClass(Ptg::FuncVar, classBits[fmValue])), char(n + 1), char(CallByNameFunction), 0};
        AddParsed(call, 4);
        return;
    }
    const int n = FunctionArgs(QLatin1StringView(fn->ParamType));
    if (n < fn->MinArgs || n > fn->MaxArgs)
        raise(QStringLiteral("Invalid number of parameters to function \"%1\": Expected %2 and found %3")
                  .arg(name).arg(fn->MinArgs).arg(n));
    const quint8 cls = classBits[fn->resultClass() <= fmArray ? fn->resultClass() : fmValue];
    char t[4];
    int size = 0;
    if (fn->MinArgs == fn->MaxArgs) {
        t[size++] = char(WithClass(Ptg::Func, cls));
    } else {
        t[size++] = char(WithClass(Ptg::FuncVar, cls));
        t[size++] = char(n);
    }
    t[size++] = char(fn->Index & 0xFF);
    t[size++] = char(fn->Index >> 8);
    AddParsed(t, size);
}


// The arguments of a call, "(" to ")", each of the class the function asks
// for (a value when it names none); returns their count.
int TParseString::FunctionArgs(QLatin1StringView classes)
{
    ParenContext += u'1';
    NextChar(); // "("
    int n = 0;
    for (;;) {
        QChar c;
        if (!Expression()) {
            SkipWhiteSpace();
            if (!PeekCharWs(c))
                RaiseUnexpectedEnd();
            if (c == u',' || n > 0) {
                AddParsedOp(Ptg::MissArg);
            } else {
                quint8 count, kind;
                PopWhiteSpace(count, kind);
                if (c == u')')
                    break; // no arguments at all
            }
        } else {
            const QChar letter = classes.isEmpty() ? QChar(u'V') : classes.at(std::min<qsizetype>(n, classes.size() - 1));
            if (letter == u'V' || letter == u'-')
                MakeLast(fmValue);
            else if (letter == u'R')
                MakeLast(fmReference);
            else if (letter == u'A')
                MakeLast(fmArray);
            else
                raiseLogical();
            SkipWhiteSpace();
            if (StackWs.Count() > 0 && !AtEnd()) {
                quint8 count, kind;
                PopWhiteSpace(count, kind);
                if (kind == wsBeforeOpenParen || kind == wsBeforeCloseParen)
                    AddWhiteSpaceAttr(count, kind);
            }
        }
        ++n;
        if (!PeekCharWs(c))
            RaiseUnexpectedEnd();
        if (c == u',') {
            NextChar();
            if (AtEnd())
                RaiseUnexpectedEnd();
            continue;
        }
        if (c != u')')
            RaiseUnexpectedChar();
        break;
    }
    if (AtEnd() || Current() != u')')
        raise(QStringLiteral("Missing closing parentheses on formula: %1").arg(quoted(Formula)));
    NextChar();
    ParenContext.chop(1);
    return n;
}

// "$"? letters "$"? digits; row and col come back 1-based.
bool TParseString::ReadCellRef(int &row, int &col, bool &absCol, bool &absRow)
{
    row = 0;
    ReadColumnRef(col, absCol);
    absRow = !AtEnd() && Current() == u'$';
    if (absRow)
        NextChar();
    while (!AtEnd() && isDigit(Current()) && row < 65537) {
        row = row * 10 + (Current().unicode() - u'0');
        NextChar();
    }
    return row >= 1 && row <= 65536 && col >= 1 && col <= 256;
}

static int colField(int col, bool absCol, bool absRow)
{
    return (col - 1) | (absCol ? 0 : 0x4000) | (absRow ? 0 : 0x8000);
}

void TParseString::AddRef(int externSheet, const int *rows, const int *cols, int count)
{
    char t[11];
    int n = 0;
    auto put16 = [&](int v) {
        t[n++] = char(v & 0xFF);
        t[n++] = char((v >> 8) & 0xFF);
    };
    if (externSheet >= 0) {
        t[n++] = char(count == 1 ? Ptg::Ref3d : Ptg::Area3d);
        put16(externSheet);
    } else {
        t[n++] = char(count == 1 ? Ptg::Ref : Ptg::Area);
    }
    for (int i = 0; i < count; ++i)
        put16(rows[i]);
    for (int i = 0; i < count; ++i)
        put16(cols[i]);
    AddParsed(t, n);
}

int TParseString::SheetIndex(const QString &name) const
{
    if (!FReferences)
        raise(QStringLiteral("References must not be nil"));
    const int sheet = FReferences->GetSheetIndex(name);
    if (sheet < 0)
        raise(QStringLiteral("Invalid sheet: %1").arg(name));
    return sheet;
}

// "$"? letters, as the first or last column of a whole-column range.
bool TParseString::ReadColumnRef(int &col, bool &absCol)
{
    col = 0;
    absCol = !AtEnd() && Current() == u'$';
    if (absCol)
        NextChar();
    for (int i = 0; i < 2 && !AtEnd() && isLetter(Current()); ++i) {
        col = col * 26 + (Current().toUpper().unicode() - u'A' + 1);
        NextChar();
    }
    return col >= 1 && col <= 256;
}

// A cell "A1", an area "A1:B2" or whole columns "A:C" (rows 1 to 65536,
// kept absolute so copies of the formula still cover whole columns).
// Returns false, with nothing read, when no reference starts here.
bool TParseString::ReadArea(int rows[2], int cols[2], int &count)
{
    const int start = ParsePos;
    int row, col;
    bool absCol, absRow;
    if (ReadCellRef(row, col, absCol, absRow)) {
        rows[0] = row - 1;
        cols[0] = colField(col, absCol, absRow);
        count = 1;
        if (!AtEnd() && Current() == u':') {
            const int colon = ParsePos;
            NextChar();
            if (!ReadCellRef(row, col, absCol, absRow)) {
                ParsePos = colon;
                RaiseUnexpectedChar();
            }
            rows[1] = row - 1;
            cols[1] = colField(col, absCol, absRow);
            count = 2;
        }
        return true;
    }
    ParsePos = start;
    int last;
    bool absLast;
    if (ReadColumnRef(col, absCol) && !AtEnd() && Current() == u':') {
        NextChar();
        if (ReadColumnRef(last, absLast) && (AtEnd() || !continuesIdentifier(Current()))) {
            rows[0] = 0;
            rows[1] = 65535;
            cols[0] = colField(col, absCol, true);
            cols[1] = colField(last, absLast, true);
            count = 2;
            return true;
        }
    }
    ParsePos = start;
    return false;
}

bool TParseString::CellRefFactor()
{
    int rows[2] = {0, 0};
    int cols[2] = {0, 0};
    int count = 0;
    if (!ReadArea(rows, cols, count))
        return false;
    int externSheet = -1;
    if (Force3D) {
        const int sheet = SheetIndex(DefaultSheet);
        externSheet = FReferences->AddExternSheet(sheet, sheet);
        for (int &c : cols)
            c &= 0xFF;
    }
    AddRef(externSheet, rows, cols, count);
    return true;
}

void TParseString::Ref3DFactor(const QString &sheets)
{
    const qsizetype colon = sheets.indexOf(u':');
    const QString firstName = colon < 0 ? sheets : sheets.left(colon);
    const QString lastName = colon < 0 ? sheets : sheets.mid(colon + 1);
    const int first = SheetIndex(firstName);
    const int last = SheetIndex(lastName);
    const int externSheet = FReferences->AddExternSheet(first, last);
    int rows[2] = {0, 0};
    int cols[2] = {0, 0};
    int count = 0;
    if (!ReadArea(rows, cols, count)) {
        int row, col;
        bool absCol, absRow;
        ReadCellRef(row, col, absCol, absRow);
        RaiseUnexpectedIdentifier(QStringLiteral("%1, %2").arg(col).arg(row));
    }
    AddRef(externSheet, rows, cols, count);
}

// ---- output -----------------------------------------------------------------

int TParseString::TotalSize() const
{
    return int(FParsedData.size() + 2);
}

void TParseString::CopyToPtr(QByteArray &dest, qsizetype offset) const
{
    if (offset < 0 || offset + TotalSize() > dest.size())
        raise(QStringLiteral("XLS engine: Logical Error"));
    WriteWord(dest, offset, quint16(FParsedData.size()));
    std::copy(FParsedData.begin(), FParsedData.end(), dest.begin() + offset + 2);
}
