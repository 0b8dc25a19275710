#pragma once

#include <QString>
#include <QStringView>

// The built-in function table of the BIFF8 format and the error-value texts,
// shared by the formula decoder and encoder.

// Flags of a function: byte 0 volatile, byte 1 the class of its result.
constexpr quint16 fnVolatile = 0x0001;
constexpr int fnClassValue = 0;
constexpr int fnClassReference = 1;
constexpr int fnClassArray = 2;

struct TCellFunctionData
{
    int Index;             // the BIFF8 function number, equal to the position
    const char *Name;      // upper case
    int MinArgs;
    int MaxArgs;           // 30 means "any count up to 30"
    quint16 Flags;         // fnVolatile | result class << 8
    const char *ParamType; // one letter per argument: V value, R reference, A array, - none;
                           // the last letter stands for every further argument

    QString name() const { return QString::fromLatin1(Name); }
    bool isVolatile() const { return Flags & fnVolatile; }
    int resultClass() const { return Flags >> 8; }
};

constexpr int FunctionCount = 368;
extern const TCellFunctionData FuncNameArray[FunctionCount];

// The entry of a function number; raises the engine's range error for a number
// outside the table.
const TCellFunctionData &FunctionByIndex(int index);
// The function number of a call whose function is named by its first
// argument (a name token), and the prefix of such names for functions newer
// than the format.
constexpr int CallByNameFunction = 255;
inline const QString FutureFunctionPrefix = QStringLiteral("_xlfn.");
// The entry of an exact upper-case name, or nullptr.
const TCellFunctionData *FunctionByName(const QString &name);
// The name of a function number as text, made once; raises like FunctionByIndex.
const QString &FunctionName(int index);

// Error values: code byte <-> text.
QString ErrorCodeToText(int code);   // "#UNKNOWN" for a code not in the table
int ErrorTextToCode(QStringView text); // -1 when the text is no error value
constexpr int MaxErrorLen = 7;       // longest error text ("#DIV/0!", "#VALUE!")

// Messages of the formula code, as the engine shows them.
namespace FormulaMessages {
QString indexOutOfRange(int index, const char *property, int low, int high);
QString tokenNotSupported(int id);
QString formulaNotSupported(int row, int col, int id);
// A token count or token that reaches past the record's data.
[[noreturn]] void raiseTokensRunPast();
}
