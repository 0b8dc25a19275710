#pragma once

#include "xls/formula/WhiteSpaceStack.h"

#include <QByteArray>
#include <QString>

class TFormulaNames;
class TFormulaReferences;

// Token classes asked of the encoder.
constexpr int fmValue = 0;
constexpr int fmReference = 1;
constexpr int fmArray = 2;

// Turns formula text ("=" first) into a BIFF8 token array: a recursive-descent
// parser that emits tokens in reverse-Polish order, then fixes the class bits
// to what each place needs. Made for one formula, parsed once.
class TParseString
{
public:
    TParseString(const QString &formula, int initialClass, TFormulaReferences *references,
                 const TFormulaNames *names);
    // Force3D: every cell or area reference becomes an absolute 3-D reference
    // to defaultSheet.
    TParseString(const QString &formula, int initialClass, TFormulaReferences *references,
                 const TFormulaNames *names, const QString &defaultSheet, bool force3D);

    void Parse(); // raises EExcelException with the engine's parse messages

    // token bytes + 2 (array constants are never written, so none follow)
    int TotalSize() const;
    // u16 byte count, then the tokens; dest must hold them.
    void CopyToPtr(QByteArray &dest, qsizetype offset) const;
    const QByteArray &Tokens() const { return FParsedData; }

private:
    // characters
    bool AtEnd() const { return ParsePos > Formula.size(); }
    QChar Current() const { return AtEnd() ? QChar() : Formula.constData()[ParsePos - 1]; }
    void NextChar();
    bool PeekCharWs(QChar &c, int *index = nullptr) const;
    void SkipWhiteSpace();
    QString ReadQuoted(QChar quote);

    // emitting
    void AddParsed(const QByteArray &bytes, bool popWhiteSpace = true);
    void AddParsed(const char *bytes, qsizetype size, bool popWhiteSpace = true);
    void AddParsedOp(quint8 id);
    void AddWhiteSpaceAttr(quint8 count, quint8 kind);
    void PopWhiteSpace(quint8 &count, quint8 &kind);
    void MakeLast(int tokenClass);

    // grammar: each returns false when it read nothing at all
    bool Expression() { return BinaryTerm(0); }
    bool BinaryTerm(int level);
    bool MatchOperator(int level, quint8 &id, int &length) const;
    bool PercentTerm();
    bool SignTerm();
    bool RefTerm();
    bool Factor();
    void NumberFactor();
    void StringFactor();
    void ErrorFactor();
    void ParenFactor();
    void IdentifierFactor();
    void QuotedSheetFactor();
    void FunctionCall(const QString &name);
    int FunctionArgs(QLatin1StringView classes);
    bool ReadCellRef(int &row, int &col, bool &absCol, bool &absRow);
    bool ReadColumnRef(int &col, bool &absCol);
    bool ReadArea(int rows[2], int cols[2], int &count);
    bool CellRefFactor();
    void Ref3DFactor(const QString &sheets);
    void AddRef(int externSheet, const int *rows, const int *cols, int count);
    int SheetIndex(const QString &name) const;
    bool InFunctionArgs() const { return ParenContext.endsWith(u'1'); }

    [[noreturn]] void RaiseUnexpectedChar() const;
    [[noreturn]] void RaiseUnexpectedEnd() const;
    [[noreturn]] void RaiseUnexpectedIdentifier(const QString &id) const;

    int ParsePos = 1; // 1-based position of the next character
    QString Formula;
    QByteArray FParsedData;
    QString ParenContext; // "0" grouping, "1" function call, one per open parenthesis
    qsizetype LastTokenPos = -1;
    int Depth = 0;
    const TFormulaNames *FNames;
    TFormulaReferences *FReferences;
    TWhiteSpaceStack StackWs;
    QString DefaultSheet;
    bool Force3D = false;
    int InitialClass = fmValue;
};
